#include "gen/summary.h"

namespace vorskal::gen {

std::string describe(const GameSummary& s) {
    auto n = [](auto value) { return std::to_string(value); };
    return n(s.bytes) + " bytes, " + n(s.lines) + " lines, " + n(s.events) + " events on map " +
           s.mapName + "\n" + "pilots: " + n(s.alliedPilots) + " Allied, " + n(s.hunPilots) +
           " Hun; most in the arena at once: " + n(s.maxAllied) + " Allied, " + n(s.maxHun) +
           " Hun\n" + "kills: " + n(s.kills) + " (" + n(s.copies) + " logged again, " +
           n(s.selfKills) + " self-kills, " + n(s.friendlyKills) + " own side)\n" +
           "targets: " + n(s.targets) + " (" + n(s.redBoxed) + " red boxed, " + n(s.markerSkipped) +
           " with the marker two lines back)\n" + "arena: " + n(s.entries) + " entries, " +
           n(s.exits) + " exits\n";
}

}  // namespace vorskal::gen
