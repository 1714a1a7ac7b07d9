// vorskal-league LEAGUE.db show GAME: one recorded game in full.
#include <memory>

#include "app/league/commands/commands.h"
#include "league/store/game_store.h"

namespace vorskal {
namespace {

struct ShowAsked {
    std::string game;
    Listing listing;
};

void runShow(LeagueContext& run, const ShowAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    league::writeGame(run.out, league::loadGame(file, league::resolveGame(file, asked.game)),
                      formatOf(asked.listing));
}

}  // namespace

void addShow(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<ShowAsked>();
    CLI::App* command = app.add_subcommand("show", "One recorded game in full");
    addGameArgument(*command, asked->game, "The game's number or the start of its key");
    addFormat(*command, asked->listing);
    command->callback([&run, asked] { runShow(run, *asked); });
}

}  // namespace vorskal
