// vorskal-league LEAGUE.db explain GAME PILOT: every item behind a pilot's
// score in one game, adding up to his score in the standings.
#include <memory>

#include "app/league/commands/commands.h"
#include "league/rescore/explain.h"
#include "league/store/game_store.h"

namespace vorskal {
namespace {

struct ExplainAsked {
    std::string game;
    std::string pilot;
    std::optional<std::string> team;
    std::string format = "text";
};

void runExplain(LeagueContext& run, const ExplainAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const std::int64_t id = league::resolveGame(file, asked.game);
    Listing listing;
    listing.format = asked.format;
    league::writeExplanation(run.out, league::explainPilot(file, id, asked.pilot, asked.team),
                             formatOf(listing));
}

}  // namespace

void addExplain(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<ExplainAsked>();
    CLI::App* command = app.add_subcommand(
        "explain", "Every item behind a pilot's score in one game, with its log line");
    addGameArgument(*command, asked->game, "The game's number or the start of its key");
    command->add_option("pilot", asked->pilot, "The pilot's name as the score tables show it")
        ->required();
    command->add_option("--team", asked->team, "His side, when he flew for more than one")
        ->check(CLI::IsMember({"Allied", "Hun", "unknown"}));
    command->add_option("--format", asked->format, "Output format (default: text)")
        ->check(CLI::IsMember({"text", "json", "html"}));
    command->callback([&run, asked] { runExplain(run, *asked); });
}

}  // namespace vorskal
