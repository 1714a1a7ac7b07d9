#pragma once
// Who beats whom in the games that count (those of the standings): kills
// of each aircraft type over each other, and the pilot pairs with the most
// kills between them. Only kills count: a kill line a correction took back,
// a self-kill and a line that awards the kill to no one are left out.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "league/listings/queries.h"
#include "results/game_results.h"

namespace vorskal::league {

// Kills of pilots flying `killer` over pilots flying `victim`.
struct AircraftMatchup {
    std::string killer;
    std::string victim;
    std::int64_t kills = 0;
};

// Two pilots and their kills over each other; `first` is the one with more
// kills over the other (the first by name when even).
struct PilotPair {
    std::string first;
    std::string second;
    std::int64_t firstOverSecond = 0;
    std::int64_t secondOverFirst = 0;
};

inline constexpr std::size_t kTopPairs = 20;

struct Matchups {
    std::int64_t games = 0;
    std::int64_t gamesWithoutKills = 0;  // of `games`, those without kills listed
    // Most kills first, then by the killer's type and the victim's.
    std::vector<AircraftMatchup> aircraft;
    // The kTopPairs pairs with most kills between them; ties: by the
    // first's name, then the second's.
    std::vector<PilotPair> pairs;
};

class MatchupTally {
  public:
    void add(const results::GameResults& game);
    Matchups matchups() const;

  private:
    std::int64_t games_ = 0;
    std::int64_t gamesWithoutKills_ = 0;
    std::map<std::pair<std::string, std::string>, std::int64_t> aircraft_;
    std::map<std::pair<std::string, std::string>, std::int64_t> pilots_;  // killer, victim
};

// The matchups of the games `filter` takes in.
Matchups computeMatchups(LeagueFile& file, const GameFilter& filter);

}  // namespace vorskal::league
