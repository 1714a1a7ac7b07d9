#include "app/cli/runner.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "app/tally_run.h"
#include "base/version.h"

namespace vorskal {

int runTallyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Tallies one game: merges the numbered server logs ux7server0.log, ux7server1.log, ...\n"
        "into ux7server.log, scores it with the point values of vorskal.ini and appends the\n"
        "report to vorskal.log, all in the game's directory.",
        "vorskal-tally"};
    std::string directory = ".";
    bool noOverMax = false;
    bool noMultiDeath = false;
    bool noFighter = false;
    bool allTargets = false;
    app.add_option("-C,--directory", directory, "The game's directory (default: the current one)")
        ->type_name("DIR");
    app.add_flag("--no-over-max-correction", noOverMax,
                 "Do not deduct points for more than 16 pilots of a side");
    app.add_flag("--no-multi-death-correction", noMultiDeath,
                 "Do not take back deaths logged again within 20 seconds");
    app.add_flag("--no-fighter-target-correction", noFighter,
                 "Do not take back targets destroyed by fighters");
    app.add_flag("--all-targets", allTargets,
                 "Credit targets that were not red boxed too (default: red boxed only)");
    app.set_version_flag("--version", "vorskal-tally " + std::string(kVersion));

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitCompleted;
    } catch (const CLI::CallForVersion&) {
        out << "vorskal-tally " << kVersion << "\n";
        return kExitCompleted;
    } catch (const CLI::ParseError& e) {
        err << "vorskal-tally: " << e.what() << "\n" << app.help();
        return kExitUsage;
    }

    TallyOptions options;
    options.overMaxPilotCorrection = !noOverMax;
    options.multiDeathCorrection = !noMultiDeath;
    options.fighterTargetCorrection = !noFighter;
    options.redBoxedOnly = !allTargets;

    const Outcome outcome = tallyDirectory(directory, options);
    switch (outcome.kind) {
        case OutcomeKind::Completed:
            out << outcome.message << "\n";
            return kExitCompleted;
        case OutcomeKind::MissingFirstLog:
            err << outcome.message << "\n";
            return kExitMissingFirstLog;
        case OutcomeKind::Failed:
            break;
    }
    err << "vorskal-tally: " << outcome.message << "\n";
    return kExitFailed;
}

}  // namespace vorskal
