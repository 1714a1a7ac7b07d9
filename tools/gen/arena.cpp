// Pilots entering and leaving the arena. Each side drifts around a usual
// number of pilots of at most 16; every so often one side floods the arena
// with 17, 18 or 19 pilots (in turn) for some minutes, then falls back. A
// few pilots are flying already when the log begins: the tally never saw
// them enter, so it does not count them until they enter again.
#include "gen/simulation.h"

namespace vorskal::gen {

void Simulation::placeEarlyPilots() {
    for (SideState& side : sides_) {
        const int early = rng_.between(0, 3);
        for (int i = 0; i < early; ++i) {
            if (auto at = pick(side.members, [](const Pilot& p) { return !p.flying; })) {
                pilots_[*at].flying = true;
            }
        }
    }
}

void Simulation::updateSurge() {
    if (surgeActive_) {
        if (eventIndex_ >= surgeEnd_) {
            for (SideState& side : sides_) {
                side.surge = 0;
            }
            surgeActive_ = false;
            nextSurge_ = eventIndex_ + static_cast<std::uint64_t>(rng_.between(500, 1500));
        }
        return;
    }
    if (eventIndex_ < nextSurge_) {
        return;
    }
    const int level = 17 + surgeCount_ % 3;
    std::vector<std::size_t> able;
    for (std::size_t i = 0; i < sides_.size(); ++i) {
        if (static_cast<int>(sides_[i].members.size()) >= level + 2) {
            able.push_back(i);
        }
    }
    if (able.empty()) {
        nextSurge_ = eventIndex_ + 1000;
        return;
    }
    sides_[able[rng_.below(able.size())]].surge = level;
    ++surgeCount_;
    surgeActive_ = true;
    surgeEnd_ = eventIndex_ + static_cast<std::uint64_t>(rng_.between(150, 450));
}

void Simulation::arenaEvent() {
    const Side which = rng_.below(2) == 0 ? Side::Allied : Side::Hun;
    SideState& side = sideOf(which);
    if (rng_.chance(40)) {
        side.usual =
            std::clamp(side.usual + (rng_.below(2) == 0 ? -1 : 1), side.lowest, side.highest);
    }
    const int wanted = side.surge > 0 ? side.surge : side.usual;
    auto out = [](const Pilot& p) { return !p.flying; };
    auto counted = [](const Pilot& p) { return p.flying && p.counted; };
    auto early = [](const Pilot& p) { return p.flying && !p.counted; };
    if (side.count < wanted) {
        if (auto at = pick(side.members, out)) {
            enter(*at);
        } else if (auto gone = pick(side.members, early)) {
            leave(*gone);  // makes room: the pilot can enter again, and be counted
        } else if (auto again = pick(side.members, counted)) {
            reenter(*again);
        }
        return;
    }
    if (side.count > wanted) {
        if (auto at = pick(side.members, counted)) {
            leave(*at);
        }
        return;
    }
    const std::uint64_t what = rng_.below(100);
    std::optional<std::size_t> at;
    if (what >= 90) {
        at = pick(side.members, early);
        if (at) {
            leave(*at);
            return;
        }
    }
    at = pick(side.members, counted);
    if (!at) {
        if (auto in = pick(side.members, out)) {
            enter(*in);
        }
        return;
    }
    // A flooded side keeps its pilots in: the 17th and 18th stay for minutes.
    if (what < (side.surge > 0 ? 90 : 45)) {
        reenter(*at);
    } else {
        leave(*at);
    }
}

void Simulation::enter(std::size_t index) {
    Pilot& pilot = pilots_[index];
    pilot.aircraft = pilot.profile->favourite;
    if (rng_.chance(150)) {
        pilot.aircraft = static_cast<int>(rng_.below(aircraftOf(pilot.profile->side).size()));
    }
    pilot.flying = true;
    if (!pilot.counted) {
        pilot.counted = true;
        SideState& side = sideOf(pilot.profile->side);
        ++side.count;
        noteCount(side, pilot.profile->side);
    }
    writeEntry(pilot);
}

// An entry of a pilot already in the arena (after a death, or in another
// aircraft): the tally does not count the pilot again.
void Simulation::reenter(std::size_t index) {
    Pilot& pilot = pilots_[index];
    if (rng_.chance(250)) {
        pilot.aircraft = static_cast<int>(rng_.below(aircraftOf(pilot.profile->side).size()));
    }
    writeEntry(pilot);
}

void Simulation::writeEntry(const Pilot& pilot) {
    scratch_ = "Player |";
    scratch_ += pilot.profile->name;
    if (rng_.below(2) == 0) {
        scratch_ += ' ';
        scratch_ += pilot.profile->address;
    }
    scratch_ += " has entered the arena, flying a ";
    scratch_ += aircraftName(pilot);
    write(scratch_);
    ++summary_.events;
    ++summary_.entries;
}

void Simulation::leave(std::size_t index) {
    Pilot& pilot = pilots_[index];
    if (pilot.counted) {
        --sideOf(pilot.profile->side).count;
    }
    pilot.flying = false;
    pilot.counted = false;
    scratch_ = "Player |";
    scratch_ += pilot.profile->name;
    scratch_ += " has left the arena";
    write(scratch_);
    ++summary_.events;
    ++summary_.exits;
}

void Simulation::noteCount(SideState& side, Side which) {
    int& most = which == Side::Allied ? summary_.maxAllied : summary_.maxHun;
    most = std::max(most, side.count);
}

}  // namespace vorskal::gen
