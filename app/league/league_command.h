#pragma once
// The program vorskal-league: `vorskal-league LEAGUE.db COMMAND`, the
// season's standings, games, one game, removing and restoring a game,
// importing old report files, the settings and a check of the games. Only
// `remove`, `restore`, `import` and `set` with a value write to the league
// file; the others open it read-only.
#include <ostream>

namespace vorskal {

// Exit statuses of vorskal-league.
inline constexpr int kLeagueExitOk = 0;
inline constexpr int kLeagueExitFailed = 2;    // the league or report file cannot be used
inline constexpr int kLeagueExitFindings = 3;  // `check` found games counted twice or days unknown
inline constexpr int kLeagueExitUsage = 64;

// Runs the program with its arguments; writes listings to `out`, messages
// to `err`; returns the exit status.
int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace vorskal
