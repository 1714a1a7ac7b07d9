#include "tally/kill_pass.h"

#include "base/searcher.h"
#include "base/text.h"
#include "tally/identify_team.h"
#include "tally/observer.h"

namespace vorskal {
namespace {

constexpr std::size_t kTeamWindow = 26;

std::string describe(std::string_view what, const PilotRecord& pilot, std::uint64_t number) {
    return where(kMergedLogName, number) + std::string(what) + " of " + quoted(pilot.name.view());
}

// What the checks need to know of a name counted in record `slot`.
void observeName(const TallyState& state, const LogLine& line, std::size_t slot,
                 std::string_view name, std::string_view field) {
    const PilotRecord& record = state.pilotTable[slot];
    if (record.team == kTeamUnknown) {
        state.observer->killerOrVictimWithoutSide(line, slot, field);
    }
    if (record.name.view() != name) {
        state.observer->nameJoinedToRecord(line, slot, name);
    }
}

}  // namespace

void awardKillLine(TallyState& state, const LogLine& line) {
    const std::string_view text = line.text;
    const std::string_view victimWindow = columns(text, 27, kTeamWindow);
    FixedText<kNamePrefixWidth> victimPrefix;
    victimPrefix.store(victimWindow);
    FixedText<kNameWidth> victimName;
    victimName.store(victimWindow);

    static const Searcher awardedTo(kAwardedTo, true);
    const std::size_t awarded = awardedTo.find(text);
    const bool hasKiller = awarded != npos;
    const std::string_view killerText =
        hasKiller ? text.substr(awarded + kAwardedTo.size()) : std::string_view{};
    FixedText<kNameWidth> killerName;
    killerName.store(killerText);
    const bool selfKill = hasKiller && killerName.view() == victimName.view();

    const std::int64_t time = timeOfLine(line);

    IdentifyTeam(state, victimWindow);
    std::size_t victim = state.findPilot(victimPrefix.view(), state.teamCode);
    if (victim == kNoRecord) {
        victim = state.addPilot(victimName.view(), state.teamCode);
    }
    if (state.observer != nullptr) {
        const std::string_view field =
            hasKiller && awarded > 26 ? text.substr(26, awarded - 26) : columns(text, 27, npos);
        observeName(state, line, victim, victimName.view(), field);
    }
    PilotRecord& dead = state.pilot(victim);
    dead.deaths =
        checkedAdd(dead.deaths, 1, [&] { return describe("the deaths", dead, line.number); });

    std::size_t killer = kNoRecord;
    if (hasKiller && !selfKill) {
        IdentifyTeam(state, firstChars(killerText, kTeamWindow));
        killer = state.findPilot(killerName.view().substr(0, kNamePrefixWidth), state.teamCode);
        if (killer == kNoRecord) {
            killer = state.addPilot(killerName.view(), state.teamCode);
        }
        if (state.observer != nullptr) {
            observeName(state, line, killer, killerName.view(), killerText);
        }
        PilotRecord& credited = state.pilot(killer);
        credited.kills = checkedAdd(credited.kills, 1,
                                    [&] { return describe("the kills", credited, line.number); });
    }

    KillEvent event;
    event.time = static_cast<std::int32_t>(time);
    event.victim = victimName;
    event.line = line.lastingText();
    event.deathRecord = victim;
    event.killRecord = killer;
    event.lineNumber = line.number;
    state.killEvents.push_back(event);
    state.nextKillEvent = checkedAdd(state.nextKillEvent, 1, "the number of kill events");
}

}  // namespace vorskal
