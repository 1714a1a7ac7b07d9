#pragma once
// Team identification: the team of an aircraft, from the type-name
// fragments that a piece of log text holds: 2 (Hun), 1 (Allied) or 0 (none
// found). Hun fragments are tested first; letter case matters. The result
// is what the lookup leaves in TallyState::teamCode.
#include <string_view>

#include "base/checked.h"

namespace vorskal {

Count teamOf(std::string_view text);

}  // namespace vorskal
