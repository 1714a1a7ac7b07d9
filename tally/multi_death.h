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
// A warning shows each line as a field of kLineFieldWidth characters; the
// first bytes of an event's line come from `lineStart` (given the line and
// how many bytes), or from where the line lies when it is not given.
#include <functional>
#include <string>
#include <string_view>

#include "base/report_stream.h"
#include "tally/tally_state.h"

namespace vorskal {

using LineStart = std::function<std::string(std::string_view line, std::size_t count)>;

void writeMultiDeathSection(TallyState& state, ReportStream& report,
                            const LineStart& lineStart = {});

}  // namespace vorskal
