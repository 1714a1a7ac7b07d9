#include "gen/simulation.h"

#include <algorithm>

#include "gen/chatter.h"

namespace vorskal::gen {

Simulation::Simulation(const World& world, Rng rng, LogWriter& out)
    : world_(world),
      rng_(rng),
      out_(out),
      clock_(world.startDay, world.startMonth, world.startYear, world.startSecond, world.dayFirst) {
    for (const PilotProfile& profile : world.pilots) {
        Pilot pilot{&profile, profile.name, false, false, profile.favourite, kNever, 0};
        pilot.padded.resize(16, ' ');
        sideOf(profile.side).members.push_back(pilots_.size());
        pilots_.push_back(std::move(pilot));
    }
    for (SideState& side : sides_) {
        const int roster = static_cast<int>(side.members.size());
        side.lowest = std::min(5, roster - 2);
        side.highest = std::min(16, roster - 2);
        side.usual = rng_.between(side.lowest, side.highest);
    }
    for (const Target& target : world.points.flownMap().targets) {
        targetsOfTeam_[static_cast<std::size_t>(target.team)].push_back(&target);
    }
    summary_.mapName = world.points.mapName;
    summary_.alliedPilots = static_cast<int>(sideOf(Side::Allied).members.size());
    summary_.hunPilots = static_cast<int>(sideOf(Side::Hun).members.size());
    nextSurge_ = static_cast<std::uint64_t>(rng_.between(150, 600));
}

GameSummary Simulation::run(std::uint64_t plannedBytes) {
    write("Server: UX7 dedicated server started, league night of the ZORL");
    placeEarlyPilots();
    while (out_.bytes() < plannedBytes) {
        // About ten lines a second.
        if (rng_.below(10) == 0) {
            clock_.advance(1);
        }
        if (writeDuePending()) {
            continue;
        }
        if (rng_.below(20) == 0) {
            event();
        } else {
            chatter();
        }
    }
    out_.finish();
    summary_.bytes = out_.bytes();
    summary_.lines = out_.lines();
    return summary_;
}

void Simulation::write(std::string_view event) {
    out_.line(clock_, event);
}

bool Simulation::writeDuePending() {
    const auto due = std::find_if(pending_.begin(), pending_.end(),
                                  [&](const Pending& p) { return p.due <= clock_.elapsed(); });
    if (due == pending_.end()) {
        return false;
    }
    const Pending pending = std::move(*due);
    pending_.erase(due);
    if (pending.copy) {
        writeCopy(pending);
        return true;
    }
    const Pilot& pilot = pilots_[pending.pilot];
    if (!pilot.flying || !pilot.counted) {
        return false;  // gone meanwhile
    }
    reenter(pending.pilot);
    return true;
}

void Simulation::event() {
    ++eventIndex_;
    updateSurge();
    const std::uint64_t kind = rng_.below(100);
    if (kind < 35) {
        kill();
    } else if (kind < 55) {
        destroyTarget();
    } else {
        arenaEvent();
    }
}

void Simulation::chatter() {
    const Pilot& pilot = pilots_[rng_.below(pilots_.size())];
    const Pilot& other = pilots_[rng_.below(pilots_.size())];
    scratch_.clear();
    appendChatter(rng_, pilot.profile->name, other.profile->name, scratch_);
    write(scratch_);
}

std::optional<std::size_t> Simulation::pick(const std::vector<std::size_t>& from,
                                            const std::function<bool(const Pilot&)>& test) {
    candidates_.clear();
    for (std::size_t index : from) {
        if (test(pilots_[index])) {
            candidates_.push_back(index);
        }
    }
    if (candidates_.empty()) {
        return std::nullopt;
    }
    return candidates_[rng_.below(candidates_.size())];
}

std::optional<std::size_t> Simulation::pickAnywhere(const std::function<bool(const Pilot&)>& test) {
    const Side side = rng_.below(2) == 0 ? Side::Allied : Side::Hun;
    if (auto found = pick(sideOf(side).members, test)) {
        return found;
    }
    return pick(sideOf(otherSide(side)).members, test);
}

std::string_view Simulation::aircraftName(const Pilot& pilot) const {
    return aircraftOf(pilot.profile->side)[static_cast<std::size_t>(pilot.aircraft)].name;
}

}  // namespace vorskal::gen
