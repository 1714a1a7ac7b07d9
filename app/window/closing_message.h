#pragma once
// The message that ends the window's run: what happened, then for a
// completed run the final totals and the findings of the checks, the
// accepted ones apart.
#include <string>

#include "app/tally_run.h"
#include "results/game_results.h"

namespace vorskal::window {

struct ClosingMessage {
    bool failed = false;  // shown as an error
    std::string text;     // "Tally Complete", "Could not find ux7server0.log" or the failure
                          // (UTF-8 by the one text rule, base/log_text.h)
    std::string detail;   // under the text: the totals and the findings; "" when none

    // The text and the detail as one, for a box that shows a single text.
    std::string whole() const;
};

// The closing message of a run that ended with `outcome` and found
// `results`. Totals and findings come only with a completed run: a failed
// run's findings would be about a game that was not tallied.
ClosingMessage closingMessage(const Outcome& outcome, const results::GameResults& results);

// The program's exit status after a run: 0 for a completed run and for a
// missing "ux7server0.log", 2 for a failure.
int exitStatusOf(OutcomeKind kind);

}  // namespace vorskal::window
