#pragma once
// Recording and removing games in a league file. Each game is written in
// one transaction: the whole game or nothing of it.
//
// A game is known by its key: the SHA-256 of its merged log for a game
// recorded by the tally, the SHA-256 of its report's text for a game
// imported from a report file. A game recorded by the tally may carry its
// report's SHA-256 too, so that importing that report later finds it.
#include <cstdint>
#include <optional>
#include <string>

#include "league/league_file.h"
#include "results/game_results.h"

namespace vorskal::league {

enum class Origin { Tally, Import };

struct GameIdentity {
    std::string key;  // lower-case hex SHA-256
    Origin origin = Origin::Tally;
    std::string reportSha256;  // "" when not known
};

// The identity of a game the tally has just scored: its key is the SHA-256
// of the input named "ux7server.log". Throws LeagueError when the results
// carry none.
GameIdentity talliedGame(const results::GameResults& game, const std::string& reportSha256 = {});

enum class RecordOutcome { Recorded, Replaced, Duplicate };

struct RecordResult {
    RecordOutcome outcome = RecordOutcome::Recorded;
    std::int64_t id = 0;  // the new game's number, or the one already there
};

// Records `game`. When a game with the same key (or the same report) is
// there already, nothing is written and Duplicate comes back, unless
// `replace`: then the old game is removed and the new one recorded in the
// same transaction. Throws LeagueError when the file cannot be written or
// the game's numbers do not hold (league/game_numbers.h).
RecordResult recordGame(LeagueFile& file, const results::GameResults& game,
                        const GameIdentity& identity, bool replace);

// The same inside a transaction the caller holds; throws SqliteError, or
// LeagueError when the game's numbers do not hold (league/game_numbers.h).
RecordResult recordGameInside(LeagueFile& file, const results::GameResults& game,
                              const GameIdentity& identity, bool replace);

// The game's number for `text`: its number, or a unique prefix (at least 4
// characters) of its key. Throws LeagueError naming the text otherwise.
std::int64_t resolveGame(LeagueFile& file, const std::string& text);

// Removes a game with everything recorded for it; false when none.
bool removeGame(LeagueFile& file, std::int64_t id);

// The game's day as "YYYY-MM-DD": from the log's date (month/day/year, as
// the server writes it), else from the run's start; nullopt when neither
// reads as a date.
std::optional<std::string> gameDay(const results::GameResults& game);

// Name of a side as the league file and every listing write it.
const char* sideName(results::Side side);
results::Side sideFromName(const std::string& name);

}  // namespace vorskal::league
