// vorskal-league LEAGUE.db restore GAME: puts a removed game, or an earlier
// version of a game, back; of a recorded game, lists its earlier versions.
#include <memory>

#include "app/league/commands/commands.h"
#include "base/log_text.h"
#include "league/store/game_store.h"

namespace vorskal {
namespace {

// A recorded game named: its earlier versions, each restorable.
void listVersions(LeagueContext& run, league::LeagueFile& file, std::int64_t id) {
    const std::vector<league::GameVersion> versions = league::versionsOf(file, id);
    if (versions.empty()) {
        throw league::LeagueError(run.path + ": game " + std::to_string(id) +
                                  " is recorded and has no earlier version to restore");
    }
    run.out << "Game " << id << " is recorded; its earlier "
            << (versions.size() == 1 ? "version" : "versions") << ":\n";
    for (const league::GameVersion& version : versions) {
        run.out << "  game " << version.id << " (recorded " << version.recordedAt << ", replaced "
                << version.replacedAt << "): vorskal-league " << logText(run.path) << " restore "
                << version.id << "\n";
    }
}

void runRestore(LeagueContext& run, const std::string& gameText) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Change, run.clock);
    std::int64_t id = 0;
    try {
        id = league::resolveGame(file, gameText, league::Kept::Removed);
    } catch (const league::LeagueError& notRemoved) {
        std::int64_t recorded = 0;
        try {
            recorded = league::resolveGame(file, gameText);
        } catch (const league::LeagueError&) {
            throw notRemoved;
        }
        listVersions(run, file, recorded);
        return;
    }
    const std::int64_t restored = league::restoreGame(file, id);
    run.out << "Restored "
            << (restored == id ? "" : "game " + std::to_string(id) + ", an earlier version, as ")
            << removedText(league::loadGame(file, restored).summary) << " in " << logText(run.path)
            << "\n";
}

}  // namespace

void addRestore(CLI::App& app, LeagueContext& run) {
    auto game = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "restore",
        "Puts a removed game, or an earlier version of a game, back; of a recorded game, lists "
        "its earlier versions");
    addGameArgument(*command, *game, "The number that remove printed");
    command->callback([&run, game] { runRestore(run, *game); });
}

}  // namespace vorskal
