#pragma once
// A re-scoring recorded: each re-scored game becomes a new game of an empty
// season, the games it was made from untouched. A copy is not a set of
// logs: it keeps no log digests, kill lines or page lists (careers,
// matchups and ratings count each kill once, from the originals), only its
// score tables at the new values, the new file's point values and the
// corrections as switched. Its key is the SHA-256 of the original's key,
// the new file's SHA-256 and the switches, so that the same re-scoring of
// the same game is one game.
#include <cstdint>
#include <string>
#include <vector>

#include "league/rescore/rescore.h"

namespace vorskal::league {

struct Applied {
    std::string season;
    std::vector<std::int64_t> recorded;  // the new games' numbers
    // Games re-scored so once already: the copies already in the file.
    std::vector<std::int64_t> already;
};

// Records the games `filter` takes in, re-scored as rescoreGames does them,
// as games of `season`, in one transaction: all or none. Throws LeagueError
// (nothing recorded) when `season` breaks the rule of the seasons' names or
// holds games already, or when a game is refused.
Applied applyRescored(LeagueFile& file, const GameFilter& filter, const std::string& pointsPath,
                      const Switches& switches, const std::string& season);

}  // namespace vorskal::league
