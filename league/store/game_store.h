#pragma once
// Recording, removing and restoring games in a league file. Each game is
// written in one transaction: the whole game or nothing of it.
//
// One set of logs is one game (league/store/game_identity.h): a recording
// that is a game of the file already (the same report; the same logs with
// other settings; an early or a later tally of the same logs; a game the
// admin removed) records nothing and says which game it is, unless it
// replaces that game: the new version then takes the game's number and
// season, and the old one is kept, removed, to be restored.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "league/store/game_identity.h"
#include "league/store/league_file.h"
#include "league/store/season_days.h"
#include "results/game_results.h"
#include "results/spill.h"

namespace vorskal::league {

struct RecordRequest {
    std::string season;  // empty: the league's current season (replacing: the game's)
    bool replace = false;
    // Read the game's day and look for probable twins at once (an import of
    // many games does it once, at its end: settleDays).
    bool settle = true;
    std::optional<DateOrder> dateOrder;   // the order its log's date is written in, if given
    std::optional<std::string> playedOn;  // its day as another league file resolved it
    // The game's long lists are known (a tally's run, a results JSON, a game
    // of another league file that kept them): its targets, arena events,
    // over-max stretches and timeline are kept for its page. A report holds
    // none of them.
    bool listsKept = false;
    std::string source;  // the file the game came in, for a conflict; empty: a tally
};

// Duplicate: the same report is recorded. Refused: the game is another
// recording of a game in the file (RecordResult::match says how).
// Conflict: the key or report of a game in the file, with other contents
// (game_contents.h); only the conflict is written (table conflicts).
enum class RecordOutcome { Recorded, Replaced, Duplicate, Refused, Conflict };

struct RecordResult {
    RecordOutcome outcome = RecordOutcome::Recorded;
    std::int64_t id = 0;       // the game's number, or the one it is already
    Match match;               // Duplicate, Refused, Replaced: the game it is
    std::int64_t version = 0;  // Replaced: the number the old version is kept under; 0: none
    std::string season;
    std::optional<std::string> playedOn;  // nullopt: the day is unknown
    std::string gameDate;                 // the log's date, as written
    SeasonDays days;                      // the order the day was read in
    std::vector<std::int64_t> twins;      // games probably the same (same day, map, rows)
    // A duplicate whose merged log differs from this one's: two games whose
    // reports are the same line for line (a very small game quoting no log
    // line can be).
    bool sameReportOtherLogs = false;
    std::string conflict;  // Conflict: the differences, in plain words
};

// What a Conflict says: the game it clashes with and the differences.
std::string conflictText(const RecordResult& result);

// Why a Refused recording was refused: "these logs are game 3, recorded
// with other settings; --replace replaces it", ... (without the hint when
// the command cannot replace).
std::string refusalText(const RecordResult& result, bool replaceable = true);

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

// Reads the recorded game's day in `days.order` unless it has one, and fills
// in its day, log date and probable twins. Inside the caller's transaction.
void settleDays(Connection& db, RecordResult& result, const SeasonDays& days);

// What an import or a merge says of a game it recorded: its day that could
// not be read, the games it is probably the same as.
std::vector<std::string> recordedNotes(const RecordResult& result);

enum class Kept { Recorded, Removed };

// The game's number for `text`: its number, or a unique prefix (at least 4
// characters) of its key, among the recorded games or the removed ones.
// Throws LeagueError naming the text otherwise (and, for a recorded game
// asked for that was removed, how to restore it).
std::int64_t resolveGame(LeagueFile& file, const std::string& text, Kept kept = Kept::Recorded);

// Takes a game out of the standings and listings, keeping it to be
// restored; recording the same game again is refused while it is removed.
void removeGame(LeagueFile& file, std::int64_t id);

// Puts a removed game back; the number it has afterwards. A version that
// was replaced takes its game's number back, and the version in the
// standings is kept in its place. Throws LeagueError when the same game has
// been recorded since.
std::int64_t restoreGame(LeagueFile& file, std::int64_t id);

// Gives game `id` the day `day` ("YYYY-MM-DD"), whatever its log's date.
void setGameDay(LeagueFile& file, std::int64_t id, const std::string& day);

// The earlier versions kept of game `id`, replaced by --replace.
struct GameVersion {
    std::int64_t id = 0;
    std::string recordedAt;
    std::string replacedAt;
};
std::vector<GameVersion> versionsOf(LeagueFile& file, std::int64_t id);

// Other recorded games with the same day, map and pilots' rows as game `id`
// under another key: probably the same game, by another road.
std::vector<std::int64_t> probableTwins(Connection& db, std::int64_t id);

// For tests only: when set, called inside the transaction of every game
// recorded, after the game is written and before `beforeCommit`, so that a
// test program can stop a recorder there. The programs never set it.
extern void (*insideRecordingForTests)();

}  // namespace vorskal::league
