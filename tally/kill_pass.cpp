#include "tally/kill_pass.h"

#include "base/searcher.h"
#include "base/text.h"
#include "tally/observer.h"

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

// The name and what follows it in the kill line: the victim's up to
// "awarded to ", the killer's to the end of the line. Read again only when
// the checks need it.
class NameFields {
  public:
    NameFields(LineSource& source, const LinePlace& place) : source_(source), place_(place) {}

    std::string_view victim() {
        read();
        const std::string_view text = text_;
        return awarded_ != npos && awarded_ > 26 ? text.substr(26, awarded_ - 26)
                                                 : columns(text, 27, npos);
    }
    std::string_view killer() {
        read();
        return awarded_ != npos ? std::string_view(text_).substr(awarded_ + kAwardedTo.size())
                                : std::string_view{};
    }

  private:
    void read() {
        if (read_) {
            return;
        }
        source_.forEachPiece(place_, [&](std::string_view piece) { text_.append(piece); });
        static const Searcher awardedTo(kAwardedTo, true);
        awarded_ = awardedTo.find(text_);
        read_ = true;
    }

    LineSource& source_;
    const LinePlace& place_;
    std::string text_;
    std::size_t awarded_ = npos;
    bool read_ = false;
};

// What the checks need to know of a name counted in record `slot`.
template <typename Field>
void observeName(const TallyState& state, std::uint64_t number, std::size_t slot,
                 std::string_view name, Field&& field) {
    const PilotRecord& record = state.pilotTable[slot];
    if (record.team == kTeamUnknown) {
        state.observer->killerOrVictimWithoutSide(number, slot, field());
    }
    if (record.name.view() != name) {
        state.observer->nameJoinedToRecord(number, slot, name);
    }
}

}  // namespace

void awardKillLine(TallyState& state, TableIndex& index, const KillLine& line, LineSource& source) {
    const std::int32_t time = line.time.secondsAt(line.number);
    const bool selfKill = line.killer && line.killer->name() == line.victim.name();
    NameFields fields(source, line.place);

    state.teamCode = line.victim.team;  // identified from the 26 characters from column 27
    const std::size_t victim = recordOf(state, index, line.victim);
    if (state.observer != nullptr) {
        observeName(state, line.number, victim, line.victim.name(),
                    [&] { return fields.victim(); });
    }
    PilotRecord& dead = state.pilot(victim);
    dead.deaths =
        checkedAdd(dead.deaths, 1, [&] { return describe("the deaths", dead, line.number); });

    std::size_t killer = kNoRecord;
    if (line.killer && !selfKill) {
        state.teamCode = line.killer->team;  // from the first 26 characters after "awarded to "
        killer = recordOf(state, index, *line.killer);
        if (state.observer != nullptr) {
            observeName(state, line.number, killer, line.killer->name(),
                        [&] { return fields.killer(); });
        }
        PilotRecord& credited = state.pilot(killer);
        credited.kills = checkedAdd(credited.kills, 1,
                                    [&] { return describe("the kills", credited, line.number); });
    }

    KillEvent event;
    event.time = time;
    event.victim.store(line.victim.name());
    event.deathRecord = static_cast<std::uint32_t>(victim);
    event.killRecord = static_cast<std::uint32_t>(killer);
    event.selfKill = selfKill;
    event.lineNumber = line.number;
    event.line = line.place;
    state.killEvents.push_back(event);
    state.nextKillEvent = checkedAdd(state.nextKillEvent, 1, "the number of kill events");
}

void awardKills(TallyState& state, TableIndex& index, const EventLog& log) {
    state.killEvents.reserve(state.killEvents.size() + log.killCount());
    log.forEachKill([&](const KillLine& line) { awardKillLine(state, index, line, log.source()); });
}

}  // namespace vorskal
