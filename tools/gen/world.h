#pragma once
// Everything about a generated game that does not depend on its size: the
// pilots of both sides, the point-value file and the moment the game starts.
#include <cstdint>
#include <string>
#include <vector>

#include "gen/pilots.h"
#include "gen/point_file.h"

namespace vorskal::gen {

struct PilotProfile {
    std::string name;
    Side side;
    int favourite;        // index into aircraftOf(side)
    std::string address;  // "(UDP:a.b.c.d:port)", shown after the name on some entries
};

struct World {
    std::vector<PilotProfile> pilots;
    PointFile points;
    int startDay = 1;
    int startMonth = 1;
    int startYear = 26;
    int startSecond = 0;    // time of day
    bool dayFirst = false;  // the log's dates as day/month/year
};

// One side has 21 to 40 pilots (so it can field a 19th), the other 10 to 40.
World makeWorld(Rng& rng);

}  // namespace vorskal::gen
