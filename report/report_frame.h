#pragma once
// The frame of the report: the header that opens every run's report, and
// sections 4 ("4. Report score corrections.") and 5 ("5. Report non-red
// boxed targets destroyed.").
#include "base/platform.h"
#include "base/report_stream.h"
#include "tally/tally_state.h"

namespace vorskal {

// Two empty lines, the title, the revision and credit, the time and date
// line, two empty lines.
void writeReportHeader(ReportStream& report, Clock& clock);

void writeScoreCorrectionsSection(const TallyState& state, ReportStream& report);
void writeNonRedBoxedSection(const TallyState& state, ReportStream& report);

}  // namespace vorskal
