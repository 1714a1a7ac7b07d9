#pragma once
// IdentifyTarget: the target lookup over "vorskal.ini". Given a target text
// that holds "#" and a target number, it leaves its results in the
// slots: mapName (every map line met), teamCode and the target's type (the
// current map's block), targetValue (type value lines, once the type is
// known), killPoints and deathPoints (kill and death lines). Values it does
// not meet keep what they held. Throws TallyFailure on a value that is not a
// number or leaves the 32-bit range; a target text without a number is
// reported against `logLine`, the merged log's line it came from (0: none).
// Returns what the lookup found, for callers that keep evidence (the
// state's values are the lookup's result either way).
#include <string_view>

#include "points/point_file.h"
#include "points/target_slots.h"

namespace vorskal {

const PointFile::LookupEffect& IdentifyTarget(TargetSlots& slots, PointFile& points,
                                              std::string_view targetText,
                                              std::uint64_t logLine = 0);

}  // namespace vorskal
