#pragma once
// Importing the results JSON that `vorskal-tally --json` wrote (on this
// server or another): the game, known by its report's key that the JSON
// carries, is recorded as the tally's --record would have recorded it, in
// one transaction. A game recorded before (by its --record, its report
// file, or an earlier import of the JSON) is not recorded again.
#include <string>
#include <string_view>

#include "league/import/import_summary.h"
#include "league/store/league_file.h"

namespace vorskal::league {

// Whether `bytes` read as JSON rather than as a report file: the first
// character that is not a blank is "{".
bool isResultsJson(std::string_view bytes);

// Records the game of the results JSON `bytes`, read from `path`. A file
// that is not the results of a game, or whose numbers do not hold, is
// skipped and named in the summary. Throws LeagueError when the league
// file cannot be written.
ImportSummary importResultsJson(LeagueFile& league, const std::string& path, std::string_view bytes,
                                const ImportRequest& request);

}  // namespace vorskal::league
