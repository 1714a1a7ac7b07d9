#pragma once
// The results outputs of one headless run: what the command line asks for
// (--json, --csv, --check, and --record for the recorder), the results model
// the run fills, and what is written and printed once the run is over.
#include <ctime>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/platform.h"
#include "results/game_results.h"
#include "results/spill.h"
#include "results/warning_line.h"

namespace vorskal {

struct OutputRequest {
    std::string json;  // file to write, "-" for standard output; empty: none
    std::string csv;   // folder to write the CSV files into; empty: none
    bool check = false;
    bool record = false;         // the game goes into a league file: every row is gathered
    bool showAddresses = false;  // the JSON, CSV and page keep the players' addresses
};

class Session {
  public:
    // `startedAt`: the run's start, shown by every output.
    Session(OutputRequest request, const std::string& directory, std::time_t startedAt);

    results::GameResults& results() { return results_; }
    // The long lists kept out of memory, when an output needs them (the
    // JSON and CSV writers and the recorder read them from here); null when
    // none does.
    const results::SpilledRows* spilled() const { return spill_.get(); }
    // Whether the JSON goes to standard output (the runner then prints its
    // own lines on standard error).
    bool jsonToStandardOutput() const { return request_.json == "-"; }

    // After the run: every warning on `err` (one line each), then for a
    // completed run the JSON and CSV files (the JSON on `out` with "-"),
    // "Tally Complete" (not for a check) and the summary line (on `out`, or
    // on `err` when the JSON goes to `out`).
    // Returns false when an output could not be written (said on `err`).
    // `completed`: the run ended with `completion` ("Tally Complete").
    bool finish(bool completed, const std::string& completion, std::ostream& out,
                std::ostream& err);
    // The JSON and CSV files alone (the JSON on `out` with "-"), each replaced
    // whole. Throws TallyFailure naming a file that cannot be written.
    void writeOutputs(std::ostream& out);

  private:
    OutputRequest request_;
    results::GameResults results_;
    std::unique_ptr<results::SpilledRows> spill_;
};

// A moment in local time, ISO 8601 with the offset from UTC
// ("2026-12-06T21:15:02+01:00"); empty when it cannot be shown.
std::string localTimeIso8601(std::time_t moment);

}  // namespace vorskal
