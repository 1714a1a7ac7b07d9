// vorskal-league LEAGUE.db pilot NAME: a pilot's career from the kill lines
// of the games that count.
#include <memory>

#include "app/league/commands/commands.h"
#include "league/listings/career_listing.h"

namespace vorskal {
namespace {

struct PilotAsked {
    Listing listing;
    std::string name;
};

void runPilot(LeagueContext& run, const PilotAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::GameFilter filter = filterOf(asked.listing, file);
    league::writeCareer(run.out, league::pilotCareer(file, filter, asked.name),
                        formatOf(asked.listing), league::describeFilter(filter));
}

}  // namespace

void addPilot(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<PilotAsked>();
    CLI::App* command = app.add_subcommand(
        "pilot",
        "A pilot's career: kills and deaths by aircraft, whom he shot down, runs, best game");
    command->add_option("name", asked->name, "The pilot, as the score tables name him")->required();
    addFilter(*command, asked->listing);
    addFormat(*command, asked->listing);
    command->callback([&run, asked] { runPilot(run, *asked); });
}

}  // namespace vorskal
