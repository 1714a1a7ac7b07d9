#pragma once
// Recording the game that vorskal-tally has just scored (`--record`): the
// runner notes the report file's size before the run, then hands over the
// run's results. The report the run appended is found after that size and
// its SHA-256 kept with the game, so that importing the report file later
// does not record the game twice.
#include <cstdint>
#include <ostream>
#include <string>

#include "results/game_results.h"

namespace vorskal::league {

// The size of "vorskal.log" in `directory` (0 when it does not exist).
std::uint64_t reportFileSize(const std::string& directory);

// Records `game` in the league file at `leaguePath` (created when missing).
// A game recorded before is refused unless `replace`. Says what was done on
// `out`, or why nothing was recorded on `err`; false when nothing was.
bool recordTalliedGame(const std::string& leaguePath, const results::GameResults& game,
                       const std::string& directory, std::uint64_t reportSizeBefore, bool replace,
                       std::ostream& out, std::ostream& err);

}  // namespace vorskal::league
