#pragma once
// JSON text of the results' parts. Texts from the logs are 8-bit text of
// the system's code page: a text that is valid UTF-8 is written as it is,
// any other is read as Latin-1. The long lists' rows are written by hand
// (a large game has hundreds of thousands of them).
#include <string>
#include <string_view>

#include "results/game_results.h"

namespace vorskal::results {

std::string toUtf8(std::string_view text);
// A JSON string literal, quotes included.
std::string jsonString(std::string_view text);
std::string_view sideName(Side side);  // "Allied", "Hun", "unknown"

// One row as a compact JSON object.
std::string correctionJson(const Correction& row);
std::string targetJson(const TargetRow& row);
std::string arenaJson(const ArenaEvent& row);

}  // namespace vorskal::results
