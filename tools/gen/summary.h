#pragma once
// What a generated game holds, counted while it was written.
#include <cstdint>
#include <string>

namespace vorskal::gen {

struct GameSummary {
    std::uint64_t bytes = 0;
    std::uint64_t lines = 0;
    std::uint64_t events = 0;  // kills, destructions, entries and exits
    std::uint64_t kills = 0;   // kill lines, copies included
    std::uint64_t copies = 0;  // a death logged again 0 to 20 seconds later
    std::uint64_t selfKills = 0;
    std::uint64_t friendlyKills = 0;
    std::uint64_t targets = 0;
    std::uint64_t redBoxed = 0;       // marker on the line just before
    std::uint64_t markerSkipped = 0;  // marker two lines before: not red boxed
    std::uint64_t entries = 0;
    std::uint64_t exits = 0;
    int alliedPilots = 0;
    int hunPilots = 0;
    int maxAllied = 0;  // most pilots of a side in the arena at once, as the tally counts them
    int maxHun = 0;
    std::string mapName;
};

std::string describe(const GameSummary& summary);

}  // namespace vorskal::gen
