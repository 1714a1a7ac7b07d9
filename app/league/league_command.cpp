#include "app/league/league_command.h"

#include <new>
#include <stdexcept>

#include "app/league/commands/commands.h"
#include "base/log_text.h"
#include "base/system_files.h"
#include "league/store/league_file.h"

namespace vorskal {

namespace {

// Reads the command line and runs the one handler it names; what the
// handler throws comes out.
int readAndRun(int argc, const char* const* argv, LeagueContext& run) {
    CommandStart start(
        "vorskal-league",
        "Keeps a league's season in one file: records of scored games, standings per pilot\n"
        "and per side, and the import of old report files (vorskal.log).");
    CLI::App& app = start.app();
    app.require_subcommand(1);
    app.add_option("league", run.path, "The league file (an SQLite database)")
        ->required()
        ->type_name("LEAGUE.db");
    for (void (*add)(CLI::App&, LeagueContext&) :
         {addStandings, addGames, addShow, addRemove, addRestore, addImport, addMerge, addSite,
          addPost, addSet, addSetDay, addCheck, addPilot, addMatchups, addRatings, addExplain,
          addRescore}) {
        add(app, run);
    }
    return start.start(argc, argv, run.out, run.err).value_or(run.status);
}

}  // namespace

int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    SystemClock clock;
    return runLeagueCommand(argc, argv, out, err, clock);
}

int runLeagueCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                     Clock& clock) {
    LeagueContext run{{}, out, err, clock};
    try {
        return readAndRun(argc, argv, run);
    } catch (const league::LeagueError& e) {
        err << "vorskal-league: " << logText(e.what()) << "\n";
        return kExitFailed;
    } catch (const std::invalid_argument& e) {
        err << "vorskal-league: " << logText(e.what()) << "\n";
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        err << "vorskal-league: ran out of memory\n";
        return kExitFailed;
    } catch (const std::exception& e) {
        err << "vorskal-league: " << logText(e.what()) << "\n";
        return kExitFailed;
    }
}

}  // namespace vorskal
