#pragma once
// One pilot's score in one recorded game, item by item (score_items.h):
// the items add up to his score in the standings, which is checked.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "league/listings/listing.h"
#include "league/rescore/score_items.h"

namespace vorskal::league {

struct Explanation {
    std::int64_t game = 0;
    std::string key;
    std::string map;
    std::int64_t killPoints = 0, deathPoints = 0;
    PilotItems pilot;
    std::int64_t storedScore = 0;  // the score table's
    SideItems side;                // his side's totals and over-max deductions
};

// The pilot named `name` in game `id` (on `team`, "Allied", "Hun" or
// "unknown", when he flew for more than one). Throws LeagueError when the
// game has no such pilot, when the name is on two sides and no team is
// given, and when the game cannot be taken apart (unexplainable's reason,
// or items that do not add up to the stored score tables).
Explanation explainPilot(LeagueFile& file, std::int64_t id, const std::string& name,
                         const std::optional<std::string>& team);

// Every pilot's items of `game` at its own values, when the game can be
// taken apart and they add up to its score tables (the site's pages of a
// game's items); nullopt otherwise.
std::optional<GameItems> explainedGame(const results::GameResults& game, bool listsKept);

// Items as a table: line, time, points, item, rule.
TextTable itemsTable(const std::vector<ScoreItem>& items);

// The explanation as text, JSON (`items`, each with its `points`, and the
// `score` they add up to) or an HTML page; CSV is refused.
void writeExplanation(std::ostream& out, const Explanation& e, Format format);

}  // namespace vorskal::league
