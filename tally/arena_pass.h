#pragma once
// Arena presence and the over-max-pilot penalty (section 1, "1. Report pilot
// number greater than 16."). Pass 2 hands every line to trackArenaLine when
// the correction is on: entries count pilots in for the team of their first
// aircraft, exits count them out; every moment a side has more than 16
// pilots is reported, and the time its 17th and 18th pilots were in the
// game costs the side one point per full 3 minutes.
#include "base/report_stream.h"
#include "tally/event_log.h"
#include "tally/table_index.h"
#include "tally/tally_state.h"

namespace vorskal {

// The rule's numbers: the most pilots of a side in the game without a
// penalty; the pilots over it whose time in the game is charged (the 17th
// and the 18th); the minutes in the game that cost one point.
inline constexpr Count kMaxPilots = 16;
inline constexpr Count kFirstOverMax = kMaxPilots + 1;
inline constexpr Count kSecondOverMax = kMaxPilots + 2;
inline constexpr double kMinutesPerPenaltyPoint = 3;

void writeArenaSectionHeading(ReportStream& report);
// Counts an entry or exit line in or out (other lines are not handed here).
void trackArenaLine(TallyState& state, ReportStream& report, TableIndex& index,
                    const EventLine& line);
void writeArenaSectionClose(const TallyState& state, ReportStream& report);

// Minutes as the report writes them: at most 15 significant digits, no
// trailing zeros, no point when whole.
std::string formatMinutes(double minutes);

}  // namespace vorskal
