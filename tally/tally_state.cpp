#include "tally/tally_state.h"

namespace vorskal {

std::size_t TallyState::addPilot(std::string_view name, Count team) {
    const std::size_t slot = static_cast<std::size_t>(nextPilotSlot);
    PilotRecord record;
    record.name.store(name);
    record.team = team;
    pilotTable.push_back(std::move(record));
    nextPilotSlot = checkedAdd(nextPilotSlot, 1, "the number of pilot records");
    return slot;
}

std::size_t TallyState::addRosterEntry(std::string_view name, Count team) {
    const std::size_t slot = static_cast<std::size_t>(nextRosterSlot);
    RosterEntry entry;
    entry.name.store(name);
    entry.team = team;
    arenaRoster.push_back(entry);
    nextRosterSlot = checkedAdd(nextRosterSlot, 1, "the number of roster entries");
    return slot;
}

void TallyState::resetForRun() {
    mapName = "unknown";
    nextPilotSlot = 1;
    nextRosterSlot = 1;
    nextKillEvent = 1;
    nonRedBoxedTargetCount = 0;
    alliedInGame = 0;
    hunInGame = 0;
    maxAlliedInGame = 0;
    maxHunInGame = 0;
    alliedOverMaxPenalty = 0;
    run = RunValues{};
    // One run per program start: the tables start empty for the run.
    pilotTable.assign(1, PilotRecord{});
    arenaRoster.assign(1, RosterEntry{});
    killEvents.assign(1, KillEvent{});
    nonRedBoxedTargetLines.clear();
    targetCredits.clear();
    alliedTotals = TotalsRow{};
    hunTotals = TotalsRow{};
}

}  // namespace vorskal
