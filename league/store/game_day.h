#pragma once
// What the league says of a game whose day cannot be read; the reader of
// dates itself is base/log_date.h.
#include <string>

#include "base/log_date.h"

namespace vorskal::league {

// Why a game's day is unknown, in plain words naming the date text: the
// text read in `order` (inferred or set), and the orders that would read it.
std::string unreadableDayMessage(const std::string& dateText, DateOrder order, bool inferred);

}  // namespace vorskal::league
