#pragma once
// The two sides of a generated game: their aircraft and their pilots' names.
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gen/rng.h"

namespace vorskal::gen {

enum class Side { Allied, Hun };

inline int teamCodeOf(Side side) {
    return side == Side::Allied ? 1 : 2;
}
inline Side otherSide(Side side) {
    return side == Side::Allied ? Side::Hun : Side::Allied;
}

struct Aircraft {
    std::string_view name;
    // How often a pilot flying it goes after ground targets, relative to the
    // others. The league's ground-attack types (ALBATROS_DII, NIEUPORT_17)
    // fly most of them; the tally takes back what the others destroy.
    int targetWeight;
};

std::span<const Aircraft> aircraftOf(Side side);

// `count` distinct pilot names (at most 90) of 3 to 15 characters. No name
// contains another (letter case disregarded), no two share their first 11
// characters, and none holds a fragment of an aircraft type name, so every
// pilot keeps one record and one roster entry in the tally.
std::vector<std::string> makePilotNames(Rng& rng, int count);

}  // namespace vorskal::gen
