#include "html/game_time.h"

#include <cstdio>

namespace vorskal::html {
namespace {

std::optional<int> twoDigits(std::string_view text, std::size_t at, int limit) {
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return std::nullopt;
    }
    const int value = (a - '0') * 10 + (b - '0');
    if (value >= limit) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<int> secondsOfDay(std::string_view text) {
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

std::string clockText(long long seconds) {
    long long ofDay = seconds % kSecondsPerDay;
    if (ofDay < 0) {
        ofDay += kSecondsPerDay;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(ofDay / 3600),
                  static_cast<int>(ofDay / 60 % 60));
    return text;
}

long long DayLine::place(int secondsOfDay) {
    long long at = dayOffset_ + secondsOfDay;
    if (at + kSecondsPerDay / 2 < previous_) {
        dayOffset_ += kSecondsPerDay;
        at += kSecondsPerDay;
    }
    previous_ = at;
    return at;
}

long long atOrAfter(int secondsOfDay, long long notBefore) {
    long long at = secondsOfDay;
    if (at < notBefore) {
        at += (notBefore - at + kSecondsPerDay - 1) / kSecondsPerDay * kSecondsPerDay;
    }
    return at;
}

}  // namespace vorskal::html
