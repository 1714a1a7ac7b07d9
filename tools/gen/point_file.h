#pragma once
// The point-value file of a generated game ("vorskal.ini"): the map line,
// a block of targets for each of a few maps (the flown map's block lists
// every target that the logs destroy), then the points per kill and death
// and per target type.
#include <string>
#include <utility>
#include <vector>

#include "gen/rng.h"

namespace vorskal::gen {

struct Target {
    int number;        // 1 to 3 digits
    std::string type;  // one of the types that have a point value
    int team;          // team credited for destroying it: 1 Allied, 2 Hun
};

struct MapBlock {
    std::string name;
    std::vector<Target> targets;
};

struct PointFile {
    std::string mapName;           // the map flown
    std::vector<MapBlock> blocks;  // the flown map's block among them
    int killPoints = 0;
    int deathPoints = 0;
    std::vector<std::pair<std::string, int>> typeValues;

    const MapBlock& flownMap() const;
    std::string text() const;  // the file's bytes, lines ended by CR LF
};

PointFile makePointFile(Rng& rng);

}  // namespace vorskal::gen
