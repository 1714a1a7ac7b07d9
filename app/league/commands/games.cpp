// vorskal-league LEAGUE.db games: the recorded games.
#include <memory>

#include "app/league/commands/commands.h"

namespace vorskal {
namespace {

void runGames(LeagueContext& run, const Listing& listing) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::GameFilter filter = filterOf(listing, file);
    league::writeGames(run.out, league::listGames(file, filter), formatOf(listing),
                       league::describeFilter(filter));
}

}  // namespace

void addGames(CLI::App& app, LeagueContext& run) {
    auto listing = std::make_shared<Listing>();
    CLI::App* command = app.add_subcommand("games", "The recorded games");
    addFilter(*command, *listing);
    addFormat(*command, *listing);
    command->callback([&run, listing] { runGames(run, *listing); });
}

}  // namespace vorskal
