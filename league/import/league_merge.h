#pragma once
// Merging another league file into this one: the league of several servers
// (docs/league.md). Every game the other file has recorded (not removed) is
// recorded here in its own season, as it was recorded there, all in one
// transaction; a game recorded here already (by its key, or its whole
// report) is counted and left alone, so a merge repeated adds nothing; one
// that is another recording of a game here (the same logs, an early tally)
// or a game removed here is skipped, saying which. Each game keeps the day
// the other file read for it. The
// other file is only read, and is refused untouched, before anything is
// written here, when it cannot be used (not a league file, damaged, a newer
// schema: league_file.h).
#include <cstdint>
#include <string>
#include <vector>

#include "league/store/league_file.h"

namespace vorskal::league {

struct MergeSummary {
    int games = 0;                       // games in the other file
    int recorded = 0;                    // recorded here now
    int alreadyRecorded = 0;             // found here already
    std::vector<std::string> skipped;    // another recording of a game here, or one removed here
    std::vector<std::string> conflicts;  // a game here's key or report with other contents
    std::vector<std::string> notes;      // games recorded with an unknown day, or probably twins
};

// Throws LeagueError when either file cannot be used, or when both are one
// file; nothing is written then.
MergeSummary mergeLeague(LeagueFile& into, LeagueFile& other);

}  // namespace vorskal::league
