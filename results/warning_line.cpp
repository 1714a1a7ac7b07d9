#include "results/warning_line.h"

#include "base/log_text.h"

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
    return logText(line + "warning: " + warning.message + " [" + warning.code + "]");
}

}  // namespace vorskal::results
