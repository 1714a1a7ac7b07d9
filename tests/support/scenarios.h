#pragma once
// The scenario folders of tests/scenarios (tests/run/scenario_test.cpp says what
// a folder holds): each loaded as a game and what its tally must give, and
// run in memory.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/tally_run.h"
#include "results/game_results.h"

namespace vorskal::testing {

using Files = std::map<std::string, std::string>;

struct Scenario {
    std::string name;
    Files inputs;
    std::vector<std::string> switches;  // the runner's option words
    std::vector<std::string> unreadable, uncreatable, absent;
    std::map<std::string, std::size_t> cutShort, full;  // in memory only
    bool disk = false;
    bool completes = true;  // no expect.failure: the tally completes
    bool reportOpened = true;
    std::string report;  // expected appended lines, masked
    std::string merged;
    std::string kills;  // expect.kills: the kills list as killRows shows it; empty: not checked
    int status = 0;
    std::vector<std::string> names, shows;
    std::vector<std::string> problems;  // of the folder itself: an unknown option word
};

void PrintTo(const Scenario& s, std::ostream* out);

// A folder's expect.report as the build's run writes it: the golden files
// hold "<VERSION>" where the report's revision line shows the version.
std::string expectedReport(const std::filesystem::path& folder);

// Every folder of `source`/tests/scenarios, in name order.
std::vector<Scenario> allScenarios(const std::filesystem::path& source);

TallyOptions optionsOf(const Scenario& s);

// The folder's game tallied in memory with its options and faults, the
// fixed clock, and the merged log re-read for every pass when `reread`;
// `results` filled when given; the merge reads `mergeWindow` bytes at once
// (0: its own choice). `files` is what the run left.
Outcome runInMemory(const Scenario& s, bool reread, results::GameResults* results, Files& files,
                    std::size_t mergeWindow = 0);

}  // namespace vorskal::testing
