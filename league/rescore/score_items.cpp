#include "league/rescore/score_items.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/fixed_text.h"
#include "base/time_of_day.h"

namespace vorskal::league {

namespace {

using results::Side;

// The seconds within which a second death of the same victim is taken back.
constexpr std::int32_t kMultiDeathSeconds = 20;

ScoreItem makeItem(ItemKind kind, std::int64_t points, std::uint64_t line, std::string time,
                   std::string text, std::string detail, std::string rule,
                   std::vector<results::EvidenceLine> evidence = {}) {
    ScoreItem item;
    item.kind = kind;
    item.points = points;
    item.line = line;
    item.time = std::move(time);
    item.text = std::move(text);
    item.detail = std::move(detail);
    item.rule = std::move(rule);
    item.evidence = std::move(evidence);
    return item;
}

std::string sideText(Side side) {
    return std::string(results::sideName(side));
}

// The pilots' rows by name and side: the kill lines, targets and moves name
// a pilot so. Two rows of one name and side cannot be told apart.
class PilotFinder {
  public:
    explicit PilotFinder(const results::GameResults& game) {
        for (std::size_t i = 0; i < game.pilots.size(); ++i) {
            const results::PilotRow& row = game.pilots[i];
            if (!rows_.try_emplace({row.name, row.team}, i).second && twice_.empty()) {
                twice_ = "two rows of the score tables are " + row.name + " (" +
                         sideText(row.team) + ")";
            }
        }
    }
    const std::string& twice() const { return twice_; }
    std::optional<std::size_t> find(const std::string& name, Side side) const {
        const auto it = rows_.find({name, side});
        return it == rows_.end() ? std::nullopt : std::optional<std::size_t>(it->second);
    }

  private:
    std::map<std::pair<std::string, Side>, std::size_t> rows_;
    std::string twice_;
};

// The target row a correction's evidence line is, by its line number.
std::optional<std::size_t> targetAt(const results::GameResults& game, std::uint64_t line) {
    for (std::size_t i = 0; i < game.targets.size(); ++i) {
        if (game.targets[i].line == line) {
            return i;
        }
    }
    return std::nullopt;
}

std::string killDetail(const results::KillRow& k) {
    return "kill of " + k.victim + " (" + sideText(k.victimSide) + ", " + k.victimAircraft +
           ") in " + k.killerAircraft;
}

std::string deathDetail(const results::KillRow& k) {
    if (k.selfKill) {
        return "death in " + k.victimAircraft + ", his own kill";
    }
    if (!k.killer) {
        return "death in " + k.victimAircraft + ", credited to nobody";
    }
    return "death in " + k.victimAircraft + ", shot down by " + *k.killer + " (" +
           sideText(k.killerSide) + ", " + k.killerAircraft + ")";
}

std::string typeRule(const results::TargetRow& t) {
    return t.targetType.empty() ? "target " + t.key + " (not in the map)" : t.targetType;
}

// Adds `item` to the pilot it names; false when there is no such row.
bool put(GameItems& items, const PilotFinder& finder, const std::string& name, Side side,
         ScoreItem item) {
    const std::optional<std::size_t> at = finder.find(name, side);
    if (!at) {
        return false;
    }
    PilotItems& pilot = items.pilots[*at];
    pilot.kills += item.kills;
    pilot.deaths += item.deaths;
    pilot.targets += item.targets;
    pilot.targetPoints += item.targetPoints;
    pilot.score += item.points;
    pilot.items.push_back(std::move(item));
    return true;
}

[[noreturn]] void cannot(const std::string& why) {
    throw std::runtime_error(why);
}

void addKills(const results::GameResults& game, const ItemValues& v, const PilotFinder& finder,
              GameItems& items) {
    for (const results::KillRow& k : game.kills) {
        ScoreItem death =
            makeItem(ItemKind::Death, v.deathPoints, k.line, k.time, "", deathDetail(k), "Death");
        death.deaths = 1;
        if (!put(items, finder, k.victim, k.victimSide, std::move(death))) {
            cannot("line " + std::to_string(k.line) +
                   ": no row of the score tables is its victim " + k.victim);
        }
        if (k.killer && !k.selfKill) {
            ScoreItem kill =
                makeItem(ItemKind::Kill, v.killPoints, k.line, k.time, "", killDetail(k), "Kill");
            kill.kills = 1;
            if (!put(items, finder, *k.killer, k.killerSide, std::move(kill))) {
                cannot("line " + std::to_string(k.line) +
                       ": no row of the score tables is its killer " + *k.killer);
            }
        }
    }
}

void addTargets(const results::GameResults& game, const ItemValues& v, const PilotFinder& finder,
                GameItems& items) {
    for (std::size_t i = 0; i < game.targets.size(); ++i) {
        const results::TargetRow& t = game.targets[i];
        if (t.pilot.empty()) {
            continue;  // credited to nobody
        }
        ScoreItem item =
            makeItem(ItemKind::Target, v.targetPoints.at(i), t.line, "", t.text,
                     "target " + t.key + (t.targetType.empty() ? "" : " (" + t.targetType + ")") +
                         (t.redBoxed ? ", red boxed" : ""),
                     typeRule(t));
        item.targets = 1;
        item.targetPoints = item.points;
        if (!put(items, finder, t.pilot, t.team, std::move(item))) {
            cannot("line " + std::to_string(t.line) +
                   ": no row of the score tables is its destroyer " + t.pilot);
        }
    }
}

// A multi-death take-back of the kill line `event` after `previous`.
void takeBack(const results::GameResults& game, const ItemValues& v, const PilotFinder& finder,
              GameItems& items, const std::vector<results::EvidenceLine>& evidence,
              const results::KillRow& k) {
    ScoreItem death =
        makeItem(ItemKind::MultiDeath, -v.deathPoints, k.line, k.time, "",
                 "death taken back: logged again within " + std::to_string(kMultiDeathSeconds) +
                     " seconds of the one before",
                 "multi-death", evidence);
    death.deaths = -1;
    if (!put(items, finder, k.victim, k.victimSide, std::move(death))) {
        cannot("line " + std::to_string(k.line) + ": no row of the score tables is its victim " +
               k.victim);
    }
    if (k.killer && !k.selfKill) {
        ScoreItem kill = makeItem(ItemKind::MultiDeath, -v.killPoints, k.line, k.time, "",
                                  "kill taken back: " + k.victim + "'s death was logged twice",
                                  "multi-death", evidence);
        kill.kills = -1;
        if (!put(items, finder, *k.killer, k.killerSide, std::move(kill))) {
            cannot("line " + std::to_string(k.line) +
                   ": no row of the score tables is its killer " + *k.killer);
        }
    }
    (void)game;
}

void addMultiDeath(const results::GameResults& game, const ItemValues& v, const PilotFinder& finder,
                   GameItems& items) {
    if (!v.multiDeath) {
        return;
    }
    std::unordered_map<std::uint64_t, std::size_t> killAt;
    for (std::size_t i = 0; i < game.kills.size(); ++i) {
        killAt.emplace(game.kills[i].line, i);
    }
    if (game.run.multiDeathCorrection) {
        // The corrections the tally made, with their evidence.
        for (const results::Correction& c : game.corrections) {
            if (c.kind != results::CorrectionKind::MultiDeath || !c.applied) {
                continue;
            }
            const auto at = c.evidence.size() == 2 ? killAt.find(c.evidence[1].line) : killAt.end();
            if (at == killAt.end()) {
                cannot("a multi-death correction names no stored kill line");
            }
            takeBack(game, v, finder, items, c.evidence, game.kills[at->second]);
        }
        return;
    }
    for (const TakeBack& t : multiDeathTakeBacks(game.kills)) {
        const results::KillRow& previous = game.kills[t.previous];
        const results::KillRow& event = game.kills[t.event];
        takeBack(game, v, finder, items, {{previous.line, ""}, {event.line, ""}}, event);
    }
}

void addFighterTargets(const results::GameResults& game, const ItemValues& v,
                       const PilotFinder& finder, GameItems& items) {
    if (!v.fighterTarget) {
        return;
    }
    for (const results::Correction& c : game.corrections) {
        if (c.kind != results::CorrectionKind::FighterTarget || !c.applied) {
            continue;
        }
        const std::optional<std::size_t> at =
            c.evidence.empty() ? std::nullopt : targetAt(game, c.evidence.front().line);
        if (!at || c.moves.empty()) {
            cannot("a fighter-target correction names no stored target line");
        }
        const results::TargetRow& t = game.targets[*at];
        const std::int64_t value = v.targetPoints.at(*at);
        ScoreItem item =
            makeItem(ItemKind::FighterTarget, -value, t.line, "", t.text,
                     "target " + t.key + " taken back: " + c.note, typeRule(t), c.evidence);
        item.targets = -1;
        item.targetPoints = -value;
        const results::Move& move = c.moves.front();
        if (!put(items, finder, move.pilot, move.team, std::move(item))) {
            cannot("a fighter-target correction names no row of the score tables: " + move.pilot);
        }
    }
}

void addOverMax(const results::GameResults& game, const ItemValues& v, GameItems& items) {
    if (!v.overMax) {
        return;
    }
    for (const results::Correction& c : game.corrections) {
        if (c.kind != results::CorrectionKind::OverMax || !c.applied) {
            continue;
        }
        for (const results::Move& m : c.moves) {
            if (m.field != results::MoveField::OverMaxPenalty) {
                continue;
            }
            SideItems* side = m.team == Side::Allied ? &items.allied
                              : m.team == Side::Hun  ? &items.hun
                                                     : nullptr;
            if (side == nullptr) {
                continue;
            }
            const std::uint64_t line = c.evidence.empty() ? 0 : c.evidence.back().line;
            const std::string text = c.evidence.empty() ? "" : c.evidence.back().text;
            side->deductions.push_back(makeItem(ItemKind::OverMax, -m.by, line, "", text,
                                                std::to_string(m.by) +
                                                    " points deducted from the " +
                                                    sideText(m.team) + " side for over-max pilots",
                                                "over-max", c.evidence));
            side->penalty += m.by;
        }
    }
}

}  // namespace

std::string itemKindName(ItemKind kind) {
    switch (kind) {
        case ItemKind::Kill:
            return "kill";
        case ItemKind::Death:
            return "death";
        case ItemKind::Target:
            return "target";
        case ItemKind::MultiDeath:
            return "multi-death";
        case ItemKind::FighterTarget:
            return "fighter-target";
        case ItemKind::OverMax:
            return "over-max";
    }
    return "";
}

std::optional<std::string> unexplainable(const results::GameResults& game, bool listsKept) {
    if (!listsKept || !game.killsListed) {
        return std::string(
            "its kill lines and targets were not kept (a game read from its report, or recorded "
            "before the league file kept them): its scores cannot be taken apart");
    }
    const PilotFinder finder(game);
    if (!finder.twice().empty()) {
        return finder.twice();
    }
    return std::nullopt;
}

ItemValues storedValues(const results::GameResults& game) {
    ItemValues v;
    v.killPoints = game.settings.killPoints;
    v.deathPoints = game.settings.deathPoints;
    for (const results::TargetRow& t : game.targets) {
        v.targetPoints.push_back(t.points);
    }
    v.multiDeath = game.run.multiDeathCorrection;
    v.fighterTarget = game.run.fighterTargetCorrection;
    v.overMax = game.run.overMaxPilotCorrection;
    return v;
}

GameItems gameItems(const results::GameResults& game, const ItemValues& values) {
    const PilotFinder finder(game);
    if (!finder.twice().empty()) {
        cannot(finder.twice());
    }
    GameItems items;
    for (const results::PilotRow& row : game.pilots) {
        items.pilots.push_back({row.name, row.team, row.teamCode, {}});
    }
    addKills(game, values, finder, items);
    addTargets(game, values, finder, items);
    addMultiDeath(game, values, finder, items);
    addFighterTargets(game, values, finder, items);
    addOverMax(game, values, items);
    for (PilotItems& p : items.pilots) {
        std::stable_sort(p.items.begin(), p.items.end(),
                         [](const ScoreItem& a, const ScoreItem& b) { return a.line < b.line; });
        if (p.team == Side::Allied) {
            items.allied.score += p.score;
        } else if (p.team == Side::Hun) {
            items.hun.score += p.score;
        }
    }
    for (SideItems* side : {&items.allied, &items.hun}) {
        side->final = side->score - side->penalty;
    }
    return items;
}

std::string storedFault(const results::GameResults& game, const GameItems& items) {
    for (std::size_t i = 0; i < game.pilots.size(); ++i) {
        const results::PilotRow& row = game.pilots[i];
        const PilotItems& p = items.pilots[i];
        const std::pair<const char*, std::pair<std::int64_t, std::int64_t>> counts[] = {
            {"kills", {p.kills, row.kills}},
            {"deaths", {p.deaths, row.deaths}},
            {"targets destroyed", {p.targets, row.targetsDestroyed}},
            {"target points", {p.targetPoints, row.targetPoints}},
            {"score", {p.score, row.score}}};
        for (const auto& [what, numbers] : counts) {
            if (numbers.first != numbers.second) {
                return row.name + " (" + sideText(row.team) + "): the items give " +
                       std::to_string(numbers.first) + " " + what + ", the score table " +
                       std::to_string(numbers.second);
            }
        }
    }
    const std::pair<const SideItems*, const results::TeamTotals*> sides[] = {
        {&items.allied, &game.allied}, {&items.hun, &game.hun}};
    for (const auto& [side, totals] : sides) {
        const std::string name = side == &items.allied ? "Allied" : "Hun";
        if (side->score != totals->score || side->penalty != totals->overMaxPenalty ||
            side->final != totals->final) {
            return "the " + name + " totals: the items give " + std::to_string(side->score) +
                   " less " + std::to_string(side->penalty) + ", the game says " +
                   std::to_string(totals->score) + " less " +
                   std::to_string(totals->overMaxPenalty);
        }
    }
    return "";
}

std::vector<TakeBack> multiDeathTakeBacks(const std::vector<results::KillRow>& kills) {
    // The kill lines of each victim's first eleven characters, in log order:
    // a death within the seconds of the one before is taken back.
    std::map<std::string, std::vector<std::size_t>> deathsOf;
    for (std::size_t i = 0; i < kills.size(); ++i) {
        std::string prefix = kills[i].victim;
        prefix.resize(kNameWidth, ' ');
        prefix.resize(kNamePrefixWidth);
        deathsOf[prefix].push_back(i);
    }
    std::vector<TakeBack> out;
    for (const auto& [prefix, events] : deathsOf) {
        for (std::size_t n = 1; n < events.size(); ++n) {
            const std::optional<std::int32_t> before = secondsOfDay(kills[events[n - 1]].time);
            const std::optional<std::int32_t> now = secondsOfDay(kills[events[n]].time);
            if (!before || !now) {
                return {};
            }
            std::int32_t difference = *now - *before;
            if (difference < 0) {
                difference += kSecondsPerDay;
            }
            if (difference <= kMultiDeathSeconds) {
                out.push_back({events[n - 1], events[n]});
            }
        }
    }
    return out;
}

std::string signedPoints(std::int64_t points) {
    return points > 0 ? "+" + std::to_string(points) : std::to_string(points);
}

}  // namespace vorskal::league
