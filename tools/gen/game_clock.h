#pragma once
// The time stamp of the generated log lines: a date in columns 1 to 8
// (month/day/two-digit year, as the game server writes it, or day/month/year
// when asked), a blank, the time of day in columns 10 to 17 and a blank in
// column 18. The clock only runs forward; at midnight the date turns over.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorskal::gen {

class GameClock {
  public:
    GameClock(int day, int month, int year, int secondOfDay, bool dayFirst = false);

    void advance(int seconds);

    std::int64_t elapsed() const { return elapsed_; }  // seconds since the game began
    int secondOfDay() const { return secondOfDay_; }

    // "mm/dd/yy HH:MM:SS " (or "dd/mm/yy ...", 18 characters): the text
    // before a line's event.
    std::string_view stamp() const { return stamp_; }

  private:
    void nextDay();
    void format();

    int day_;
    int month_;
    int year_;  // 0 to 99
    int secondOfDay_;
    bool dayFirst_;
    std::int64_t elapsed_ = 0;
    std::string stamp_;
};

}  // namespace vorskal::gen
