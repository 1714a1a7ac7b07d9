// vorskal-league LEAGUE.db merge OTHER.db: records every game of another
// league file (of another server) in this one.
#include <memory>

#include "app/league/commands/commands.h"
#include "app/start/command_start.h"
#include "base/counted.h"
#include "base/log_text.h"
#include "league/import/league_merge.h"

namespace vorskal {
namespace {

void runMerge(LeagueContext& run, const std::string& otherPath) {
    league::LeagueFile other(otherPath, league::LeagueFile::Access::Read);  // checked first
    league::LeagueFile file(run.path, league::LeagueFile::Access::Write, run.clock);
    const league::MergeSummary summary = league::mergeLeague(file, other);
    for (const std::string& skipped : summary.skipped) {
        run.err << "vorskal-league: " << logText(skipped) << "\n";
    }
    for (const std::string& conflict : summary.conflicts) {
        run.err << "vorskal-league: " << logText(conflict) << "\n";
        run.status = kExitFailed;
    }
    for (const std::string& note : summary.notes) {
        run.err << "vorskal-league: warning: " << logText(note) << "\n";
    }
    run.out << logText(otherPath) << ": " << counted(summary.games, "game") << ": "
            << summary.recorded << " recorded, " << summary.alreadyRecorded << " already recorded";
    if (!summary.skipped.empty()) {
        run.out << ", " << summary.skipped.size() << " skipped";
    }
    if (!summary.conflicts.empty()) {
        run.out << ", " << summary.conflicts.size() << " in conflict";
    }
    run.out << "\n";
}

}  // namespace

void addMerge(CLI::App& app, LeagueContext& run) {
    auto other = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "merge", "Records every game of another league file (of another server) in this one");
    command->add_option("other", *other, "The other league file")
        ->required()
        ->type_name("OTHER.db");
    command->callback([&run, other] { runMerge(run, *other); });
}

}  // namespace vorskal
