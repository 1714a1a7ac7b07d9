// vorskal-league LEAGUE.db import FILE...: records every complete report of
// report files (vorskal.log), and the game of results files.
#include <memory>
#include <vector>

#include "app/league/commands/commands.h"
#include "app/start/command_start.h"
#include "base/counted.h"
#include "base/log_text.h"
#include "league/import/report_import.h"
#include "league/store/settings.h"

namespace vorskal {
namespace {

struct ImportAsked {
    std::vector<std::string> files;
    league::ImportRequest request;
};

void tellImported(LeagueContext& run, const std::string& file,
                  const league::ImportSummary& summary) {
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
    if (!summary.notReport.empty()) {
        run.err << "vorskal-league: " << logText(file) << ": " << logText(summary.notReport)
                << "\n";
        run.status = kExitFailed;
        return;
    }
    if (summary.resultsJson) {
        run.out << logText(file) << ": results of one game: "
                << (summary.recorded == 1          ? "recorded as game "
                    : summary.alreadyRecorded == 1 ? "already recorded as game "
                    : summary.conflicts.empty()    ? "skipped"
                                                   : "in conflict")
                << (summary.games.empty() ? "" : std::to_string(summary.games.front())) << "\n";
        return;
    }
    run.out << logText(file) << ": " << counted(summary.reports, "report") << ": "
            << summary.recorded << " recorded, " << summary.alreadyRecorded << " already recorded, "
            << summary.skipped.size() << " skipped"
            << (summary.conflicts.empty()
                    ? std::string()
                    : ", " + std::to_string(summary.conflicts.size()) + " in conflict")
            << "\n";
}

void runImport(LeagueContext& run, const ImportAsked& asked) {
    for (const std::string& file : asked.files) {
        league::checkReportFile(file);  // every file readable before the league is written
    }
    league::LeagueFile league(run.path, league::LeagueFile::Access::Write, run.clock);
    for (const std::string& file : asked.files) {
        tellImported(run, file, league::importReportFile(league, file, asked.request));
    }
}

}  // namespace

void addImport(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<ImportAsked>();
    CLI::App* command =
        app.add_subcommand("import",
                           "Records every complete report of report files (vorskal.log), and the "
                           "game of results files (vorskal-tally --json)");
    command->add_option("reports", asked->files, "Report files or results JSON files")
        ->required()
        ->type_name("FILE");
    command
        ->add_option("--season", asked->request.season,
                     "The season to record the games in (default: the current season)")
        ->check([](const std::string& name) { return league::seasonNameFault(name); });
    addDateOrder(*command, asked->request.dateOrder,
                 "The order the games' server writes its dates in, when it is not the league's");
    command->callback([&run, asked] { runImport(run, *asked); });
}

}  // namespace vorskal
