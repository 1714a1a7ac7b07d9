#pragma once
// The headless runner, vorskal-tally: the tally that "Tally Score" runs, for
// scripts and servers without a window.
//
// Exit statuses (app/start/command_start.h): kExitOk "Tally Complete" (on
// standard output); kExitMissingFirstLog no "ux7server0.log" (message on
// standard error); kExitFailed any other failure (message on standard
// error, or an output that cannot be written); kExitFindings --check found
// warnings not accepted, or --strict stopped the run for them before
// anything was written; kExitRestarted --follow stopped because the server
// started again, and wrote nothing final; kExitUsage bad usage. Warnings go to standard error
// and change the status of no other tally.
#include <iosfwd>

#include "app/cli/follow_pace.h"
#include "app/start/command_start.h"
#include "base/platform.h"

namespace vorskal {

int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
// The same with a clock of the caller's: the moment every output shows as
// the run's start and the league stores as the recording time.
int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                    Clock& clock);
// The same with the pace of --follow (tests: one that feeds a game); null:
// the system's (SIGINT, SIGTERM, Ctrl-C).
int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                    Clock& clock, FollowPace* pace);

}  // namespace vorskal
