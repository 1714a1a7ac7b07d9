#include "league/rescore/rescore.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "base/failure.h"
#include "base/system_files.h"
#include "points/identify_target.h"
#include "results/sha256.h"

namespace vorskal::league {

namespace {

using results::Side;

// The points file's folder, made before the service that reads through it.
struct FolderOf {
    explicit FolderOf(const std::filesystem::path& path)
        : folder(path.has_parent_path() ? path.parent_path().string() : std::string(".")) {}
    SystemFileService folder;
};

// The points file under any name, read where the tally reads vorskal.ini.
class PointsAt : private FolderOf, public PassingFiles {
  public:
    explicit PointsAt(const std::filesystem::path& path)
        : FolderOf(path), PassingFiles(folder), name_(path.filename().string()) {}

    std::unique_ptr<InputFile> openForReading(const std::string& name) override {
        return PassingFiles::openForReading(name == kPointFileName ? name_ : name);
    }

  private:
    std::string name_;
};

bool within32(std::int64_t n) {
    return n >= std::numeric_limits<std::int32_t>::min() &&
           n <= std::numeric_limits<std::int32_t>::max();
}

// Where a number of the re-scored score tables leaves the tally's 32 bits.
std::optional<std::string> outOfRange(const GameItems& items, const ItemValues& v) {
    for (const PilotItems& p : items.pilots) {
        const std::int64_t deaths = p.deaths * v.deathPoints;
        const std::int64_t kills = p.kills * v.killPoints;
        for (const std::int64_t n : {deaths, kills, deaths + kills, p.targetPoints, p.score}) {
            if (!within32(n)) {
                return p.name + "'s score would leave the 32 bits the tally counts in";
            }
        }
    }
    if (!within32(items.allied.score) || !within32(items.hun.score) ||
        !within32(items.allied.final)) {
        return std::string("a side's total would leave the 32 bits the tally counts in");
    }
    return std::nullopt;
}

std::string targetText(const results::TargetRow& t) {
    return "line " + std::to_string(static_cast<std::int64_t>(t.line)) + ": target " + t.key;
}

// The stored target rows looked up again in the new file, in the order the
// tally looks them up: the points of each, and the points per kill and
// death the last lookup leaves.
std::optional<std::string> lookUpAgain(const results::GameResults& game, PointFile& points,
                                       bool overMaxSwitched, ItemValues& values) {
    TargetSlots slots;
    try {
        IdentifyTarget(slots, points, "junk1 # 20");
        for (std::size_t i = 0; i < game.targets.size(); ++i) {
            const results::TargetRow& t = game.targets[i];
            if (t.key.empty()) {
                continue;  // the line names no destroyer: no lookup
            }
            const PointFile::LookupEffect& found = IdentifyTarget(slots, points, t.key, t.line);
            const bool listedBefore = !t.targetType.empty();
            if (found.teamCode) {
                if (*found.teamCode != t.teamCode) {
                    return targetText(t) + " would be team " + std::to_string(*found.teamCode) +
                           "'s instead of team " + std::to_string(t.teamCode) +
                           "'s: who is credited with it needs the log again";
                }
            } else if (listedBefore) {
                return targetText(t) + " is not in the new file's block of map \"" + found.mapName +
                       "\": its team would be what the lookup before it left, which needs the "
                       "log again";
            } else if (overMaxSwitched) {
                return targetText(t) +
                       " is in no map block: its team is what the lookup before it left, and "
                       "the over-max correction's arena count sets it too";
            } else if (game.kills.empty()) {
                return targetText(t) +
                       " is in no map block, and no kill line set the team before it";
            }
            values.targetPoints[i] = slots.targetValue;
        }
    } catch (const TallyFailure& failure) {
        return std::string("the tally would stop: ") + failure.what();
    }
    values.killPoints = slots.killPoints;
    values.deathPoints = slots.deathPoints;
    return std::nullopt;
}

std::optional<std::string> switchedValues(const results::GameResults& game,
                                          const Switches& switches, ItemValues& values) {
    values.multiDeath = switches.multiDeath.value_or(game.run.multiDeathCorrection);
    values.fighterTarget = switches.fighterTarget.value_or(game.run.fighterTargetCorrection);
    values.overMax = switches.overMax.value_or(game.run.overMaxPilotCorrection);
    if (values.overMax && !game.run.overMaxPilotCorrection) {
        return std::string(
            "tallied without the over-max correction: the arena's entries and exits were not "
            "kept");
    }
    if (values.fighterTarget && !game.run.fighterTargetCorrection) {
        return std::string(
            "tallied without the fighter-target correction: the aircraft each pilot entered "
            "with was not kept");
    }
    if (values.multiDeath && !game.run.multiDeathCorrection) {
        for (const results::KillRow& k : game.kills) {
            if (k.time.empty()) {
                return "line " + std::to_string(static_cast<std::int64_t>(k.line)) +
                       ": a kill line without a time of day, which the multi-death correction "
                       "reads";
            }
        }
    }
    return std::nullopt;
}

void addShares(std::map<std::string, std::int64_t>& to,
               const std::map<std::string, std::int64_t>& from) {
    for (const auto& [rule, share] : from) {
        to[rule] += share;
    }
}

std::map<std::string, std::int64_t> shares(const std::vector<ScoreItem>& before,
                                           const std::vector<ScoreItem>& after) {
    std::map<std::string, std::int64_t> sums;
    for (const ScoreItem& item : after) {
        sums[item.rule] += item.points;
    }
    for (const ScoreItem& item : before) {
        sums[item.rule] -= item.points;
    }
    std::erase_if(sums, [](const auto& share) { return share.second == 0; });
    return sums;
}

SideChange sideChange(const char* team, const SideItems& before, const SideItems& after,
                      const SideItems& otherAfter) {
    SideChange c;
    c.now.team = team;
    c.now.games = 1;
    c.now.pointsFor = after.final;
    c.now.pointsAgainst = otherAfter.final;
    c.oldPointsFor = before.final;
    if (after.score != before.score) {
        c.rules["pilots"] = after.score - before.score;
    }
    if (after.penalty != before.penalty) {
        c.rules["over-max"] = before.penalty - after.penalty;
    }
    return c;
}

}  // namespace

std::vector<std::string> pointFileLines(const std::string& pointsPath) {
    PointsAt files{std::filesystem::path(pointsPath)};
    PointFile points(files);
    return points.lines();
}

results::FileFacts pointFileFacts(const std::string& pointsPath, std::uint64_t lines) {
    PointsAt files{std::filesystem::path(pointsPath)};
    const std::unique_ptr<InputFile> in = files.openForReading(std::string(kPointFileName));
    results::Sha256 sha;
    std::uint64_t bytes = 0;
    std::string buffer(1 << 16, '\0');
    while (const std::size_t got = in->read(buffer.data(), buffer.size())) {
        bytes += got;
        sha.update(std::string_view(buffer.data(), got));
    }
    return {std::string(kPointFileName), bytes, lines, sha.hexDigest()};
}

std::optional<std::string> rescoredValues(const results::GameResults& game, bool listsKept,
                                          PointFile& points, const Switches& switches,
                                          ItemValues& values) {
    if (const std::optional<std::string> why = unexplainable(game, listsKept)) {
        return why;
    }
    values = storedValues(game);
    if (const std::optional<std::string> why = switchedValues(game, switches, values)) {
        return why;
    }
    return lookUpAgain(game, points, values.overMax != game.run.overMaxPilotCorrection, values);
}

GameChange gameChange(const GameItems& before, const GameItems& after) {
    GameChange change;
    for (std::size_t i = 0; i < after.pilots.size(); ++i) {
        const PilotItems& p = after.pilots[i];
        PilotChange c;
        c.now = {p.name,
                 std::string(results::sideName(p.team)),
                 1,
                 p.kills,
                 p.deaths,
                 p.targets,
                 p.targetPoints,
                 p.score};
        c.oldScore = before.pilots[i].score;
        c.rules = shares(before.pilots[i].items, p.items);
        change.pilots.push_back(std::move(c));
    }
    change.allied = sideChange("Allied", before.allied, after.allied, after.hun);
    change.hun = sideChange("Hun", before.hun, after.hun, after.allied);
    for (SideChange* side : {&change.allied, &change.hun}) {
        const std::int64_t against =
            side == &change.allied ? change.hun.now.pointsFor : change.allied.now.pointsFor;
        side->now.won = side->now.pointsFor > against ? 1 : 0;
        side->now.lost = side->now.pointsFor < against ? 1 : 0;
        side->now.drawn = side->now.pointsFor == against ? 1 : 0;
    }
    return change;
}

Rescored rescoreGames(LeagueFile& file, const GameFilter& filter, const std::string& pointsPath,
                      const Switches& switches, const EachRescored& each) {
    PointsAt files{std::filesystem::path(pointsPath)};
    PointFile points(files);
    try {
        points.lines();
    } catch (const TallyFailure& failure) {
        throw std::invalid_argument(pointsPath + ": " + failure.what());
    }
    Rescored out;
    out.pointsFile = pointsPath;
    out.switches = switches;
    std::vector<std::string> refused;
    std::map<std::pair<std::string, std::string>, PilotChange> season;
    out.sides.resize(2);
    out.sides[0].now.team = "Allied";
    out.sides[1].now.team = "Hun";
    for (const GameSummary& summary : listGames(file, filter)) {
        const StoredGame stored = loadGame(file, summary.id, GameParts::All);
        const results::GameResults& game = stored.results;
        const std::string name = "game " + std::to_string(summary.id);
        ItemValues values;
        if (const std::optional<std::string> why =
                rescoredValues(game, stored.listsKept, points, switches, values)) {
            refused.push_back(name + ": " + *why);
            continue;
        }
        GameItems before;
        GameItems after;
        try {
            before = gameItems(game, storedValues(game));
            after = gameItems(game, values);
        } catch (const std::runtime_error& error) {
            refused.push_back(name + ": " + error.what());
            continue;
        }
        if (const std::string fault = storedFault(game, before); !fault.empty()) {
            refused.push_back(name + ": its items do not add up to its score tables: " + fault);
            continue;
        }
        if (const std::optional<std::string> why = outOfRange(after, values)) {
            refused.push_back(name + ": " + *why);
            continue;
        }
        if (each) {
            each(stored, values, after);
        }
        GameChange change = gameChange(before, after);
        change.id = summary.id;
        change.key = summary.key;
        for (const PilotChange& p : change.pilots) {
            PilotChange& s = season[{p.now.name, p.now.team}];
            s.now.name = p.now.name;
            s.now.team = p.now.team;
            s.now.games += 1;
            s.now.kills += p.now.kills;
            s.now.deaths += p.now.deaths;
            s.now.targetsDestroyed += p.now.targetsDestroyed;
            s.now.targetPoints += p.now.targetPoints;
            s.now.score += p.now.score;
            s.oldScore += p.oldScore;
            addShares(s.rules, p.rules);
        }
        for (std::size_t i = 0; i < 2; ++i) {
            const SideChange& g = i == 0 ? change.allied : change.hun;
            SideChange& s = out.sides[i];
            s.now.games += 1;
            s.now.won += g.now.won;
            s.now.lost += g.now.lost;
            s.now.drawn += g.now.drawn;
            s.now.pointsFor += g.now.pointsFor;
            s.now.pointsAgainst += g.now.pointsAgainst;
            s.oldPointsFor += g.oldPointsFor;
            addShares(s.rules, g.rules);
        }
        out.games.push_back(std::move(change));
    }
    if (!refused.empty()) {
        std::string text = "the stored games cannot answer this re-scoring: ";
        for (std::size_t i = 0; i < refused.size(); ++i) {
            text += (i == 0 ? "" : "; ") + refused[i];
        }
        throw LeagueError(text);
    }
    for (auto& [key, pilot] : season) {
        std::erase_if(pilot.rules, [](const auto& share) { return share.second == 0; });
        out.pilots.push_back(std::move(pilot));
    }
    std::stable_sort(out.pilots.begin(), out.pilots.end(),
                     [](const PilotChange& a, const PilotChange& b) {
                         if (a.now.score != b.now.score) {
                             return a.now.score > b.now.score;
                         }
                         return std::tie(a.now.name, a.now.team) < std::tie(b.now.name, b.now.team);
                     });
    for (SideChange& side : out.sides) {
        std::erase_if(side.rules, [](const auto& share) { return share.second == 0; });
    }
    return out;
}

}  // namespace vorskal::league
