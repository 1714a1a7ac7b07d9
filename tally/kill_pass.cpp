#include "tally/kill_pass.h"

#include "tally/identify_team.h"
#include "tally/text.h"

namespace vorskal {
namespace {

constexpr std::size_t kMatchLength = 11;
constexpr std::size_t kNameLength = 16;
constexpr std::size_t kTeamWindow = 26;

// The first record whose first 11 name characters are `prefix` and whose
// team is `team`; kNoRecord when there is none.
std::size_t findPilot(const TallyState& state, std::string_view prefix, Count team) {
    for (std::size_t slot = 1; slot <= state.pilotCount(); ++slot) {
        const PilotRecord& pilot = state.pilotTable[slot];
        if (pilot.team == team && pilot.name.view().substr(0, kMatchLength) == prefix) {
            return slot;
        }
    }
    return kNoRecord;
}

std::string describe(std::string_view what, const PilotRecord& pilot) {
    return std::string(what) + " of " + quoted(pilot.name.view());
}

}  // namespace

void awardKillLine(TallyState& state, const LogLine& line) {
    const std::string_view text = line.text;
    const std::string_view victimWindow = columns(text, 27, kTeamWindow);
    const std::string victimPrefix = padded(victimWindow, kMatchLength);
    const std::string victimName = padded(victimWindow, kNameLength);

    const std::size_t awarded = findFolded(text, kAwardedTo);
    const bool hasKiller = awarded != npos;
    const std::string_view killerText =
        hasKiller ? text.substr(awarded + kAwardedTo.size()) : std::string_view{};
    const bool selfKill = hasKiller && padded(killerText, kNameLength) == victimName;

    const std::int64_t time = timeOfLine(line);
    const std::string where_ = where(kMergedLogName, line.number);

    IdentifyTeam(state, victimWindow);
    std::size_t victim = findPilot(state, victimPrefix, state.teamCode);
    if (victim == kNoRecord) {
        victim = state.addPilot(victimName, state.teamCode);
    }
    PilotRecord& dead = state.pilot(victim);
    dead.deaths = checkedAdd(dead.deaths, 1, where_ + describe("the deaths", dead));

    std::size_t killer = kNoRecord;
    if (hasKiller && !selfKill) {
        IdentifyTeam(state, firstChars(killerText, kTeamWindow));
        killer = findPilot(state, padded(killerText, kMatchLength), state.teamCode);
        if (killer == kNoRecord) {
            killer = state.addPilot(padded(killerText, kNameLength), state.teamCode);
        }
        PilotRecord& credited = state.pilot(killer);
        credited.kills = checkedAdd(credited.kills, 1, where_ + describe("the kills", credited));
    }

    KillEvent event;
    event.time = static_cast<std::int32_t>(time);
    event.victim.store(victimName);
    event.line.store(text);
    event.deathRecord = victim;
    event.killRecord = killer;
    state.killEvents.push_back(event);
    state.nextKillEvent = checkedAdd(state.nextKillEvent, 1, where_ + "the number of kill events");
}

}  // namespace vorskal
