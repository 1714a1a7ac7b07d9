#pragma once
// Times of day of the game's log lines, laid on one continuous line of
// seconds so that a game that runs past midnight draws left to right.
#include <string>

#include "base/time_of_day.h"

namespace vorskal::html {

// "HH:MM" of a time on the game's line (taken modulo a day).
std::string clockText(long long seconds);

// Lays the times of day of lines that follow each other onto one line: a
// time more than 12 hours before the previous one is taken to be on the
// next day. The first time laid is the start of the line.
class DayLine {
  public:
    explicit DayLine(int startSecondsOfDay) : previous_(startSecondsOfDay) {}
    // The time on the line of the next time of day.
    long long place(int secondsOfDay);

  private:
    long long previous_;
    long long dayOffset_ = 0;
};

// The time on the line, at or after `notBefore`, of a time of day: used for
// times that were not met in line order (a stretch's start and end).
long long atOrAfter(int secondsOfDay, long long notBefore);

}  // namespace vorskal::html
