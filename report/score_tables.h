#pragma once
// Section 6, "6. Report scores.": every pilot's score, the Allied and the
// Hun tables with their totals rows, the pilots of unknown team; then the
// block "ZORL Scoring Results (includes corrections if enabled)" with each
// side's final total less its over-max deduction.
#include "base/report_stream.h"
#include "tally/tally_state.h"

namespace vorskal {

void writeScoresSection(TallyState& state, ReportStream& report);
void writeZorlResults(const TallyState& state, ReportStream& report);

}  // namespace vorskal
