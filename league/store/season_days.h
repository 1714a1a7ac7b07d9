#pragma once
// The days of a season's games. A game's day (`played_on`) is read from its
// log date once, when it is recorded, in the order given for it (the
// recorder's `--date-order`), or else the league's setting, or else the
// order the season's dates infer (base/log_date.h); once read it stays, so
// nothing recorded, merged, removed or set later re-dates a game. A game
// whose date did not read keeps no day until the setting changes or the
// admin gives it one.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "league/store/game_day.h"
#include "league/store/sqlite.h"

namespace vorskal::league {

struct SeasonDays {
    DateOrder order = DateOrder::MonthDayYear;
    bool inferred = true;  // neither given nor set: inferred from the season's dates
};

// The order a game of `season` is read in: `given`, or the setting, or the
// order the dates of the season's recorded games infer.
SeasonDays seasonDateOrder(Connection& db, const std::string& season,
                           std::optional<DateOrder> given = std::nullopt);

// Reads the day of game `id` when it has none yet, in `days.order`; the day
// it has afterwards, if any.
std::optional<std::string> settleDay(Connection& db, std::int64_t id, const SeasonDays& days);

// A game whose day the league's date order gave.
struct DayGiven {
    std::int64_t id = 0;
    std::string gameDate;
    std::string playedOn;
};

// Reads in `order` the day of every game that has none, inside the caller's
// transaction; the games that got one.
std::vector<DayGiven> settleUnknownDays(Connection& db, DateOrder order);

// Reads the day of every game again, each in its season's order: for a file
// brought up from a schema that kept days another way.
void refreshAllDays(Connection& db);

}  // namespace vorskal::league
