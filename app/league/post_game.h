#pragma once
// Posting a recorded game's summary to the league's webhook: the address
// from VORSKAL_WEBHOOK or the league's setting, the body of
// league/post/game_post.h, sent by webhook.h. Shared by `vorskal-league post`
// and `vorskal-tally --record ... --post`.
#include <cstdint>

#include "app/league/webhook.h"
#include "league/store/league_file.h"

namespace vorskal {

// Throws LeagueError when the game is not there or no webhook is set;
// what the receiver made of it comes back.
PostOutcome postGame(league::LeagueFile& file, std::int64_t id, bool plain,
                     const PostTries& tries = {});

// "game N not posted: WHY (K tries)".
std::string notPostedText(std::int64_t id, const PostOutcome& outcome);

}  // namespace vorskal
