#pragma once
// The geometry of the page's charts, apart from how they are written: where
// game time and counts land in the drawing, the step line of each side's
// pilots in the game, the over-max stretches as boxes, the time axis's
// ticks and the per-minute bars of kills and deaths. Pure functions of the
// results; the drawing (svg_charts.h) only writes what these compute.
#include <cstdint>
#include <string>
#include <vector>

#include "results/game_results.h"

namespace vorskal::html {

struct Point {
    double x = 0;
    double y = 0;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

struct Range {
    double low = 0;
    double high = 1;
};

// Maps game time (seconds on the game's time line, game_time.h) to x and a
// value to y inside `area`: the low end of each range at the left and the
// bottom. An empty range is widened so that nothing divides by zero.
class Scale {
  public:
    Scale(Rect area, Range seconds, Range values);
    double x(double seconds) const;
    double y(double value) const;
    const Rect& area() const { return area_; }

  private:
    Rect area_;
    Range seconds_;
    Range values_;
};

// A side's count of pilots in the game from `at` on.
struct Step {
    long long at = 0;
    std::int64_t count = 0;
};

// An over-max stretch on the game's time line, with the report's numbers.
struct Stretch {
    results::Side side = results::Side::Unknown;
    int pilotNumber = 17;
    long long start = 0;
    long long end = 0;
    const results::OverMaxStretch* source = nullptr;
    std::size_t number = 0;  // its place in the results' list, from 1
};

// The arena numbers of one game laid on its time line. The line starts at
// the game's first time (else the first arena event's); it ends at the last
// time, or later when an event, a stretch or a minute of kills and deaths
// lies beyond it, and is at least a minute long. Counts start at 0. Events and stretches whose time
// cannot be read are left out.
struct ArenaSeries {
    long long start = 0;
    long long end = 60;
    std::vector<Step> allied;
    std::vector<Step> hun;
    std::vector<Stretch> stretches;
    std::int64_t lowest = 0;  // the lowest and highest count of either side, 0 included
    std::int64_t highest = 0;
};

// What the chart keeps of one arena event: its time of day in seconds
// (negative when the line's time cannot be read), its side and the count of
// that side's pilots after it. A large game has hundreds of thousands.
struct ArenaMark {
    std::int32_t at = -1;
    results::Side side = results::Side::Unknown;
    std::int64_t count = 0;
};
ArenaMark arenaMark(const results::ArenaEvent& event);
std::vector<ArenaMark> arenaMarks(const std::vector<results::ArenaEvent>& events);

// The series of the game's arena events, given as marks (a run keeps only
// the marks) or, in the second form, as the results' own list.
ArenaSeries arenaSeries(const results::GameResults& game, const std::vector<ArenaMark>& marks);
ArenaSeries arenaSeries(const results::GameResults& game);

// The values shown on the count axis: 0 to at least 18 (room above the
// limit of 16), wider when a count went beyond, in whole steps of `tick`
// (2, 4, 5, 10, 20, 40, 50, 100, ...: the first that gives at most 12).
struct CountAxis {
    std::int64_t low = 0;
    std::int64_t high = 18;
    std::int64_t tick = 2;
};
CountAxis countAxis(const ArenaSeries& series);

// The step line of one side: from (start, 0) flat to each step's time, up
// or down to its count, and flat to `end`. A straight run keeps its ends only.
std::vector<Point> stepLine(const std::vector<Step>& steps, long long start, long long end,
                            const Scale& scale);

// The same line with at most four points per pixel column (x taken down to
// a whole number): the first, the lowest and highest (in their order) and
// the last. A step line keeps every level it reached within the column.
std::vector<Point> thinToPixels(const std::vector<Point>& line);

// A stretch's box: across its time, between the counts pilotNumber - 1 and
// pilotNumber (the band above the limit that the 17th or 18th pilot took).
Rect stretchBox(const Stretch& stretch, const Scale& scale);

// The boxes of many stretches, for a drawing too small to tell them apart:
// boxes of one side and band whose ends lie within one unit of each other
// merge into one. In the order of the stretches' starts.
struct SideBox {
    results::Side side = results::Side::Unknown;
    Rect box;
};
std::vector<SideBox> mergedStretchBoxes(const ArenaSeries& series, const Scale& scale);

// Ticks of the time axis at whole minutes: a step of 1, 2, 5, 10, 15, 30
// minutes, 1, 2, 3, 4, 6, 12 hours, or 1, 2, 5, 10, 20, 50, ... days, the
// smallest that gives at most `most` ticks, each a multiple of its step.
std::vector<long long> timeTicks(long long start, long long end, int most);

// Kills and deaths of a side in one column of the strip chart: those the
// score tables count, and apart from them those the multi-death correction
// took back.
struct Bar {
    double x = 0;
    double width = 0;
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t killsTakenBack = 0;
    std::int64_t deathsTakenBack = 0;
};

// The per-minute counts of one side as bars, each minute across its 60
// seconds on `scale`; minutes that share a pixel column are added up into
// one bar. Minutes without kills or deaths of the side give no bar.
std::vector<Bar> minuteBars(const std::vector<results::MinuteCount>& timeline, results::Side side,
                            long long start, const Scale& scale);

}  // namespace vorskal::html
