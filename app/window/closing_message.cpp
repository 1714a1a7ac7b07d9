#include "app/window/closing_message.h"

#include <vector>

#include "base/log_text.h"
#include "results/accepted_findings.h"
#include "results/warning_line.h"

namespace vorskal::window {

namespace {

constexpr int kFailedExitStatus = 2;
// Findings shown by name; the rest are counted.
constexpr std::size_t kFindingsShown = 4;

// One block of findings under `heading`, the first few by name.
// An accepted finding is shown by its key alone: the administrator knows it.
std::string findingsBlock(const std::string& heading, const std::vector<results::Warning>& found) {
    std::string block = heading;
    for (std::size_t i = 0; i < found.size() && i < kFindingsShown; ++i) {
        block += "\n" + (found[i].accepted ? results::printedKey(found[i])
                                           : results::warningLine(found[i]));
    }
    if (found.size() > kFindingsShown) {
        block += "\n... and " + std::to_string(found.size() - kFindingsShown) + " more";
    }
    return block;
}

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string ClosingMessage::whole() const {
    return detail.empty() ? text : text + "\n\n" + detail;
}

ClosingMessage closingMessage(const Outcome& outcome, const results::GameResults& results) {
    ClosingMessage message;
    message.failed = outcome.kind == OutcomeKind::Failed;
    message.text = logText(outcome.message);  // it may quote any text of a file
    if (outcome.kind != OutcomeKind::Completed) {
        return message;
    }
    message.detail = "Final totals: Allied " + std::to_string(results.allied.final) + ", Hun " +
                     std::to_string(results.hun.final);
    std::vector<results::Warning> open;
    std::vector<results::Warning> accepted;
    for (const results::Warning& finding : results.warnings) {
        (finding.accepted ? accepted : open).push_back(finding);
    }
    if (!open.empty()) {
        message.detail +=
            "\n\n" + findingsBlock(counted(open.size(), "warning", "warnings") +
                                       " (the scores may be wrong; vorskal-tally --check lists "
                                       "them all):",
                                   open);
    }
    if (!accepted.empty()) {
        message.detail +=
            "\n\n" +
            findingsBlock(counted(accepted.size(), "accepted finding", "accepted findings") + " (" +
                              std::string(results::kAcceptedFindingsName) + "):",
                          accepted);
    }
    return message;
}

int exitStatusOf(OutcomeKind kind) {
    return kind == OutcomeKind::Failed ? kFailedExitStatus : 0;
}

}  // namespace vorskal::window
