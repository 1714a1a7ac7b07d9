// vorskal-league LEAGUE.db standings: pilots' totals per side flown, and each
// side's games won, lost and drawn.
#include <memory>

#include "app/league/commands/commands.h"

namespace vorskal {
namespace {

struct StandingsAsked {
    Listing listing;
    std::string sortColumn;
    bool reverse = false;
};

void runStandings(LeagueContext& run, const StandingsAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::GameFilter filter = filterOf(asked.listing, file);
    league::Standings table = league::computeStandings(file, filter);
    if (!asked.sortColumn.empty()) {
        // An unknown column is a usage fault (std::invalid_argument).
        league::sortStandings(table, asked.sortColumn, asked.reverse);
    }
    league::writeStandings(run.out, table, formatOf(asked.listing), league::describeFilter(filter));
}

}  // namespace

void addStandings(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<StandingsAsked>();
    CLI::App* command = app.add_subcommand(
        "standings", "Pilots' totals per side flown, and each side's games won, lost and drawn");
    addFilter(*command, asked->listing);
    addFormat(*command, asked->listing);
    command->add_option("--sort", asked->sortColumn,
                        "Column to sort by: name, team, games, kills, deaths, "
                        "targetsDestroyed, targetPoints, score, won, lost, drawn, pointsFor, "
                        "pointsAgainst (numbers highest first)");
    command->add_flag("--reverse", asked->reverse, "Sort the other way round");
    command->callback([&run, asked] { runStandings(run, *asked); });
}

}  // namespace vorskal
