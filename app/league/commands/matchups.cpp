// vorskal-league LEAGUE.db matchups: kills of aircraft over aircraft, and
// the pilot pairs with most kills between them.
#include <memory>

#include "app/league/commands/commands.h"
#include "league/listings/matchups_listing.h"

namespace vorskal {
namespace {

void runMatchups(LeagueContext& run, const Listing& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::GameFilter filter = filterOf(asked, file);
    league::writeMatchups(run.out, league::computeMatchups(file, filter), formatOf(asked),
                          league::describeFilter(filter));
}

}  // namespace

void addMatchups(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<Listing>();
    CLI::App* command = app.add_subcommand(
        "matchups", "Kills of aircraft over aircraft, and the pilot pairs with most between them");
    addFilter(*command, *asked);
    addFormat(*command, *asked);
    command->callback([&run, asked] { runMatchups(run, *asked); });
}

}  // namespace vorskal
