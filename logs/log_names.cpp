#include "logs/log_names.h"

namespace vorskal {

namespace {
constexpr std::string_view kLogHead = "ux7server";
constexpr std::string_view kLogTail = ".log";
}  // namespace

std::string numberedLogName(std::uint64_t n) {
    return std::string(kLogHead) + std::to_string(n) + std::string(kLogTail);
}

std::optional<std::string_view> numberedLogDigits(std::string_view name) {
    if (name.size() <= kLogHead.size() + kLogTail.size() || !name.starts_with(kLogHead) ||
        !name.ends_with(kLogTail)) {
        return std::nullopt;
    }
    const std::string_view digits =
        name.substr(kLogHead.size(), name.size() - kLogHead.size() - kLogTail.size());
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    return digits;
}

}  // namespace vorskal
