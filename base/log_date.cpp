#include "base/log_date.h"

#include <array>
#include <cstdio>

namespace vorskal {

namespace {

struct Field {
    int value = 0;
    std::size_t digits = 0;
};

// The three numbers of a date and their lengths; nullopt for another shape.
std::optional<std::array<Field, 3>> fieldsOf(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    std::array<Field, 3> fields;
    char separator = 0;
    std::size_t at = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            if (at >= text.size() || (separator != 0 && text[at] != separator) ||
                (text[at] != '/' && text[at] != '-' && text[at] != '.')) {
                return std::nullopt;
            }
            separator = text[at++];
        }
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && fields[i].digits < 5) {
            fields[i].value = fields[i].value * 10 + (text[at++] - '0');
            ++fields[i].digits;
        }
        if (fields[i].digits == 0) {
            return std::nullopt;
        }
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return fields;
}

bool leap(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysIn(int month, int year) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string_view dateOrderName(DateOrder order) {
    switch (order) {
        case DateOrder::DayMonthYear:
            return "dmy";
        case DateOrder::YearMonthDay:
            return "ymd";
        case DateOrder::MonthDayYear:
            break;
    }
    return "mdy";
}

std::optional<DateOrder> dateOrderNamed(std::string_view name) {
    for (const DateOrder order : kDateOrders) {
        if (dateOrderName(order) == name) {
            return order;
        }
    }
    return std::nullopt;
}

std::string_view dateOrderWords(DateOrder order) {
    switch (order) {
        case DateOrder::DayMonthYear:
            return "day/month/year";
        case DateOrder::YearMonthDay:
            return "year/month/day";
        case DateOrder::MonthDayYear:
            break;
    }
    return "month/day/year";
}

std::optional<std::string> dayOf(std::string_view text, DateOrder order) {
    const auto fields = fieldsOf(text);
    if (!fields) {
        return std::nullopt;
    }
    using Places = std::array<std::size_t, 3>;  // where the year, month and day stand
    const auto [y, m, d] = order == DateOrder::YearMonthDay   ? Places{0, 1, 2}
                           : order == DateOrder::DayMonthYear ? Places{2, 1, 0}
                                                              : Places{2, 0, 1};
    const Field year = (*fields)[y];
    const Field month = (*fields)[m];
    const Field day = (*fields)[d];
    if ((year.digits != 2 && year.digits != 4) || month.digits > 2 || day.digits > 2) {
        return std::nullopt;
    }
    const int fullYear = year.digits == 2 ? 2000 + year.value : year.value;
    if (month.value < 1 || month.value > 12 || day.value < 1 ||
        day.value > daysIn(month.value, fullYear)) {
        return std::nullopt;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", fullYear, month.value, day.value);
    return std::string(buffer);
}

DateOrder inferDateOrder(const std::vector<std::string>& dates) {
    bool anyRead = false;
    bool allYearFirst = true;
    bool monthFirstReadsAll = true;
    bool dayFirstReadsAll = true;
    for (const std::string& date : dates) {
        const bool monthFirst = dayOf(date, DateOrder::MonthDayYear).has_value();
        const bool dayFirst = dayOf(date, DateOrder::DayMonthYear).has_value();
        const bool yearFirst = dayOf(date, DateOrder::YearMonthDay).has_value();
        if (!monthFirst && !dayFirst && !yearFirst) {
            continue;  // no order reads it: it tells nothing
        }
        anyRead = true;
        allYearFirst &= yearFirst && (*fieldsOf(date))[0].digits == 4;
        monthFirstReadsAll &= monthFirst;
        dayFirstReadsAll &= dayFirst;
    }
    if (anyRead && allYearFirst) {
        return DateOrder::YearMonthDay;
    }
    if (anyRead && dayFirstReadsAll && !monthFirstReadsAll) {
        return DateOrder::DayMonthYear;
    }
    return DateOrder::MonthDayYear;
}

}  // namespace vorskal
