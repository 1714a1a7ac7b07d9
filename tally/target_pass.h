#pragma once
// Pass 2, ground targets: every destruction line ("Target " at column 19)
// is looked up in the point-value file for its team and points and
// credited to its destroyer, the first record whose name contains the
// destroyer's text (letter case disregarded) and whose team is the target's
// team, or to a new record. A destruction not marked as selected by the line
// just before it is listed for section 5, and with the red-boxed-only option
// on it is not credited. Each destruction's credit is remembered in
// state.targetCredits, in log order.
#include "points/point_file.h"
#include "tally/event_log.h"
#include "tally/table_index.h"
#include "tally/tally_state.h"

namespace vorskal {

void creditTargetLine(TallyState& state, PointFile& points, TableIndex& index,
                      const EventLine& line);

}  // namespace vorskal
