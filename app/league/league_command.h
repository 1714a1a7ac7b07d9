#pragma once
// The program vorskal-league: `vorskal-league LEAGUE.db COMMAND`, the
// season's standings, games, one game, removing a game and importing old
// report files. Only `remove` and `import` ever write to the league file.
#include <ostream>

namespace vorskal {

// Exit statuses of vorskal-league.
inline constexpr int kLeagueExitOk = 0;
inline constexpr int kLeagueExitFailed = 2;  // the league or report file cannot be used
inline constexpr int kLeagueExitUsage = 64;

// Runs the program with its arguments; writes listings to `out`, messages
// to `err`; returns the exit status.
int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace vorskal
