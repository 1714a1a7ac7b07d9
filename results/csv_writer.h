#pragma once
// The CSV form of a game's results, format version 1 (docs/results.md): one
// file per table in `directory` (created when missing): pilots.csv,
// teams.csv, corrections.csv (one row per move, or one for a correction
// that moved nothing), targets.csv, arena.csv and warnings.csv. RFC 4180:
// a header row, CR LF line ends, fields quoted where they need it, UTF-8.
// Throws std::runtime_error naming the file that cannot be written.
#include <string>

#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal::results {

void writeCsv(const GameResults& results, const std::string& directory,
              const SpilledRows* spilled = nullptr);

// One CSV field, quoted when it holds a comma, a quote, a line end or
// blanks at either end.
std::string csvField(std::string_view text);

}  // namespace vorskal::results
