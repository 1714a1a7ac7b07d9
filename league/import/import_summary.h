#pragma once
// What an import of a file did, whether the file was a report file
// (report_import.h) or a game's results JSON (results_import.h).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/log_date.h"

namespace vorskal::league {

// What the admin asked of an import: the season (empty: the current one),
// and the order the server writes its dates in, when it is not the league's.
struct ImportRequest {
    std::string season;
    std::optional<DateOrder> dateOrder;
};

struct ImportSummary {
    bool resultsJson = false;            // the file was a game's results JSON (results_import.h)
    int reports = 0;                     // reports found in the file (a results JSON: 1)
    int recorded = 0;                    // recorded now
    int alreadyRecorded = 0;             // found in the league file already
    std::vector<std::string> skipped;    // one line per report skipped, naming it and why
    std::vector<std::string> conflicts;  // a game's key or report with other contents
    std::vector<std::string> notes;      // games recorded with an unknown day, or probably twins
    std::vector<std::int64_t> games;     // a results JSON: its game's number, recorded or found
    std::string notReport;               // a file without a report: what it is, what takes it
};

}  // namespace vorskal::league
