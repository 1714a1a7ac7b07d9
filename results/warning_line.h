#pragma once
// One warning as its line on standard error and in the window's closing
// message: "FILE line N: warning: ... [code]", in the one text form of every
// output (base/log_text.h).
#include <string>

#include "results/game_results.h"

namespace vorskal::results {

std::string warningLine(const Warning& warning);

}  // namespace vorskal::results
