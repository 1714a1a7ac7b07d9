#pragma once
// JSON text of the results' parts. Texts from the logs become text by the
// one rule of every output (base/log_text.h). The long lists' rows are
// written by hand (a large game has hundreds of thousands of them).
#include <string>
#include <string_view>

#include "results/game_results.h"

namespace vorskal::results {

// A JSON string literal, quotes included.
std::string jsonString(std::string_view text);

// One row as a compact JSON object.
std::string correctionJson(const Correction& row);
std::string targetJson(const TargetRow& row);
std::string arenaJson(const ArenaEvent& row);

}  // namespace vorskal::results
