#include "league/import/results_import.h"

#include <stdexcept>

#include "league/store/game_numbers.h"
#include "league/store/game_store.h"
#include "results/json_text.h"

namespace vorskal::league {

bool isResultsJson(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {  // a text saved as "UTF-8 with BOM"
        bytes.remove_prefix(3);
    }
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '{';
}

ImportSummary importResultsJson(LeagueFile& league, const std::string& path, std::string_view bytes,
                                const ImportRequest& request) {
    ImportSummary summary;
    summary.resultsJson = true;
    summary.reports = 1;
    results::GameResults game;
    try {
        game = results::gameFromJson(bytes);
    } catch (const std::runtime_error& error) {
        summary.skipped.push_back(path + ": " + error.what() + ": skipped");
        return summary;
    }
    if (const std::string fault = numbersFault(game); !fault.empty()) {
        summary.skipped.push_back(path + ": its numbers do not hold (" + fault + "): skipped");
        return summary;
    }
    try {
        Transaction transaction(league.db());
        RecordResult result = recordGameInside(
            league, game, nullptr, talliedGame(game, game.report.key, game.report.sha256),
            {request.season, false, true, request.dateOrder, std::nullopt, true, path});
        if (result.outcome == RecordOutcome::Conflict) {
            transaction.commit();  // the conflict alone, for `check`
            summary.conflicts.push_back(path + ": " + conflictText(result));
            return summary;
        }
        if (result.outcome == RecordOutcome::Duplicate) {
            summary.alreadyRecorded = 1;
            summary.games.push_back(result.id);
            return summary;
        }
        if (result.outcome == RecordOutcome::Refused) {
            summary.skipped.push_back(path + ": " + refusalText(result, false) + ": skipped");
            return summary;
        }
        transaction.commit();
        summary.recorded = 1;
        summary.games.push_back(result.id);
        const std::string which = path + " (game " + std::to_string(result.id) + ")";
        for (const std::string& note : recordedNotes(result)) {
            summary.notes.push_back(which + ": " + note);
        }
    } catch (const SqliteError& error) {
        league.fail(error);
    }
    return summary;
}

}  // namespace vorskal::league
