#pragma once
// Pass 2, ground targets: every destruction line ("Target " at column 19)
// is looked up in the point-value file for its team and points and
// credited to its destroyer, the first record whose name contains the
// destroyer's text (letter case disregarded) and whose team is the target's
// team, or to a new record. A destruction not marked as selected by the line
// just before it is listed for section 5, and with the red-boxed-only option
// on it is not credited. Each destruction's credit is remembered in
// state.targetCredits, in log order.
#include "logs/log_line.h"
#include "points/point_file.h"
#include "tally/tally_state.h"

namespace vorskal {

void creditTargetLine(TallyState& state, PointFile& points, const LogLine& line);

// The first record, in slot order, whose 16-character name contains `text`
// without regard to letter case and whose team is `team`; kNoRecord if none.
std::size_t findDestroyer(TallyState& state, std::string_view text, Count team);

}  // namespace vorskal
