// vorskal-league LEAGUE.db remove GAME: takes a game out of the league,
// keeping it to be restored.
#include <memory>

#include "app/league/commands/commands.h"
#include "base/log_text.h"
#include "league/store/game_store.h"

namespace vorskal {
namespace {

void runRemove(LeagueContext& run, const std::string& gameText) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Change, run.clock);
    const std::int64_t id = league::resolveGame(file, gameText);
    const league::GameSummary game = league::loadGame(file, id).summary;
    league::removeGame(file, id);
    run.out << "Removed " << removedText(game) << " from " << logText(run.path)
            << "; vorskal-league " << logText(run.path) << " restore " << id << " puts it back\n";
}

}  // namespace

void addRemove(CLI::App& app, LeagueContext& run) {
    auto game = std::make_shared<std::string>();
    CLI::App* command =
        app.add_subcommand("remove", "Takes a game out of the league, keeping it to be restored");
    addGameArgument(*command, *game, "The game's number or the start of its key");
    command->callback([&run, game] { runRemove(run, *game); });
}

}  // namespace vorskal
