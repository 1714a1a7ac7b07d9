#pragma once
// The headless runner, vorskal-tally: the tally that "Tally Score" runs, for
// scripts and servers without a window.
//
// Exit statuses: 0 "Tally Complete" (on standard output); 1 no
// "ux7server0.log" (message on standard error); 2 any other failure
// (message on standard error, or an output that cannot be written);
// 3 --check found warnings not accepted, or --strict stopped the run for
// them before anything was written; 64 bad usage. Warnings go to standard
// error and change the status of no other tally.
#include <iosfwd>

namespace vorskal {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitMissingFirstLog = 1;
inline constexpr int kExitFailed = 2;
inline constexpr int kExitWarnings = 3;
inline constexpr int kExitUsage = 64;

int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace vorskal
