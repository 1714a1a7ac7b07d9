#pragma once
// The JSON form of a game's results, format version 2: the contract that
// docs/results.md describes and docs/results.schema.json checks. Rows of
// `corrections`, `targets` and `arena` come from `spilled` when given, else
// from `results`.
#include <ostream>

#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal::results {

void writeJson(const GameResults& results, std::ostream& out, const SpilledRows* spilled = nullptr);

}  // namespace vorskal::results
