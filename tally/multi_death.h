#pragma once
// Section 2, "2. Report possible multi-death bugs.": with the correction on,
// every death of a pilot logged 0 to 20 seconds after that pilot's previous
// death is reported with both log lines, and what pass 1 scored for it (the
// death, and the kill unless there was none) is taken back.
//
// Pilots are the distinct 11-character name prefixes, in the order of the
// first record that carries each; a pilot's deaths are its kill events in
// log order. A game that passes midnight is taken as one evening.
//
// A warning shows each line as a field of kLineFieldWidth characters, read
// again from where the line lies (`lines`).
#include "base/report_stream.h"
#include "logs/line_source.h"
#include "tally/tally_state.h"

namespace vorskal {

// The most seconds between two deaths of a pilot for the second to be taken back.
inline constexpr std::int32_t kMultiDeathSeconds = 20;

void writeMultiDeathSection(TallyState& state, ReportStream& report, LineSource& lines);

}  // namespace vorskal
