#pragma once
// Lines of the server log that the tally passes over: pings, positions,
// chat and server notices. None of them holds a text that any pass looks
// for (a kill or target at column 19, an arena entry or exit, the
// selected-target marker); some chat mentions a kill further along the line.
#include <string>
#include <string_view>

#include "gen/rng.h"

namespace vorskal::gen {

// Appends the event text of one chatter line (what follows the time stamp)
// about `pilot`, mentioning `other` now and then.
void appendChatter(Rng& rng, std::string_view pilot, std::string_view other, std::string& out);

}  // namespace vorskal::gen
