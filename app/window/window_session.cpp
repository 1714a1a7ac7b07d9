#include "app/window/window_session.h"

#include <utility>

#include "results/game_results.h"

namespace vorskal::window {

RunEnd tallyGame(const TallyOptions& options, const std::string& folder) {
    // The closing message needs the totals and the findings only.
    results::GameResults found;
    found.gatherRows = false;
    found.gatherFingerprints = false;
    RunConfig config;
    config.results = &found;
    const Outcome outcome = tallyDirectory(folder.empty() ? "." : folder, options, config);
    return {closingMessage(outcome, found), exitStatusOf(outcome.kind)};
}

WindowSession::WindowSession(std::string folder, GameRunner runner)
    : folder_(std::move(folder)), runner_(std::move(runner)) {}

void WindowSession::boxChanged(Option option, BoxState state) {
    if (!begun_) {
        applyBoxState(state, flagOf(options_, option));
    }
}

bool WindowSession::begin() {
    if (begun_) {
        return false;
    }
    begun_ = true;
    return true;
}

RunEnd WindowSession::run() const {
    return runner_(options_, folder_);
}

}  // namespace vorskal::window
