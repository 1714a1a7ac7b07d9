#include "results/warning_line.h"

#include "base/log_text.h"
#include "results/accepted_findings.h"

namespace vorskal::results {

std::string warningLine(const Warning& warning) {
    std::string line;
    if (!warning.file.empty()) {
        line += warning.file;
        if (warning.line != 0) {
            line += " line " + std::to_string(warning.line);
        }
        line += ": ";
    }
    return logText(line + (warning.accepted ? "accepted: " : "warning: ") + warning.message) +
           " [" + printedKey(warning) + "]";
}

std::string findingsSummary(const std::vector<Warning>& findings) {
    const std::size_t open = unacceptedCount(findings);
    const std::size_t accepted = findings.size() - open;
    std::string summary;
    if (open > 0) {
        summary += std::to_string(open) + (open == 1 ? " warning" : " warnings");
    }
    if (accepted > 0) {
        summary += (summary.empty() ? "" : "; ") + std::to_string(accepted) +
                   (accepted == 1 ? " accepted finding" : " accepted findings");
    }
    return summary;
}

}  // namespace vorskal::results
