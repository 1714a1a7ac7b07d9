// vorskal-league LEAGUE.db post GAME: sends a game's summary to the league's
// webhook.
#include <memory>

#include "app/league/commands/commands.h"
#include "app/league/post_game.h"
#include "league/store/game_store.h"

namespace vorskal {
namespace {

struct PostAsked {
    std::string game;
    bool plain = false;
    double timeout = 10;
    int tries = 3;
};

void runPost(LeagueContext& run, const PostAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const std::int64_t id = league::resolveGame(file, asked.game);
    const Webhook webhook = requireWebhook(&file.db(), run.path);
    if (!webhook.warning.empty()) {
        run.err << "vorskal-league: warning: " << webhook.warning << "\n";
    }
    const PostOutcome sent = postGame(file, id, asked.plain, webhook.address,
                                      {asked.tries, static_cast<long>(asked.timeout * 1000)});
    if (!sent.sent) {
        throw league::LeagueError(notPostedText(id, sent));
    }
    run.out << "Posted game " << id << " to the webhook\n";
}

}  // namespace

void addPost(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<PostAsked>();
    CLI::App* command = app.add_subcommand(
        "post", "Sends a game's summary to the webhook (set webhook URL, or VORSKAL_WEBHOOK)");
    addGameArgument(*command, asked->game, "The game's number or the start of its key");
    command->add_flag("--plain", asked->plain, "The plain JSON form, for a league's own site");
    command->add_option("--timeout", asked->timeout, "Seconds each try may take (default: 10)")
        ->check(CLI::Range(0.1, 600.0));
    command
        ->add_option("--tries", asked->tries,
                     "Tries while the receiver has not taken it (default: 3)")
        ->check(CLI::Range(1, 10));
    command->callback([&run, asked] { runPost(run, *asked); });
}

}  // namespace vorskal
