#pragma once
// Section 3, "3. Report fighter destroyed targets." and pass 3. With the
// correction on, entry lines teach each pilot's aircraft class (the last
// entry before a line counts), and every destruction by a pilot record of
// the fighter class is reported and taken back from the record that pass 2
// credited with it, by the points it was credited; a destruction by a pilot
// not yet seen entering is reported only.
#include "base/report_stream.h"
#include "tally/event_log.h"
#include "tally/table_index.h"
#include "tally/tally_state.h"

namespace vorskal {

void writeFighterSectionHeading(ReportStream& report);

// Pass 3 over one entry or destruction line. `destruction` counts the
// destruction lines met so far in this pass; it pairs each with pass 2's
// credit for the same line.
void checkFighterLine(TallyState& state, ReportStream& report, TableIndex& index,
                      const EventLine& line, std::size_t& destruction);

void writeFighterSectionClose(ReportStream& report);

}  // namespace vorskal
