#pragma once
// Whether a game that arrives under a key or report digest already stored
// holds what the stored game holds: its point values, both sides' totals
// and every score row. A key is a claim the arriving file makes; only the
// contents tell a copy of the game from a forged or edited one.
#include <cstdint>
#include <string>

#include "league/store/sqlite.h"
#include "results/game_results.h"

namespace vorskal::league {

// The differences between game `id` of the file and `game`, in plain words
// ("pilot \"Snoopy\": score 40 in game 1, 1000040 in this one"), the first
// few of them; empty when the contents agree.
std::string contentsDifference(Connection& db, std::int64_t id, const results::GameResults& game);

}  // namespace vorskal::league
