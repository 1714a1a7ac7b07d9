#include "app/league/post_game.h"

#include <optional>
#include <string>

#include "base/log_text.h"
#include "league/listings/pilot_mask.h"
#include "league/listings/queries.h"
#include "league/post/game_post.h"
#include "league/store/settings.h"

namespace vorskal {

Webhook requireWebhook(league::Connection* db, const std::string& leaguePath) {
    std::optional<Webhook> found = findWebhook(db, leaguePath);
    if (!found) {
        const std::string file = userWebhookPath();
        throw league::LeagueError(logText(leaguePath) + ": no webhook to post to (vorskal-league " +
                                  logText(leaguePath) + " set webhook URL" +
                                  (file.empty() ? std::string() : " keeps it in " + logText(file)) +
                                  "; or the environment variable VORSKAL_WEBHOOK)");
    }
    return *found;
}

PostOutcome postGame(league::LeagueFile& file, std::int64_t id, bool plain,
                     const std::string& address, const PostTries& tries) {
    league::StoredGame game = league::loadGame(file, id);
    // A post is public: hidden pilots under their pseudonyms.
    league::PilotMask::of(file.db()).apply(game.results);
    const std::string siteAddress =
        league::settingValue(file.db(), league::kSiteAddressSetting).value_or("");
    return postJson(
        address,
        plain ? league::plainPostBody(game, siteAddress) : league::chatPostBody(game, siteAddress),
        tries);
}

std::string notPostedText(std::int64_t id, const PostOutcome& outcome) {
    return "game " + std::to_string(id) + (outcome.maybeTaken ? " perhaps" : "") +
           " not posted: " + outcome.failure + " (" + std::to_string(outcome.triesMade) +
           (outcome.triesMade == 1 ? " try)" : " tries)");
}

}  // namespace vorskal
