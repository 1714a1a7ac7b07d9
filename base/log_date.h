#pragma once
// The day of a log line's date field (columns 1 to 8, e.g. "12/06/26"). A
// server writes the day, the month and the year in the order its system is
// set to, so the order is a setting of the league (`vorskal-league LEAGUE.db
// set date-order`); without it the order is inferred from the dates of the
// season's games. The one reader of dates: the recorder, the importer and
// the check of the numbered logs' order all go through it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorskal {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

inline constexpr DateOrder kDateOrders[] = {DateOrder::MonthDayYear, DateOrder::DayMonthYear,
                                            DateOrder::YearMonthDay};

// "mdy", "dmy" or "ymd", as the setting is written; and back (nullopt for
// any other text).
std::string_view dateOrderName(DateOrder order);
std::optional<DateOrder> dateOrderNamed(std::string_view name);
// "month/day/year", "day/month/year" or "year/month/day", for messages.
std::string_view dateOrderWords(DateOrder order);

// The day of `text` as "YYYY-MM-DD": three numbers separated by "/", "-" or
// "." (the same separator twice), blanks around the whole allowed, in
// `order`. A day or month has one or two digits; a year four, or two for a
// year of 2000 to 2099. nullopt when the text is no such date or names no
// day of the calendar ("02/30/26").
std::optional<std::string> dayOf(std::string_view text, DateOrder order);

// The order of a season's dates: year/month/day when every date that reads
// at all begins with a four-digit year; otherwise day/month/year when that
// order reads every such date and month/day/year does not; month/day/year
// in every other case (also when nothing tells them apart).
DateOrder inferDateOrder(const std::vector<std::string>& dates);

}  // namespace vorskal
