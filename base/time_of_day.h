#pragma once
// The time of day as the log lines show it: "HH:MM:SS" at columns 10 to 17.
// The merge's facts of each numbered log, the results and the game's page
// read it here. (The passes read a line's time by their own rule:
// timeOfLine in logs/log_line.h.)
#include <cstdint>
#include <optional>
#include <string_view>

namespace vorskal {

inline constexpr std::int32_t kSecondsPerDay = 24 * 60 * 60;

// Seconds since midnight of "HH:MM:SS": two digits each, hours 00 to 23,
// minutes and seconds 00 to 59; nothing for any other text.
std::optional<std::int32_t> secondsOfDay(std::string_view text);

// The "HH:MM:SS" at columns 10 to 17 of a log line, when it is a time of day.
std::optional<std::string_view> timeOfDayOf(std::string_view line);

}  // namespace vorskal
