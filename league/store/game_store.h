#pragma once
// Recording, removing and restoring games in a league file. Each game is
// written in one transaction: the whole game or nothing of it.
//
// A game is known by its key, the SHA-256 of its report's body
// (results/report_key.h), for a game recorded by the tally and for one imported from
// a report file alike: one game is one game however it arrives. A game is
// recorded already when its key, or its whole report's SHA-256, is the one
// of a game in the file; games recorded before the key existed keep the key
// they had (the merged log's SHA-256, or their report's) and are found by
// their report, or by the same merged log, settings file and options.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "league/store/league_file.h"
#include "league/store/season_days.h"
#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal::league {

enum class Origin { Tally, Import };

struct GameIdentity {
    std::string key;  // the report's key, lower-case hex
    Origin origin = Origin::Tally;
    std::string reportSha256;     // of the whole report
    std::string mergedLogSha256;  // a tallied game's merged log; "" when not known
};

// The identity of a game the tally has just scored, from its report's
// digests and the merged log named in its results.
GameIdentity talliedGame(const results::GameResults& game, const std::string& reportKey,
                         const std::string& reportSha256);

struct RecordRequest {
    std::string season;  // empty: the league's current season
    bool replace = false;
    // Read the season's days again and look for probable twins at once (an
    // import of many games does it once, at its end: settleDays).
    bool settle = true;
};

enum class RecordOutcome { Recorded, Replaced, Duplicate };

struct RecordResult {
    RecordOutcome outcome = RecordOutcome::Recorded;
    std::int64_t id = 0;  // the game's number, or the one already recorded
    std::string season;
    std::optional<std::string> playedOn;  // nullopt: the day is unknown
    std::string gameDate;                 // the log's date, as written
    SeasonDays days;                      // the season's order, and days read again
    std::vector<std::int64_t> twins;      // games probably the same (same day, map, rows)
    // A duplicate whose merged log differs from this one's: two games whose
    // reports are the same line for line (a very small game quoting no log
    // line can be).
    bool sameReportOtherLogs = false;
};

// Records `game`, whose corrections are in `spilled` when it is set (the
// long lists of a large game kept out of memory), else in the results.
// When the game is recorded already nothing is written and Duplicate comes
// back, unless `replace`: the old game's rows then give way to the new ones
// under the old game's number. `beforeCommit` runs last inside the
// transaction (the tally appends its report there); what it throws undoes
// the game. Throws LeagueError when the file cannot be written or the
// game's numbers do not hold (league/store/game_numbers.h).
RecordResult recordGame(LeagueFile& file, const results::GameResults& game,
                        const results::SpilledRows* spilled, const GameIdentity& identity,
                        const RecordRequest& request,
                        const std::function<void()>& beforeCommit = {});

// The same inside a transaction the caller holds; throws SqliteError, or
// LeagueError when the game's numbers do not hold (league/store/game_numbers.h).
RecordResult recordGameInside(LeagueFile& file, const results::GameResults& game,
                              const results::SpilledRows* spilled, const GameIdentity& identity,
                              const RecordRequest& request);

// Fills in the recorded game's day, log date and probable twins; with
// `refresh`, reads the days of its season again first (else `result.days`
// must hold the season's order). Inside the caller's transaction.
void settleDays(Connection& db, RecordResult& result, bool refresh = true);

// What an import or a merge says of a game it recorded: its day that could
// not be read, the games it is probably the same as.
std::vector<std::string> recordedNotes(const RecordResult& result);

enum class Kept { Recorded, Removed };

// The game's number for `text`: its number, or a unique prefix (at least 4
// characters) of its key, among the recorded games or the removed ones.
// Throws LeagueError naming the text otherwise.
std::int64_t resolveGame(LeagueFile& file, const std::string& text, Kept kept = Kept::Recorded);

// Takes a game out of the standings and listings, keeping it to be
// restored; it is dropped for good when the same game is recorded again.
void removeGame(LeagueFile& file, std::int64_t id);

// Puts a removed game back. Throws LeagueError when the same game has been
// recorded since.
SeasonDays restoreGame(LeagueFile& file, std::int64_t id);

// Other recorded games with the same day, map and pilots' rows as game `id`
// under another key: probably the same game, by another road.
std::vector<std::int64_t> probableTwins(Connection& db, std::int64_t id);

// For tests only: when set, called inside the transaction of every game
// recorded, after the game is written and before `beforeCommit`, so that a
// test program can stop a recorder there. The programs never set it.
extern void (*insideRecordingForTests)();

}  // namespace vorskal::league
