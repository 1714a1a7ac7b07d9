#include "html/game_time.h"

#include <cstdio>

namespace vorskal::html {

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
