#pragma once
// Whole tallies over arbitrary bytes, in memory, for the fuzzers and for
// replaying what they found. Each runs the tally three times: from the lines
// the merge kept, from them again with the merge reading 24 bytes at a time
// (most lines then taken apart where they lie), and reading the merged log
// back line by line; it stops the process when the reports differ: whatever
// the input, every reading must agree, and nothing may crash. Each returns
// the run's outcome.
#include <string_view>

#include "app/tally_run.h"

namespace vorskal::fuzz {

// The bytes are the numbered logs (split at every 0x01 byte into
// ux7server0.log, ux7server1.log, ...), with a fixed vorskal.ini.
Outcome tallyLogBytes(std::string_view bytes);

// The bytes are vorskal.ini, with a fixed small game.
Outcome tallyPointFileBytes(std::string_view bytes);

}  // namespace vorskal::fuzz
