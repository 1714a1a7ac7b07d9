#include "base/time_of_day.h"

namespace vorskal {
namespace {

// The two digits at `at` as a number below `limit`.
std::optional<std::int32_t> twoDigits(std::string_view text, std::size_t at, std::int32_t limit) {
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return std::nullopt;
    }
    const std::int32_t value = (a - '0') * 10 + (b - '0');
    return value < limit ? std::optional<std::int32_t>(value) : std::nullopt;
}

}  // namespace

std::optional<std::int32_t> secondsOfDay(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
        return std::nullopt;
    }
    const auto hours = twoDigits(text, 0, 24);
    const auto minutes = twoDigits(text, 3, 60);
    const auto seconds = twoDigits(text, 6, 60);
    if (!hours || !minutes || !seconds) {
        return std::nullopt;
    }
    return *hours * 3600 + *minutes * 60 + *seconds;
}

std::optional<std::string_view> timeOfDayOf(std::string_view line) {
    if (line.size() < 17) {
        return std::nullopt;
    }
    const std::string_view time = line.substr(9, 8);
    return secondsOfDay(time) ? std::optional<std::string_view>(time) : std::nullopt;
}

}  // namespace vorskal
