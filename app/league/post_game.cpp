#include "app/league/post_game.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "league/listings/pilot_mask.h"
#include "league/listings/queries.h"
#include "league/post/game_post.h"
#include "league/store/settings.h"

namespace vorskal {

PostOutcome postGame(league::LeagueFile& file, std::int64_t id, bool plain,
                     const PostTries& tries) {
    league::StoredGame game = league::loadGame(file, id);
    // A post is public: hidden pilots under their pseudonyms.
    league::PilotMask::of(file.db()).apply(game.results);
    const char* fromEnvironment = std::getenv("VORSKAL_WEBHOOK");
    const std::optional<std::string> webhook =
        fromEnvironment != nullptr && *fromEnvironment != '\0'
            ? std::optional<std::string>(fromEnvironment)
            : league::settingValue(file.db(), league::kWebhookSetting);
    if (!webhook) {
        throw league::LeagueError(file.path() + ": no webhook to post to (vorskal-league " +
                                  file.path() +
                                  " set webhook URL, or the environment variable VORSKAL_WEBHOOK)");
    }
    const std::string siteAddress =
        league::settingValue(file.db(), league::kSiteAddressSetting).value_or("");
    return postJson(
        *webhook,
        plain ? league::plainPostBody(game, siteAddress) : league::chatPostBody(game, siteAddress),
        tries);
}

std::string notPostedText(std::int64_t id, const PostOutcome& outcome) {
    return "game " + std::to_string(id) + " not posted: " + outcome.failure + " (" +
           std::to_string(outcome.triesMade) + (outcome.triesMade == 1 ? " try)" : " tries)");
}

}  // namespace vorskal
