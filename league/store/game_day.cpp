#include "league/store/game_day.h"

namespace vorskal::league {

namespace {

// Whether the hint may name `order` for `text`: year/month/day only for a
// date that begins with a four-digit year (it would read "20/08/26" as
// 2020-08-26, a day no server that writes the day first means).
bool hintable(const std::string& text, DateOrder order) {
    if (order != DateOrder::YearMonthDay) {
        return true;
    }
    const std::size_t start = text.find_first_not_of(' ');
    const std::size_t end = text.find_first_not_of("0123456789", start);
    return start != std::string::npos && end != std::string::npos && end - start == 4;
}

}  // namespace

std::string unreadableDayMessage(const std::string& dateText, DateOrder order, bool inferred) {
    if (dateText.empty()) {
        return "no log line gives the game's date: its day is unknown";
    }
    std::string message = "the log's date \"" + dateText + "\" does not read as " +
                          std::string(dateOrderWords(order)) +
                          (inferred ? " (the order inferred from the season's games)"
                                    : " (the league's date order)") +
                          ": the game's day is unknown";
    std::string readers;
    for (const DateOrder other : kDateOrders) {
        if (hintable(dateText, other) && dayOf(dateText, other)) {
            readers += std::string(readers.empty() ? "" : " or ") + "set date-order " +
                       std::string(dateOrderName(other));
        }
    }
    return readers.empty() ? message : message + " (" + readers + " reads it)";
}

}  // namespace vorskal::league
