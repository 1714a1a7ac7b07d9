// Target lines: "Target " at column 19, the target's type and " #" with its
// number from the flown map's block, " destroyed by ", the pilot and a
// full stop. A selected (red boxed) target has the marker line just
// before; once in a while a chatter line slips in between.
#include "gen/simulation.h"

namespace vorskal::gen {

void Simulation::destroyTarget() {
    // The ground-attack types fly most of the sorties against targets.
    int totalWeight = 0;
    for (const Pilot& pilot : pilots_) {
        if (pilot.flying) {
            totalWeight += aircraftOf(pilot.profile->side)[static_cast<std::size_t>(pilot.aircraft)]
                               .targetWeight;
        }
    }
    if (totalWeight == 0) {
        chatter();
        return;
    }
    int draw = static_cast<int>(rng_.below(static_cast<std::uint64_t>(totalWeight)));
    const Pilot* destroyer = nullptr;
    for (const Pilot& pilot : pilots_) {
        if (!pilot.flying) {
            continue;
        }
        draw -=
            aircraftOf(pilot.profile->side)[static_cast<std::size_t>(pilot.aircraft)].targetWeight;
        if (draw < 0) {
            destroyer = &pilot;
            break;
        }
    }
    const auto& targets =
        targetsOfTeam_[static_cast<std::size_t>(teamCodeOf(destroyer->profile->side))];
    const Target& target = *targets[rng_.below(targets.size())];
    if (rng_.chance(600)) {
        write("Selected target destroyed and removed from list");
        if (rng_.chance(30)) {
            chatter();
            ++summary_.markerSkipped;
        } else {
            ++summary_.redBoxed;
        }
    }
    std::string event = "Target ";
    event += target.type;
    event += " #";
    event += std::to_string(target.number);
    event += " destroyed by ";
    event += destroyer->profile->name;
    event += '.';
    write(event);
    ++summary_.events;
    ++summary_.targets;
}

}  // namespace vorskal::gen
