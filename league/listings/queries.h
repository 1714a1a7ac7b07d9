#pragma once
// Reading a league file: the season's standings, the list of games and one
// game in full. Nothing here writes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "league/listings/standings.h"
#include "league/store/game_identity.h"
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

// A filter's names checked against the file, so that a mistyped name is
// refused instead of answering "0 games": a season no game of the file has
// (removed ones count) and that is not the current season, a map no game
// has, or a first day after the last. Throws std::invalid_argument naming
// what exists. The map comes back as the file writes it (a map is matched
// without regard to letter case).
GameFilter checkedFilter(LeagueFile& file, GameFilter filter);
// The same for a season alone.
void checkSeason(LeagueFile& file, const std::string& season);

Standings computeStandings(LeagueFile& file, const GameFilter& filter);

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
    std::string startSha256;  // of its merged log's first 64 KiB; "" when not known
    // The file keeps the game's targets, arena events, over-max stretches and
    // timeline (RecordRequest::listsKept): false for a game imported from its
    // report or recorded before the file kept them.
    bool listsKept = false;
    results::GameResults results;  // as recorded; the long lists only when asked for
};

// What of a game loadGame reads: its scores, corrections and warnings; those
// and its kill lines and arena events (what careers and matchups count); or
// all of it (what its page draws besides: targets, over-max stretches and
// timeline, as many rows as the game's log has).
enum class GameParts { Scores, Kills, All };

StoredGame loadGame(LeagueFile& file, std::int64_t id, GameParts parts = GameParts::Scores);

// What `vorskal-league check` finds: pairs of games that are probably one
// game recorded twice (the same day, map and pilots' rows under two keys),
// pairs tallied from the same logs (league/store/game_identity.h),
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
    // A game that arrived under a game's key or report with other contents.
    struct Conflict {
        std::int64_t id = 0;
        std::string arrivedAt;  // ISO 8601, UTC
        std::string source;     // the file it came in ("a tally" for --record)
        std::string differences;
    };
    std::vector<Twins> twins;
    std::vector<Conflict> conflicts;
    std::vector<SharedLogs> sharedLogs;  // games tallied from the same logs
    std::vector<UnknownDay> unknownDays;
    std::vector<GameSummary> removed;
};

Findings checkGames(LeagueFile& file);

}  // namespace vorskal::league
