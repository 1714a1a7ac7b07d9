#pragma once
// Importing a report file ("vorskal.log") into a league file: every
// complete report is recorded as a game, in one transaction for the whole
// file. A report that ends in an "ERROR -- " line, is cut short, does not
// read as a report, or whose numbers do not hold (league/store/game_numbers.h) is
// skipped and named. A report of a game recorded before (by an earlier
// import, by the tally that wrote it, or a second tally of the same game in
// the same file) is not recorded again.
#include <string>

#include "league/import/import_summary.h"
#include "league/store/league_file.h"

namespace vorskal::league {

// Throws LeagueError naming the file when it cannot be opened for reading
// or is not a regular file (a directory, a FIFO, a device).
void checkReportFile(const std::string& reportPath);

// A file whose first character other than a blank is "{" is taken for a
// game's results JSON (league/import/results_import.h). A file without a
// report records nothing; the summary's notReport says what it is (a league
// file, a page, a CSV file...) and what takes it.
// Throws LeagueError when the report file cannot be read or the league file
// cannot be written; nothing is recorded then. `season` empty: the current one.
ImportSummary importReportFile(LeagueFile& league, const std::string& reportPath,
                               const ImportRequest& request);

}  // namespace vorskal::league
