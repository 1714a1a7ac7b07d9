#pragma once
// Arena presence and the over-max-pilot penalty (section 1, "1. Report pilot
// number greater than 16."). Pass 2 hands every line to trackArenaLine when
// the correction is on: entries count pilots in for the team of their first
// aircraft, exits count them out; every moment a side has more than 16
// pilots is reported, and the time its 17th and 18th pilots were in the
// game costs the side one point per full 3 minutes.
#include "base/report_stream.h"
#include "logs/kept_lines.h"
#include "logs/log_line.h"
#include "tally/tally_state.h"

namespace vorskal {

void writeArenaSectionHeading(ReportStream& report);
// `kinds` tells whether the line is an entry or an exit (classifyLine).
void trackArenaLine(TallyState& state, ReportStream& report, const LogLine& line, LineKinds kinds);
void writeArenaSectionClose(const TallyState& state, ReportStream& report);

// Minutes as the report writes them: at most 15 significant digits, no
// trailing zeros, no point when whole.
std::string formatMinutes(double minutes);

}  // namespace vorskal
