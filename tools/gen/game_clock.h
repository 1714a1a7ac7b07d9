#pragma once
// The time stamp of the generated log lines: a date (day/month/two-digit
// year) in columns 1 to 8, a blank, the time of day in columns 10 to 17 and a
// blank in column 18. The clock only runs forward; at midnight the date
// turns over.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorskal::gen {

class GameClock {
  public:
    GameClock(int day, int month, int year, int secondOfDay);

    void advance(int seconds);

    std::int64_t elapsed() const { return elapsed_; }  // seconds since the game began
    int secondOfDay() const { return secondOfDay_; }

    // "dd/mm/yy HH:MM:SS " (18 characters): the text before a line's event.
    std::string_view stamp() const { return stamp_; }

  private:
    void nextDay();
    void format();

    int day_;
    int month_;
    int year_;  // 0 to 99
    int secondOfDay_;
    std::int64_t elapsed_ = 0;
    std::string stamp_;
};

}  // namespace vorskal::gen
