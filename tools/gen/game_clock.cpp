#include "gen/game_clock.h"

namespace vorskal::gen {
namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;

int daysInMonth(int month, int year) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0) {
        return 29;  // two-digit years: 2000 to 2099
    }
    return kDays[month - 1];
}

void putTwoDigits(std::string& out, std::size_t at, int value) {
    out[at] = static_cast<char>('0' + value / 10);
    out[at + 1] = static_cast<char>('0' + value % 10);
}

}  // namespace

GameClock::GameClock(int day, int month, int year, int secondOfDay, bool dayFirst)
    : day_(day),
      month_(month),
      year_(year % 100),
      secondOfDay_(secondOfDay % kSecondsPerDay),
      dayFirst_(dayFirst) {
    stamp_ = "00/00/00 00:00:00 ";
    format();
}

void GameClock::advance(int seconds) {
    elapsed_ += seconds;
    secondOfDay_ += seconds;
    while (secondOfDay_ >= kSecondsPerDay) {
        secondOfDay_ -= kSecondsPerDay;
        nextDay();
    }
    format();
}

void GameClock::nextDay() {
    if (++day_ > daysInMonth(month_, year_)) {
        day_ = 1;
        if (++month_ > 12) {
            month_ = 1;
            year_ = (year_ + 1) % 100;
        }
    }
}

void GameClock::format() {
    putTwoDigits(stamp_, 0, dayFirst_ ? day_ : month_);
    putTwoDigits(stamp_, 3, dayFirst_ ? month_ : day_);
    putTwoDigits(stamp_, 6, year_);
    putTwoDigits(stamp_, 9, secondOfDay_ / 3600);
    putTwoDigits(stamp_, 12, secondOfDay_ / 60 % 60);
    putTwoDigits(stamp_, 15, secondOfDay_ % 60);
}

}  // namespace vorskal::gen
