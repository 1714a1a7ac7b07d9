#include "league/store/game_day.h"

namespace vorskal::league {

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
        if (dayOf(dateText, other)) {
            readers += std::string(readers.empty() ? "" : " or ") + "set date-order " +
                       std::string(dateOrderName(other));
        }
    }
    return readers.empty() ? message : message + " (" + readers + " reads it)";
}

}  // namespace vorskal::league
