#pragma once
// One finding as its line on standard error and in the window's closing
// message: "FILE line N: warning: ... [code: subject]", with "accepted:" for
// "warning:" when it is accepted (the key in brackets is the line that
// accepts it, results/accepted_findings.h), in the one text form of every
// output (base/log_text.h).
#include <string>
#include <vector>

#include "results/game_results.h"

namespace vorskal::results {

std::string warningLine(const Warning& warning);

// "2 warnings; 1 accepted finding": how many findings there are, not
// accepted and accepted; "" when there are none.
std::string findingsSummary(const std::vector<Warning>& findings);

}  // namespace vorskal::results
