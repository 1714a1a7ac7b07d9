#pragma once
// The five result slots that the target lookup writes. The tally state holds
// them, so the lookup needs nothing of the state but these.
#include <string>

#include "base/checked.h"

namespace vorskal {

struct TargetSlots {
    std::string mapName = "unknown";
    Count killPoints = 0;
    Count deathPoints = 0;
    Count teamCode = 0;  // also the result slot of IdentifyTeam
    Count targetValue = 0;
};

}  // namespace vorskal
