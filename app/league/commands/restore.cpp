// vorskal-league LEAGUE.db restore GAME: puts a removed game back.
#include <memory>

#include "app/league/commands/commands.h"
#include "base/log_text.h"
#include "league/store/game_store.h"

namespace vorskal {
namespace {

void runRestore(LeagueContext& run, const std::string& gameText) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Change, run.clock);
    const std::int64_t id = league::resolveGame(file, gameText, league::Kept::Removed);
    league::restoreGame(file, id);
    run.out << "Restored " << removedText(league::loadGame(file, id).summary) << " in "
            << logText(run.path) << "\n";
}

}  // namespace

void addRestore(CLI::App& app, LeagueContext& run) {
    auto game = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("restore", "Puts a removed game back");
    addGameArgument(*command, *game, "The number that remove printed");
    command->callback([&run, game] { runRestore(run, *game); });
}

}  // namespace vorskal
