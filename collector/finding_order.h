#pragma once
// The findings of a run as it lists them: the accepted ones marked, all in
// file and line order.
#include <vector>

#include "results/accepted_findings.h"
#include "results/game_results.h"

namespace vorskal::collector {

// Marks the accepted findings and puts them all in file and line order:
// the numbered logs by number, then "vorskal.ini", then "ux7server.log";
// within a file a finding without a line first, then by line. Findings of
// one place keep their order.
void settleFindings(std::vector<results::Warning>& findings,
                    const results::AcceptedFindings& accepted);

}  // namespace vorskal::collector
