#pragma once
// Pass 1: kill and death awarding. For every kill line ("Kill of " at
// column 19) the victim's record gets a death and the killer's record a
// kill, unless the killer is the victim; pilots not yet recorded are added
// in the order first seen; every kill line becomes a KillEvent that keeps
// which records it scored.
//
// A pilot is one record per name and team: a lookup takes the first record
// whose first 11 name characters equal the line's (blank-padded to 11) and
// whose team is the aircraft's team.
#include "tally/event_log.h"
#include "tally/table_index.h"
#include "tally/tally_state.h"

namespace vorskal {

// `source` reads the line again when the state's observer is told of a
// name (a run that keeps the evidence).
void awardKillLine(TallyState& state, TableIndex& index, const KillLine& line, LineSource& source);

// Pass 1 over every kill line of `log`.
void awardKills(TallyState& state, TableIndex& index, const EventLog& log);

}  // namespace vorskal
