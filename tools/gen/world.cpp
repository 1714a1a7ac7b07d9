#include "gen/world.h"

namespace vorskal::gen {
namespace {

std::string addressOf(Rng& rng) {
    constexpr std::array<std::string_view, 3> kNetworks = {"192.0.2.", "198.51.100.", "203.0.113."};
    return "(UDP:" + std::string(rng.pick(std::span<const std::string_view>(kNetworks))) +
           std::to_string(rng.between(1, 254)) + ":" + std::to_string(rng.between(2300, 2400)) +
           ")";
}

int favouriteOf(Rng& rng, Side side) {
    const auto aircraft = aircraftOf(side);
    return static_cast<int>(rng.below(aircraft.size()));
}

}  // namespace

World makeWorld(Rng& rng) {
    World world;
    world.points = makePointFile(rng);
    const Side large = rng.below(2) == 0 ? Side::Allied : Side::Hun;
    const int largeCount = rng.between(21, 40);
    const int otherCount = rng.between(10, 40);
    const std::vector<std::string> names = makePilotNames(rng, largeCount + otherCount);
    for (int i = 0; i < largeCount + otherCount; ++i) {
        const Side side = i < largeCount ? large : otherSide(large);
        world.pilots.push_back(PilotProfile{names[static_cast<std::size_t>(i)], side,
                                            favouriteOf(rng, side), addressOf(rng)});
    }
    world.startDay = rng.between(1, 28);
    world.startMonth = rng.between(1, 12);
    world.startYear = 26;
    world.startSecond = 19 * 3600 + rng.between(0, 2 * 3600);
    return world;
}

}  // namespace vorskal::gen
