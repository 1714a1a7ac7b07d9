#pragma once
// A season re-scored under another vorskal.ini and other corrections,
// from what the league file stores and without changing it: each game's
// items (score_items.h) valued again, summed into standings of the same
// form as `standings`, beside the old ones.
//
// What the stored games cannot answer is refused, naming the game and the
// reason: a game without its kill lines and targets; a target whose team
// under the new file differs from the stored one, or that is in neither
// map's block while the over-max correction is switched (its team is what
// the lookup before it left, and the arena count identifies teams too), or
// that the new file no longer lists (its team would be a leftover); the
// over-max or fighter-target correction switched on for a game tallied
// without it (the arena's entries and exits, and the aircraft each pilot
// entered with, were not kept); a lookup the tally would stop at; a number
// beyond the 32 bits the tally counts in.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "league/listings/queries.h"
#include "league/rescore/score_items.h"
#include "points/point_file.h"
#include "results/game_results.h"

namespace vorskal::league {

// A correction switched on or off; nullopt: as each game was tallied.
struct Switches {
    std::optional<bool> multiDeath;
    std::optional<bool> fighterTarget;
    std::optional<bool> overMax;
};

// One pilot row of one game, or of the season, before and after.
struct PilotChange {
    PilotStanding now;  // the re-scored row (score: new)
    std::int64_t oldScore = 0;
    // The rules whose items changed his score, each with its share of the
    // change: "Kill" +10, "Hangar" -4, "multi-death" -15.
    std::map<std::string, std::int64_t> rules;
};

struct SideChange {
    SideStanding now;
    std::int64_t oldPointsFor = 0;
    std::map<std::string, std::int64_t> rules;  // "pilots", "over-max"
};

struct GameChange {
    std::int64_t id = 0;
    std::string key;
    std::vector<PilotChange> pilots;
    SideChange allied, hun;
};

struct Rescored {
    std::string pointsFile;
    Switches switches;
    std::vector<GameChange> games;    // in the order played
    std::vector<PilotChange> pilots;  // the season's, as the standings sort them
    std::vector<SideChange> sides;    // Allied, then Hun
};

// The lines of the points file at `pointsPath`, read as the tally reads
// vorskal.ini. Throws TallyFailure when it cannot be read.
std::vector<std::string> pointFileLines(const std::string& pointsPath);

// The facts of the points file at `pointsPath` as a tally keeps its
// vorskal.ini's: its size and SHA-256 read the same way as its lines, and
// `lines` of them. Throws TallyFailure when it cannot be read.
results::FileFacts pointFileFacts(const std::string& pointsPath, std::uint64_t lines);

// The values of `game`'s items under `points` (another vorskal.ini, read
// once for every game: its lookups are the same whichever game asks) and
// `switches`; the reason when the stored game cannot answer.
std::optional<std::string> rescoredValues(const results::GameResults& game, bool listsKept,
                                          PointFile& points, const Switches& switches,
                                          ItemValues& values);

// Each game re-scored: the stored game, its new values and its items at them.
using EachRescored =
    std::function<void(const StoredGame& stored, const ItemValues& values, const GameItems& after)>;

// The games `filter` takes in, re-scored (each told to `each` as it is,
// before a later game may be refused). Throws LeagueError naming every
// game refused and why ("the stored games cannot answer this re-scoring:
// game 3: ...; game 5: ..."); std::invalid_argument when the points file cannot
// be read.
Rescored rescoreGames(LeagueFile& file, const GameFilter& filter, const std::string& pointsPath,
                      const Switches& switches, const EachRescored& each = {});

// A game's changes: old and new items side by side.
GameChange gameChange(const GameItems& before, const GameItems& after);

}  // namespace vorskal::league
