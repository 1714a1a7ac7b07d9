#pragma once
// The checks of the pilots' records, with what the run noted about how
// each came to be: records of no known side (an aircraft no team rule
// knows, a name too long for its field, a target's team code), names that
// became one record by their first 11 characters, and names on both sides
// whose kill lines do not show one change of sides.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "results/game_results.h"
#include "tally/tally_state.h"

namespace vorskal::collector {

// Noted during the run, by record slot; each the first of its kind.
struct PilotNotes {
    struct Line {
        std::uint64_t line = 0;  // in the merged log
        std::string text;        // what the finding quotes
    };
    // A kill line's victim or killer of no known side: the name and what
    // follows it in the line.
    std::map<std::size_t, Line> withoutSide;
    // Names as logged (16 characters) counted in a record of another name,
    // each once, at its first line.
    std::map<std::size_t, std::vector<Line>> joined;
    // A record of no known side credited with a target: its location key,
    // and the team code the lookup left.
    struct Target {
        std::uint64_t line = 0;
        std::string key;
        std::int64_t teamCode = 0;
        bool inMapBlock = false;
    };
    std::map<std::size_t, Target> targets;
};

// Findings "unknown-aircraft" (a record's kill lines), "long-name",
// "target-team-code", "names-merged" and "both-sides", from the final
// state; `map` is the map used.
void checkPilots(const TallyState& state, const PilotNotes& notes, const std::string& map,
                 std::vector<results::Warning>& warnings);

}  // namespace vorskal::collector
