#include "collector/finding_order.h"

#include <algorithm>
#include <string_view>
#include <tuple>

#include "logs/log_line.h"
#include "points/point_file.h"

namespace vorskal::collector {
namespace {

// The number of a numbered log ("ux7server12.log" gives 12), or -1.
long long logNumber(std::string_view name) {
    const std::optional<std::string_view> digits = numberedLogDigits(name);
    if (!digits || digits->size() > 12) {
        return -1;
    }
    long long number = 0;
    for (const char c : *digits) {
        number = number * 10 + (c - '0');
    }
    return number;
}

// Files in the order their findings are listed: the numbered logs by
// number, "vorskal.ini", "ux7server.log", then anything else.
std::tuple<int, long long, std::string_view> fileRank(std::string_view file) {
    if (const long long number = logNumber(file); number >= 0) {
        return {0, number, file};
    }
    if (file == kPointFileName) {
        return {1, 0, file};
    }
    return {file == kMergedLogName ? 2 : 3, 0, file};
}

}  // namespace

void settleFindings(std::vector<results::Warning>& findings,
                    const results::AcceptedFindings& accepted) {
    for (results::Warning& finding : findings) {
        finding.accepted = accepted.accepts(finding);
    }
    std::stable_sort(
        findings.begin(), findings.end(), [](const results::Warning& a, const results::Warning& b) {
            return std::tuple(fileRank(a.file), a.line) < std::tuple(fileRank(b.file), b.line);
        });
}

}  // namespace vorskal::collector
