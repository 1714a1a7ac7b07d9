#pragma once
// What `vorskal-league LEAGUE.db post GAME` sends about a recorded game: a
// short summary (map, day, final totals, top pilots, corrections applied,
// the link to its page when the site's address is set), as the JSON the
// common chat services' webhooks accept, or as a plain JSON of the same
// facts for a league's own site. Contract: docs/league.md, "post".
#include <string>

#include "league/listings/queries.h"

namespace vorskal::league {

inline constexpr int kPostFormatVersion = 1;

// The summary as lines of text.
std::string postText(const StoredGame& game, const std::string& siteAddress);

// {"text": ..., "content": ...}: "text" is what Slack-like services read,
// "content" what Discord-like ones read; both hold postText().
std::string chatPostBody(const StoredGame& game, const std::string& siteAddress);

// The same facts as data (formatVersion 1).
std::string plainPostBody(const StoredGame& game, const std::string& siteAddress);

}  // namespace vorskal::league
