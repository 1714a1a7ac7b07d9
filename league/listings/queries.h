#pragma once
// Reading a league file: the season's standings, the list of games and one
// game in full. Nothing here writes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "league/store/league_file.h"
#include "results/game_results.h"

namespace vorskal::league {

// Narrows the games taken in; every part is optional. Dates are
// "YYYY-MM-DD" and inclusive; a game whose day is not known is left out
// when a date is given. Removed games are never taken in.
struct GameFilter {
    std::optional<std::string> map;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> season;  // nullopt: every season
};

// One pilot on one side: the sums of his rows in the games' score tables.
struct PilotStanding {
    std::string name;
    std::string team;  // "Allied", "Hun" or "unknown"
    std::int64_t games = 0;
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t targetsDestroyed = 0;
    std::int64_t targetPoints = 0;
    std::int64_t score = 0;
};

// One side, by the ZORL totals of its games: a game is won when the side's
// final total is the higher one, drawn when both are equal.
struct SideStanding {
    std::string team;  // "Allied" or "Hun"
    std::int64_t games = 0;
    std::int64_t won = 0;
    std::int64_t lost = 0;
    std::int64_t drawn = 0;
    std::int64_t pointsFor = 0;
    std::int64_t pointsAgainst = 0;
};

struct Standings {
    std::vector<PilotStanding> pilots;  // by score, highest first, then by name and side
    std::vector<SideStanding> sides;    // Allied, then Hun
};

Standings computeStandings(LeagueFile& file, const GameFilter& filter);

// Sorts both lists by `column` (a name of the standings' JSON, any letter
// case; a list without that column keeps its order): numbers highest first,
// names in ascending order; `reverse` turns it round. Ties keep the order.
// Throws std::invalid_argument for a column neither list has.
void sortStandings(Standings& standings, const std::string& column, bool reverse);

struct GameSummary {
    std::int64_t id = 0;
    std::string key;
    std::string season;
    std::string origin;    // "tally" or "import"
    std::string playedOn;  // "YYYY-MM-DD", or "" when not known
    std::string gameDate;  // as the log or the report wrote it
    std::string map;
    std::int64_t alliedFinal = 0;
    std::int64_t hunFinal = 0;
    std::int64_t pilots = 0;
    std::int64_t corrections = 0;
    std::int64_t warnings = 0;
    std::string recordedAt;
};

// The recorded games in the order they were played (then recorded).
std::vector<GameSummary> listGames(LeagueFile& file, const GameFilter& filter);

struct StoredGame {
    GameSummary summary;
    std::string reportSha256;
    results::GameResults results;  // as recorded; targets, arena and timeline are not kept
};

StoredGame loadGame(LeagueFile& file, std::int64_t id);

// What `vorskal-league check` finds: pairs of games that are probably one
// game recorded twice (the same day, map and pilots' rows under two keys),
// games whose day is unknown, and removed games that can be restored.
struct Findings {
    struct Twins {
        std::int64_t first = 0;
        std::int64_t second = 0;
        std::string playedOn;
        std::string map;
    };
    struct UnknownDay {
        std::int64_t id = 0;
        std::string why;  // naming the log's date
    };
    std::vector<Twins> twins;
    std::vector<UnknownDay> unknownDays;
    std::vector<GameSummary> removed;
};

Findings checkGames(LeagueFile& file);

}  // namespace vorskal::league
