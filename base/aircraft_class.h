#pragma once
// The aircraft the game flies as two-seaters rather than fighters: the tally
// keeps a two-seater's target points, and the league rates the two apart.
#include <string_view>

namespace vorskal {

bool twoSeater(std::string_view aircraft);

}  // namespace vorskal
