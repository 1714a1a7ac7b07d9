// Kill lines: "Kill of " at column 19, the victim's name padded to 16 and
// aircraft from column 27, then "awarded to " and the killer's name padded
// to 16 and aircraft. Now and then a pilot kills himself, or one of his own
// side, and the server logs a death again within 20 seconds.
#include "gen/simulation.h"

namespace vorskal::gen {
namespace {
constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;
// A real death comes more than this long after the pilot's last death (also
// on the time of day, which the tally compares), so only the copies that
// the game logs again look like the server's fault.
constexpr std::int64_t kQuietAfterDeath = 25;
}  // namespace

bool Simulation::mayDie(const Pilot& pilot) const {
    if (!pilot.flying || pilot.copiesDue > 0) {
        return false;
    }
    if (pilot.lastDeath == kNever) {
        return true;
    }
    return (clock_.elapsed() - pilot.lastDeath) % kSecondsPerDay > kQuietAfterDeath;
}

void Simulation::kill() {
    const auto victimAt = pickAnywhere([this](const Pilot& p) { return mayDie(p); });
    if (!victimAt) {
        chatter();
        return;
    }
    Pilot& victim = pilots_[*victimAt];
    const Side side = victim.profile->side;
    const std::uint64_t how = rng_.below(1000);
    std::optional<std::size_t> killerAt;
    if (how < 30) {
        killerAt = victimAt;
        ++summary_.selfKills;
    } else if (how < 50) {
        killerAt = pick(sideOf(side).members,
                        [&victim](const Pilot& p) { return p.flying && &p != &victim; });
        if (killerAt) {
            ++summary_.friendlyKills;
        }
    }
    if (!killerAt) {
        killerAt = pick(sideOf(otherSide(side)).members, [](const Pilot& p) { return p.flying; });
    }
    if (!killerAt) {
        chatter();
        return;
    }
    const Pilot& killer = pilots_[*killerAt];
    std::string event = "Kill of ";
    event += victim.padded;
    event += aircraftName(victim);
    event += " awarded to ";
    event += killer.padded;
    event += aircraftName(killer);
    write(event);
    ++summary_.events;
    ++summary_.kills;
    victim.lastDeath = clock_.elapsed();
    if (rng_.chance(30)) {
        victim.copiesDue = rng_.chance(150) ? 2 : 1;
        pending_.push_back(Pending{clock_.elapsed() + rng_.between(0, 20), true, *victimAt, event});
    }
    if (victim.counted && rng_.chance(400)) {
        pending_.push_back(Pending{clock_.elapsed() + rng_.between(10, 90), false, *victimAt, {}});
    }
}

void Simulation::writeCopy(const Pending& pending) {
    write(pending.event);
    ++summary_.events;
    ++summary_.kills;
    ++summary_.copies;
    Pilot& victim = pilots_[pending.pilot];
    victim.lastDeath = clock_.elapsed();
    if (--victim.copiesDue > 0) {
        pending_.push_back(
            Pending{clock_.elapsed() + rng_.between(0, 20), true, pending.pilot, pending.event});
    }
}

}  // namespace vorskal::gen
