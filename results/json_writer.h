#pragma once
// The JSON form of a game's results, format version 3: the contract that
// docs/results.md describes and docs/results.schema.json checks. The rows of
// `corrections`, `targets` and `arena` come from `spilled`, where the run
// put them, or, without it, from the lists of `results` (a game the league
// read back).
#include <ostream>

#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal::results {

void writeJson(const GameResults& results, std::ostream& out, const SpilledRows& spilled);
void writeJson(const GameResults& results, std::ostream& out);

}  // namespace vorskal::results
