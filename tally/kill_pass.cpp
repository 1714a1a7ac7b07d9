#include "tally/kill_pass.h"

#include "base/text.h"

namespace vorskal {
namespace {

std::string describe(std::string_view what, const PilotRecord& pilot, std::uint64_t number) {
    return where(kMergedLogName, number) + std::string(what) + " of " + quoted(pilot.name.view());
}

// The record of `actor` (its team just identified), added when there is none.
std::size_t recordOf(TallyState& state, TableIndex& index, const Actor& actor) {
    const std::size_t slot = index.findPilot(state, actor);
    return slot != kNoRecord ? slot : state.addPilot(actor.name(), state.teamCode);
}

}  // namespace

void awardKillLine(TallyState& state, TableIndex& index, const KillLine& line) {
    const std::int32_t time = line.time.secondsAt(line.number);
    const bool selfKill = line.killer && line.killer->name() == line.victim.name();

    state.teamCode = line.victim.team;  // identified from the 26 characters from column 27
    const std::size_t victim = recordOf(state, index, line.victim);
    PilotRecord& dead = state.pilot(victim);
    dead.deaths =
        checkedAdd(dead.deaths, 1, [&] { return describe("the deaths", dead, line.number); });

    std::size_t killer = kNoRecord;
    if (line.killer && !selfKill) {
        state.teamCode = line.killer->team;  // from the first 26 characters after "awarded to "
        killer = recordOf(state, index, *line.killer);
        PilotRecord& credited = state.pilot(killer);
        credited.kills = checkedAdd(credited.kills, 1,
                                    [&] { return describe("the kills", credited, line.number); });
    }

    KillEvent event;
    event.time = time;
    event.victim.store(line.victim.name());
    event.deathRecord = static_cast<std::uint32_t>(victim);
    event.killRecord = static_cast<std::uint32_t>(killer);
    event.lineNumber = line.number;
    event.line = line.place;
    state.killEvents.push_back(event);
    state.nextKillEvent = checkedAdd(state.nextKillEvent, 1, "the number of kill events");
}

void awardKills(TallyState& state, TableIndex& index, const EventLog& log) {
    state.killEvents.reserve(state.killEvents.size() + log.killCount());
    log.forEachKill([&](const KillLine& line) { awardKillLine(state, index, line); });
}

}  // namespace vorskal
