#pragma once
// Whether each numbered log follows the one before it: a stale log of
// another game, left in the folder, is merged into tonight's and its kills
// counted. Told by the date field (columns 1 to 8) beside the time of day.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "results/game_results.h"

namespace vorskal::collector {

// Where a numbered log starts or ends: a line with a time of day.
struct LogMoment {
    std::string date;  // columns 1 to 8 as written, trailing blanks removed
    std::string time;  // "HH:MM:SS"
};

// Whether `next` is the calendar day after `date`, in some order of day,
// month and year that reads both as days ("12/06/26" then "12/07/26": the
// month first). Empty when no order reads both.
std::optional<bool> dayAfter(std::string_view date, std::string_view next);

// The finding "log-out-of-order" for log `name`, whose first line with a
// time (line `line` of it) is `first`, when it does not follow `previous`,
// the last such line of log `previousName`: dated another day than that
// line and not the day after it, the day after it at a later time of day
// (a whole day later), or the same day and earlier. Where the
// dates cannot be read as days, a time of day more than 12 hours before
// the one before is taken for the game going past midnight.
std::optional<results::Warning> logOrderFinding(const std::string& previousName,
                                                const LogMoment& previous, const std::string& name,
                                                std::uint64_t line, const LogMoment& first);

}  // namespace vorskal::collector
