// vorskal-league LEAGUE.db check: games probably recorded twice, games that
// arrived again with other contents, games whose day is unknown, and removed
// games; status 3 for any but the last.
#include "app/league/commands/commands.h"
#include "app/start/command_start.h"
#include "base/log_text.h"

namespace vorskal {
namespace {

void runCheck(LeagueContext& run) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::Findings findings = league::checkGames(file);
    league::writeFindings(run.out, findings, logText(run.path));
    if (!findings.twins.empty() || !findings.sharedLogs.empty() || !findings.unknownDays.empty() ||
        !findings.conflicts.empty()) {
        run.status = kExitFindings;
    }
}

}  // namespace

void addCheck(CLI::App& app, LeagueContext& run) {
    CLI::App* command = app.add_subcommand(
        "check",
        "Lists games probably recorded twice, conflicts, games whose day is unknown, and "
        "removed games");
    command->callback([&run] { runCheck(run); });
}

}  // namespace vorskal
