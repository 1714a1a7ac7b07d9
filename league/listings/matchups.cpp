#include "league/listings/matchups.h"

#include <algorithm>

namespace vorskal::league {

void MatchupTally::add(const results::GameResults& game) {
    ++games_;
    if (!game.killsListed) {
        ++gamesWithoutKills_;
        return;
    }
    for (const results::KillRow& kill : game.kills) {
        if (kill.takenBackBy || kill.selfKill || !kill.killer) {
            continue;
        }
        ++aircraft_[{kill.killerAircraft, kill.victimAircraft}];
        ++pilots_[{*kill.killer, kill.victim}];
    }
}

Matchups MatchupTally::matchups() const {
    Matchups result;
    result.games = games_;
    result.gamesWithoutKills = gamesWithoutKills_;
    for (const auto& [types, kills] : aircraft_) {
        result.aircraft.push_back({types.first, types.second, kills});
    }
    std::stable_sort(
        result.aircraft.begin(), result.aircraft.end(),
        [](const AircraftMatchup& a, const AircraftMatchup& b) { return a.kills > b.kills; });
    for (const auto& [names, kills] : pilots_) {
        const auto& [killer, victim] = names;
        const auto back = pilots_.find({victim, killer});
        const std::int64_t returned = back == pilots_.end() ? 0 : back->second;
        // Each pair once: from the side of its first pilot.
        if (kills > returned || (kills == returned && killer < victim)) {
            result.pairs.push_back({killer, victim, kills, returned});
        }
    }
    std::stable_sort(result.pairs.begin(), result.pairs.end(),
                     [](const PilotPair& a, const PilotPair& b) {
                         const std::int64_t between = a.firstOverSecond + a.secondOverFirst;
                         const std::int64_t other = b.firstOverSecond + b.secondOverFirst;
                         if (between != other) {
                             return between > other;
                         }
                         return a.first != b.first ? a.first < b.first : a.second < b.second;
                     });
    if (result.pairs.size() > kTopPairs) {
        result.pairs.resize(kTopPairs);
    }
    return result;
}

Matchups computeMatchups(LeagueFile& file, const GameFilter& filter) {
    MatchupTally tally;
    for (const GameSummary& game : listGames(file, filter)) {
        tally.add(loadGame(file, game.id, GameParts::Kills).results);
    }
    return tally.matchups();
}

}  // namespace vorskal::league
