#include "league/rescore/rescore_apply.h"

#include <optional>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "base/failure.h"
#include "base/log_text.h"
#include "league/store/game_store.h"
#include "league/store/settings.h"
#include "points/point_file.h"
#include "results/sha256.h"

namespace vorskal::league {

namespace {

std::string switchWord(const char* name, const std::optional<bool>& on) {
    return std::string(name) + (on ? (*on ? " on" : " off") : " as tallied");
}

// The new file's facts, as a tally keeps its vorskal.ini's, and its type
// values; a file that cannot be read is refused as rescoreGames refuses it,
// before anything else reads it.
results::FileFacts newPointFile(const std::string& path,
                                std::vector<results::TypeValue>& typeValues) {
    try {
        const std::vector<std::string> lines = pointFileLines(path);
        for (const PointFileLayout::Value& value : pointFileLayout(lines).typeValues) {
            typeValues.push_back({value.type, value.points});
        }
        return pointFileFacts(path, lines.size());
    } catch (const TallyFailure& failure) {
        throw std::invalid_argument(path + ": " + failure.what());
    }
}

// The stored game with its re-scored numbers and nothing of its logs.
results::GameResults copyOf(const results::GameResults& game, const ItemValues& values,
                            const GameItems& after, const results::FileFacts& ini,
                            const std::vector<results::TypeValue>& typeValues) {
    results::GameResults copy;
    copy.toolName = game.toolName;
    copy.toolVersion = game.toolVersion;
    copy.run = game.run;
    copy.run.multiDeathCorrection = values.multiDeath;
    copy.run.fighterTargetCorrection = values.fighterTarget;
    copy.run.overMaxPilotCorrection = values.overMax;
    copy.inputs = {ini};
    copy.settings = game.settings;
    copy.settings.killPoints = values.killPoints;
    copy.settings.deathPoints = values.deathPoints;
    copy.settings.typeValues = typeValues;
    copy.firstTime = game.firstTime;
    copy.lastTime = game.lastTime;
    copy.gameDate = game.gameDate;
    copy.report = game.report;
    copy.warnings = game.warnings;
    copy.pilots = game.pilots;
    for (std::size_t i = 0; i < copy.pilots.size(); ++i) {
        const PilotItems& p = after.pilots[i];
        results::PilotRow& row = copy.pilots[i];
        row.kills = p.kills;
        row.deaths = p.deaths;
        row.targetsDestroyed = p.targets;
        row.targetPoints = p.targetPoints;
        row.score = p.score;
    }
    for (const auto& [side, totals, items] :
         {std::tuple{results::Side::Allied, &copy.allied, &after.allied},
          std::tuple{results::Side::Hun, &copy.hun, &after.hun}}) {
        *totals = {};
        for (const results::PilotRow& row : copy.pilots) {
            if (row.team == side) {
                totals->kills += row.kills;
                totals->deaths += row.deaths;
                totals->targetsDestroyed += row.targetsDestroyed;
                totals->targetPoints += row.targetPoints;
            }
        }
        totals->score = items->score;
        totals->overMaxPenalty = items->penalty;
        totals->final = items->final;
    }
    return copy;
}

}  // namespace

Applied applyRescored(LeagueFile& file, const GameFilter& filter, const std::string& pointsPath,
                      const Switches& switches, const std::string& season) {
    if (const std::string fault = seasonNameFault(season); !fault.empty()) {
        throw LeagueError("the season \"" + logText(season) + "\" cannot be: " + fault);
    }
    std::vector<results::TypeValue> typeValues;
    const results::FileFacts ini = newPointFile(pointsPath, typeValues);
    const std::string asSwitched = switchWord("multi-death", switches.multiDeath) + ", " +
                                   switchWord("fighter-target", switches.fighterTarget) + ", " +
                                   switchWord("over-max", switches.overMax);
    struct Copy {
        std::string key;
        std::string playedOn;
        results::GameResults game;
    };
    std::vector<Copy> copies;
    rescoreGames(
        file, filter, pointsPath, switches,
        [&](const StoredGame& stored, const ItemValues& values, const GameItems& after) {
            copies.push_back(
                {results::sha256Hex(stored.summary.key + "\n" + ini.sha256 + "\n" + asSwitched),
                 stored.summary.playedOn, copyOf(stored.results, values, after, ini, typeValues)});
        });
    Applied applied;
    applied.season = season;
    try {
        Transaction transaction(file.db());
        Statement held =
            file.db().prepare("SELECT count(*) FROM games WHERE season = ? AND removed_at IS NULL");
        held.bind(1, season);
        if (held.step() && held.integer(0) > 0) {
            throw LeagueError("the season \"" + logText(season) +
                              "\" holds games already: a re-scoring is recorded into a season "
                              "of its own; nothing recorded");
        }
        for (const Copy& copy : copies) {
            GameIdentity identity;
            identity.key = copy.key;
            identity.origin = Origin::Import;
            RecordRequest request;
            request.season = season;
            request.settle = copy.playedOn.empty();
            if (!copy.playedOn.empty()) {
                request.playedOn = copy.playedOn;
            }
            const RecordResult result =
                recordGameInside(file, copy.game, nullptr, identity, request);
            switch (result.outcome) {
                case RecordOutcome::Recorded:
                    applied.recorded.push_back(result.id);
                    break;
                case RecordOutcome::Duplicate:
                    applied.already.push_back(result.id);
                    break;
                case RecordOutcome::Replaced:
                case RecordOutcome::Refused:
                case RecordOutcome::Conflict:
                    throw LeagueError("a re-scored copy clashes with game " +
                                      std::to_string(result.match.id) + "; nothing recorded");
            }
        }
        transaction.commit();
    } catch (const SqliteError& error) {
        file.fail(error);
    }
    return applied;
}

}  // namespace vorskal::league
