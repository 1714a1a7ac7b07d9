#include "collector/log_order.h"

#include "base/log_date.h"
#include "collector/facts.h"

namespace vorskal::collector {
namespace {

// Days since 1 March of year 0 of the proleptic Gregorian calendar of a
// day "YYYY-MM-DD" (as base/log_date.h gives it).
long dayNumber(const std::string& day) {
    const int year = std::stoi(day.substr(0, 4));
    const int month = std::stoi(day.substr(5, 2));
    const int date = std::stoi(day.substr(8, 2));
    const int y = month <= 2 ? year - 1 : year;
    const int m = month <= 2 ? month + 9 : month - 3;
    return 365L * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + date - 1;
}

// Whether some order of day, month and year reads `text` as a day.
bool readsAsDay(std::string_view text) {
    for (const DateOrder order : kDateOrders) {
        if (dayOf(text, order)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<bool> dayAfter(std::string_view date, std::string_view next) {
    std::optional<bool> after;
    for (const DateOrder order : kDateOrders) {
        const std::optional<std::string> first = dayOf(date, order);
        const std::optional<std::string> second = dayOf(next, order);
        if (first && second) {
            after = after.value_or(false) || dayNumber(*second) == dayNumber(*first) + 1;
        }
    }
    return after;
}

std::optional<results::Warning> logOrderFinding(const std::string& previousName,
                                                const LogMoment& previous, const std::string& name,
                                                std::uint64_t line, const LogMoment& first) {
    const auto finding = [&](const std::string& what) {
        return results::Warning{
            "log-out-of-order",
            name,
            line,
            what +
                ": it may be a log of another game, merged into this one; move it "
                "out of the game's folder if so",
            name,
            false};
    };
    const std::string end = previous.date + " " + previous.time;
    if (first.date != previous.date) {
        if (const std::optional<bool> after = dayAfter(previous.date, first.date)) {
            if (*after && first.time < previous.time) {
                return std::nullopt;  // the game went on past midnight
            }
            if (*after) {
                return finding("its first line, " + first.date + " " + first.time +
                               ", is a day or more after the last line of " + previousName + ", " +
                               end);
            }
            return finding("its first line is dated " + first.date + " " + first.time +
                           ", another day than the last line of " + previousName + ", " + end +
                           ", and not the day after");
        }
    } else if (readsAsDay(first.date)) {
        if (first.time < previous.time) {
            return finding("its first time of day, " + first.time +
                           ", is earlier than the last of " + previousName + ", " + end +
                           ", on the same day");
        }
        return std::nullopt;
    }
    // Dates that cannot be read as days: by the times of day alone.
    if (first.time < previous.time && !acrossMidnight(previous.time, first.time)) {
        return finding("its first time of day, " + first.time + ", is earlier than the last of " +
                       previousName + ", " + previous.time);
    }
    return std::nullopt;
}

}  // namespace vorskal::collector
