#include "tally/tally_state.h"

#include "base/text.h"

namespace vorskal {

std::size_t TableIndexes::PrefixTeamHash::operator()(const PrefixTeam& key) const {
    return hashBytes(std::string_view(key.prefix.data(), key.prefix.size()),
                     static_cast<std::uint32_t>(key.team));
}

namespace {
TableIndexes::PrefixTeam prefixTeam(std::string_view prefix, Count team) {
    TableIndexes::PrefixTeam key{};
    for (std::size_t i = 0; i < key.prefix.size(); ++i) {
        key.prefix[i] = prefix[i];
    }
    key.team = team;
    return key;
}
}  // namespace

std::size_t TallyState::addPilot(std::string_view name, Count team) {
    const std::size_t slot = static_cast<std::size_t>(nextPilotSlot);
    PilotRecord record;
    record.name.store(name);
    record.team = team;
    indexes.firstPilot.try_emplace(prefixTeam(record.name.view(), team),
                                   static_cast<std::uint32_t>(slot));
    pilotTable.push_back(std::move(record));
    nextPilotSlot = checkedAdd(nextPilotSlot, 1, "the number of pilot records");
    return slot;
}

std::size_t TallyState::findPilot(std::string_view prefix, Count team) const {
    const auto it = indexes.firstPilot.find(prefixTeam(prefix, team));
    return it == indexes.firstPilot.end() ? kNoRecord : it->second;
}

const std::vector<std::uint32_t>& TallyState::pilotsContaining(std::string_view text, bool fold) {
    return indexes.pilotNames.containing(text, fold, pilotTable.size(), [this](std::size_t slot) {
        return pilotTable[slot].name.view();
    });
}

const std::vector<std::uint32_t>& TallyState::rosterContaining(std::string_view text) {
    return indexes.rosterNames.containing(
        text, false, arenaRoster.size(),
        [this](std::size_t slot) { return arenaRoster[slot].name.view(); });
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
    indexes = TableIndexes{};
    nonRedBoxedTargetLines.clear();
    targetCredits.clear();
    alliedTotals = TotalsRow{};
    hunTotals = TotalsRow{};
}

}  // namespace vorskal
