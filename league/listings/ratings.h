#pragma once
// The pilots' Glicko-2 ratings (glicko2.h) from the kills the league file
// keeps: one rating period per game, in the standings' order; each counted
// kill a win of the killer over the victim. A pilot is rated apart in each
// role, fighter or two-seater, by the aircraft he flew (base/aircraft_class.h):
// a kill rates the killer in his aircraft's role and the victim in his. With
// each game's move, the opponents who moved the rating most.
// docs/league.md ("Ratings") gives the choices.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "league/listings/glicko2.h"
#include "league/listings/listing.h"
#include "league/listings/queries.h"
#include "league/store/league_file.h"

namespace vorskal::league {

enum class RatingRole { Fighter, TwoSeater };

std::string_view roleName(RatingRole role);  // "fighter", "two-seater"
RatingRole roleOf(std::string_view aircraft);

// A kill that counts: a killer named, not a self-kill, not taken back.
struct RatedKill {
    std::string killer;
    std::string killerAircraft;
    std::string victim;
    std::string victimAircraft;
};

struct RatedGame {
    std::int64_t id = 0;
    std::vector<RatedKill> kills;
};

// The opponents shown with a game's move.
inline constexpr std::size_t kMovingOpponents = 3;

struct RatingMove {
    struct Opponent {
        std::string name;
        double points = 0;  // what his results moved the rating by
    };
    std::int64_t game = 0;
    Rating before;
    Rating after;
    std::vector<Opponent> opponents;  // the largest moves first, at most kMovingOpponents
};

struct PilotRating {
    std::string name;
    RatingRole role = RatingRole::Fighter;
    Rating rating;
    std::int64_t games = 0;  // the games with a result in this role
    std::vector<RatingMove> moves;
};

// Every pilot in each role he has a result in, the highest rating first
// (then by name). A rated pilot without a result in a game has only his
// deviation grown, up to the initial one.
std::vector<PilotRating> rateGames(const std::vector<RatedGame>& games);

// The counted kills of the filter's games, in the standings' order; a game
// whose kills the file does not list (kills_listed 0) is left out.
std::vector<RatedGame> ratedGames(LeagueFile& file, const GameFilter& filter);

// The ratings of one role, the highest first.
std::vector<PilotRating> ratingsOf(const std::vector<PilotRating>& all, RatingRole role);

// `vorskal-league ratings`: text (rank, name, rating +/- twice the
// deviation, games) or JSON (formatVersion kListingFormatVersion; docs/league.md).
void writeRatings(std::ostream& out, const std::vector<PilotRating>& ratings, RatingRole role,
                  Format format, const std::string& filterText);

}  // namespace vorskal::league
