#pragma once
// The checks that catch a bad setup before scores are published. Each adds
// warnings; none changes the tally. Codes are stable (docs/results.md).
#include <vector>

#include "base/platform.h"
#include "results/game_results.h"

namespace vorskal::collector {

// "vorskal.ini": no "Kill=" or "Death=" line, no map line, or a map whose
// block heading is missing. Also fills results.settings.typeValues.
void checkPointFile(FileService& files, results::GameResults& results,
                    std::vector<results::Warning>& warnings);

// Numbered logs in the directory that the merge did not take (beyond a gap
// in the numbering, or named with a leading zero). Needs results.inputs.
void checkNumberedLogs(FileService& files, const results::GameResults& results,
                       std::vector<results::Warning>& warnings);

}  // namespace vorskal::collector
