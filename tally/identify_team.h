#pragma once
// IdentifyTeam: the team of an aircraft, from the type-name fragments that a
// piece of log text holds. Leaves 2 (Hun), 1 (Allied) or 0 (none found) in
// state.teamCode. Hun fragments are tested first; letter case matters.
#include <string_view>

#include "tally/tally_state.h"

namespace vorskal {

void IdentifyTeam(TallyState& state, std::string_view text);

// The team code that IdentifyTeam leaves for `text`.
Count teamOfText(std::string_view text);

}  // namespace vorskal
