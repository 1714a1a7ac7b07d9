#pragma once
// The program vorskal-league: `vorskal-league LEAGUE.db COMMAND`, the
// season's standings, games, one game, removing and restoring a game,
// importing old report files, the settings and a check of the games. Only
// `remove`, `restore`, `import` and `set` with a value write to the league
// file; the others open it read-only. Each command is a handler of its own
// (app/league/commands/). Exit statuses (app/start/command_start.h): kExitFailed
// when the league or report file cannot be used, kExitFindings when `check`
// found games counted twice or days unknown, kExitUsage.
#include <ostream>

#include "app/start/command_start.h"
#include "base/platform.h"

namespace vorskal {

// Runs the program with its arguments; writes listings to `out`, messages
// to `err`; returns the exit status.
int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
// The same with a clock of the caller's, for the times the league file
// stores (recording, removal).
int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                     Clock& clock);

}  // namespace vorskal
