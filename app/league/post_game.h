#pragma once
// Posting a recorded game's summary to the webhook: the address from
// webhook_place.h, the body of league/post/game_post.h, sent by webhook.h.
// Shared by `vorskal-league post` and `vorskal-tally --record ... --post`.
#include <cstdint>

#include "app/league/webhook.h"
#include "app/league/webhook_place.h"
#include "league/store/league_file.h"

namespace vorskal {

// The webhook to post to. Throws LeagueError when none is set, or what is
// set is not a plain http(s) address.
Webhook requireWebhook(league::Connection* db, const std::string& leaguePath);

// Throws LeagueError when the game is not there; what the receiver made of
// it comes back.
PostOutcome postGame(league::LeagueFile& file, std::int64_t id, bool plain,
                     const std::string& address, const PostTries& tries = {});

// "game N not posted: WHY (K tries)"; "perhaps not posted" when the
// receiver may have it.
std::string notPostedText(std::int64_t id, const PostOutcome& outcome);

}  // namespace vorskal
