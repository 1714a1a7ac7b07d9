#include "tally/table_index.h"

#include "base/text.h"

namespace vorskal {

std::size_t TableIndex::PrefixTeamHash::operator()(const PrefixTeam& key) const {
    return hashBytes(std::string_view(key.prefix.data(), key.prefix.size()),
                     static_cast<std::uint32_t>(key.team));
}

std::size_t TableIndex::findPilot(const TallyState& state, std::string_view prefix, Count team) {
    const auto keyOf = [](std::string_view text, Count of) {
        PrefixTeam key{};
        text.copy(key.prefix.data(), key.prefix.size());
        key.team = of;
        return key;
    };
    for (; pilotsIndexed_ < state.pilotTable.size(); ++pilotsIndexed_) {
        const PilotRecord& pilot = state.pilotTable[pilotsIndexed_];
        firstPilot_.try_emplace(keyOf(pilot.name.view(), pilot.team),
                                static_cast<std::uint32_t>(pilotsIndexed_));
    }
    const auto found = firstPilot_.find(keyOf(prefix, team));
    return found == firstPilot_.end() ? kNoRecord : found->second;
}

std::size_t TableIndex::findPilot(const TallyState& state, const Actor& actor) {
    if (actor.id >= actorPilots_.size()) {
        actorPilots_.resize(actor.id + 1, static_cast<std::uint32_t>(kNoRecord));
    }
    std::uint32_t& known = actorPilots_[actor.id];
    if (known == kNoRecord) {
        known = static_cast<std::uint32_t>(findPilot(state, actor.prefix(), actor.team));
    }
    return known;
}

template <typename NameOf>
const std::vector<std::uint32_t>& TableIndex::bringUp(std::vector<Containing>& table,
                                                      const Name& name, bool fold,
                                                      std::size_t count, const NameOf& nameOf) {
    if (name.id >= table.size()) {
        table.resize(name.id + 1);
    }
    Containing& entry = table[name.id];
    for (; entry.scanned < count; ++entry.scanned) {
        const std::string_view held = nameOf(entry.scanned);
        if (fold ? containsFolded(held, name.text) : containsExact(held, name.text)) {
            entry.slots.push_back(static_cast<std::uint32_t>(entry.scanned));
        }
    }
    return entry.slots;
}

const std::vector<std::uint32_t>& TableIndex::pilotsContaining(const TallyState& state,
                                                               const Name& name, bool fold) {
    return bringUp(fold ? pilotsFolded_ : pilotsExact_, name, fold, state.pilotTable.size(),
                   [&](std::size_t slot) { return state.pilotTable[slot].name.view(); });
}

const std::vector<std::uint32_t>& TableIndex::rosterContaining(const TallyState& state,
                                                               const Name& name) {
    return bringUp(roster_, name, false, state.arenaRoster.size(),
                   [&](std::size_t slot) { return state.arenaRoster[slot].name.view(); });
}

}  // namespace vorskal
