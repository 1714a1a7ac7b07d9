#pragma once
// The days of a season's games. A game's day (`played_on`) is always its
// log date read in the order in force for its season: the league's setting,
// or else the order the season's dates infer (game_day.h). Whatever may
// change that order (a game recorded, imported, removed or restored, the
// setting changed, the schema brought up to date) reads the days of the
// season again, so every game of a season is read alike.
#include <cstdint>
#include <string>

#include "league/store/game_day.h"
#include "league/store/sqlite.h"

namespace vorskal::league {

struct SeasonDays {
    DateOrder order = DateOrder::MonthDayYear;
    bool inferred = true;  // no setting: inferred from the season's dates
    int changed = 0;       // games whose day was read differently than before
};

// The order in force for `season`.
SeasonDays seasonDateOrder(Connection& db, const std::string& season);

// Reads the day of every game of `season` again, inside the caller's
// transaction; `except` (a game just written) is not counted in `changed`.
SeasonDays refreshDays(Connection& db, const std::string& season, std::int64_t except = 0);

// The same for every season.
void refreshAllDays(Connection& db);

}  // namespace vorskal::league
