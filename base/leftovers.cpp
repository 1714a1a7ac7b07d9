#include "base/leftovers.h"

#include <charconv>

namespace vorskal {

long leftoverOwner(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return 0;
    }
    const std::string_view rest = name.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    const std::string_view digits = rest.substr(0, dash);
    long pid = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (error != std::errc() || end != digits.data() + digits.size() || pid <= 0) {
        return 0;
    }
    return pid;
}

}  // namespace vorskal
