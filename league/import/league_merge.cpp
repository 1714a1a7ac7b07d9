#include "league/import/league_merge.h"

#include <map>

#include "base/log_text.h"
#include "base/system_files.h"
#include "league/listings/queries.h"
#include "league/store/game_store.h"
#include "league/store/season_days.h"
#include "league/store/settings.h"

namespace vorskal::league {

namespace {

// The identity the game was recorded with in the other file.
GameIdentity identityOf(const StoredGame& stored) {
    if (stored.summary.origin == "tally") {
        GameIdentity identity =
            talliedGame(stored.results, stored.summary.key, stored.reportSha256);
        identity.startSha256 = stored.startSha256;
        return identity;
    }
    GameIdentity identity;
    identity.key = stored.summary.key;
    identity.origin = Origin::Import;
    identity.reportSha256 = stored.reportSha256;
    return identity;
}

}  // namespace

MergeSummary mergeLeague(LeagueFile& into, LeagueFile& other) {
    if (fileAt(into.path()).sameFileAs(fileAt(other.path()))) {
        throw LeagueError(other.path() + ": is the league file " + into.path() +
                          " itself; nothing merged");
    }
    MergeSummary summary;
    // Every game of the other file, of every season, in the order played.
    const std::vector<GameSummary> games = listGames(other, GameFilter{});
    summary.games = static_cast<int>(games.size());
    std::vector<std::pair<std::string, RecordResult>> recorded;
    try {
        Transaction transaction(into.db());
        for (const GameSummary& game : games) {
            const StoredGame stored = loadGame(other, game.id, GameParts::All);
            // The other file knew its server's date order: its days stay.
            RecordRequest request{game.season,      false, false, std::nullopt, std::nullopt,
                                  stored.listsKept, {}};
            if (!game.playedOn.empty()) {
                request.playedOn = game.playedOn;
            }
            const std::string which = other.path() + ": game " + std::to_string(game.id);
            request.source = which;
            if (const std::string fault = seasonNameFault(game.season); !fault.empty()) {
                summary.skipped.push_back(which + ": its season \"" + logText(game.season) +
                                          "\" breaks the rule of the seasons here (" + fault +
                                          "): skipped");
                continue;
            }
            const RecordResult result =
                recordGameInside(into, stored.results, nullptr, identityOf(stored), request);
            if (result.outcome == RecordOutcome::Conflict) {
                summary.conflicts.push_back(which + ": " + conflictText(result));
                continue;
            }
            if (result.outcome == RecordOutcome::Duplicate) {
                ++summary.alreadyRecorded;
                continue;
            }
            if (result.outcome == RecordOutcome::Refused) {
                summary.skipped.push_back(which + ": " + refusalText(result, false) + ": skipped");
                continue;
            }
            ++summary.recorded;
            recorded.emplace_back(which + " (here game " + std::to_string(result.id) + ")", result);
        }
        // The days of each season that took games, read once.
        std::map<std::string, SeasonDays> seasons;
        for (auto& [which, result] : recorded) {
            seasons.try_emplace(result.season, SeasonDays{});
        }
        for (auto& [season, days] : seasons) {
            days = seasonDateOrder(into.db(), season);
        }
        for (auto& [which, result] : recorded) {
            settleDays(into.db(), result, seasons.at(result.season));
            for (const std::string& note : recordedNotes(result)) {
                summary.notes.push_back(which + ": " + note);
            }
        }
        transaction.commit();
    } catch (const SqliteError& error) {
        into.fail(error);
    }
    return summary;
}

}  // namespace vorskal::league
