#pragma once
// Section 7, "7. ZORL Scoring Point Values": the point lines of
// "vorskal.ini" (every kill line and the up to eight lines after it) and the
// map the lookups used.
#include "base/report_stream.h"
#include "points/point_file.h"
#include "tally/tally_state.h"

namespace vorskal {

void writePointValuesSection(const TallyState& state, PointFile& points, ReportStream& report);

}  // namespace vorskal
