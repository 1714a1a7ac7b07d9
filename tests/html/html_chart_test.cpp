// The geometry of the page's charts: where the step lines of the pilots in
// the game, the over-max stretches, the time ticks and the per-minute bars
// land, for scenarios whose arena numbers are worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "html/chart_geometry.h"
#include "html/game_time.h"
#include "html/html_text.h"

namespace vorskal::html {
namespace {

using results::ArenaEvent;
using results::Side;

ArenaEvent event(const char* time, Side side, bool entry, std::int64_t after) {
    ArenaEvent e;
    e.time = time;
    e.seconds = *secondsOfDay(time);
    e.side = side;
    e.entry = entry;
    e.inGameAfter = after;
    return e;
}

// 16 Allied pilots in at 19:50:00, the 17th at 20:00:00, one out at
// 20:10:00 (the 17th pilot's 10 minutes cost 3 points); one Hun pilot in
// from 19:55:00 to 20:20:00. The game runs from 19:50:00 to 20:30:00.
results::GameResults seventeenthAllied() {
    results::GameResults game;
    game.firstTime = "19:50:00";
    game.lastTime = "20:30:00";
    for (int n = 1; n <= 16; ++n) {
        game.arena.push_back(event("19:50:00", Side::Allied, true, n));
    }
    game.arena.push_back(event("19:55:00", Side::Hun, true, 1));
    game.arena.push_back(event("20:00:00", Side::Allied, true, 17));
    game.arena.push_back(event("20:10:00", Side::Allied, false, 16));
    game.arena.push_back(event("20:20:00", Side::Hun, false, 0));
    game.overMax.push_back({Side::Allied, 17, "20:00:00", "20:10:00", 10, 3});
    return game;
}

// 5 seconds a unit across, 10 units a pilot up: 19:50:00 is x 0, 20:30:00
// is x 480; 0 pilots is y 200, 20 pilots y 0.
Scale fiveSecondsAUnit() {
    return Scale({0, 0, 480, 200}, {71400, 73800}, {0, 20});
}

void expectPoints(const std::vector<Point>& got, const std::vector<Point>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_DOUBLE_EQ(got[i].x, want[i].x) << "point " << i;
        EXPECT_DOUBLE_EQ(got[i].y, want[i].y) << "point " << i;
    }
}

// A drawing's coordinates are written to a tenth, without a trailing ".0".
TEST(ChartText, CoordinatesKeepOneDecimalAndNoneOnAWholeNumber) {
    const std::pair<double, const char*> cases[] = {
        {12, "12"},      {12.5, "12.5"},  {12.1, "12.1"},
        {-3.2, "-3.2"},  {0, "0"},        {7.96, "8"},  // 79.6 tenths round to 80
        {-0.04, "0"},                                   // rounds to no tenth at all: no minus sign
        {480.04, "480"}, {199.96, "200"},
    };
    for (const auto& [value, text] : cases) {
        std::string out = "x=";
        appendCoordinate(out, value);
        EXPECT_EQ(out, std::string("x=") + text) << value;
    }
}

TEST(ArenaChart, StepLinesAndTheStretchFollowTheArenaNumbers) {
    const results::GameResults game = seventeenthAllied();  // the series points into it
    const ArenaSeries series = arenaSeries(game);
    EXPECT_EQ(series.start, 71400);
    EXPECT_EQ(series.end, 73800);
    EXPECT_EQ(series.highest, 17);
    const Scale scale = fiveSecondsAUnit();
    // Up to 16 at once, up to 17 at x 120 (20:00), back to 16 at x 240 (20:10).
    expectPoints(stepLine(series.allied, series.start, series.end, scale),
                 {{0, 200}, {0, 40}, {120, 40}, {120, 30}, {240, 30}, {240, 40}, {480, 40}});
    expectPoints(stepLine(series.hun, series.start, series.end, scale),
                 {{0, 200}, {60, 200}, {60, 190}, {360, 190}, {360, 200}, {480, 200}});
    // The 17th pilot's band: between 16 and 17 pilots, from 20:00 to 20:10.
    ASSERT_EQ(series.stretches.size(), 1u);
    const Rect box = stretchBox(series.stretches[0], scale);
    EXPECT_DOUBLE_EQ(box.x, 120);
    EXPECT_DOUBLE_EQ(box.width, 120);
    EXPECT_DOUBLE_EQ(box.y, 30);
    EXPECT_DOUBLE_EQ(box.height, 10);
    EXPECT_EQ(series.stretches[0].source->points, 3);
}

TEST(ArenaChart, StretchesThatTouchMergeIntoOneBoxPerSideAndBand) {
    auto game = seventeenthAllied();
    // 3 seconds (0.6 units) after the first ends, another 17th Allied
    // stretch to 20:12:00; an 18th's and a Hun one at the same time stay apart.
    game.overMax.push_back({Side::Allied, 17, "20:10:03", "20:12:00", 2, 0});
    game.overMax.push_back({Side::Allied, 18, "20:05:00", "20:06:00", 1, 0});
    game.overMax.push_back({Side::Hun, 17, "20:05:00", "20:06:00", 1, 0});
    const auto boxes = mergedStretchBoxes(arenaSeries(game), fiveSecondsAUnit());
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_DOUBLE_EQ(boxes[0].box.x, 120);
    EXPECT_DOUBLE_EQ(boxes[0].box.width, 144);  // 20:00 to 20:12
    EXPECT_EQ(boxes[1].side, Side::Allied);
    EXPECT_DOUBLE_EQ(boxes[1].box.y, 20);  // the 18th's band: 17 to 18 pilots
    EXPECT_EQ(boxes[2].side, Side::Hun);
}

TEST(ArenaChart, AGamePastMidnightRunsOnToTheNextDay) {
    // 23:50:00 to 00:20:00; the 17th Allied pilot in at 23:55:00 and the
    // count back at 00:05:00 (the report's minutes are -1430, its points -477).
    results::GameResults game;
    game.firstTime = "23:50:00";
    game.lastTime = "00:20:00";
    game.arena = {event("23:55:00", Side::Allied, true, 1), event("00:05:00", Side::Hun, true, 1)};
    game.overMax.push_back({Side::Allied, 17, "23:55:00", "00:05:00", -1430, -477});
    const ArenaSeries series = arenaSeries(game);
    EXPECT_EQ(series.start, 85800);
    EXPECT_EQ(series.end, 86400 + 1200);
    ASSERT_EQ(series.hun.size(), 1u);
    EXPECT_EQ(series.hun[0].at, 86400 + 300);
    ASSERT_EQ(series.stretches.size(), 1u);
    EXPECT_EQ(series.stretches[0].start, 86100);
    EXPECT_EQ(series.stretches[0].end, 86400 + 300);
    EXPECT_EQ(clockText(series.end), "00:20");
}

TEST(ArenaChart, CountAxisLeavesRoomAboveTheLimitAndTheHighestCount) {
    struct Case {
        std::int64_t lowest, highest, low, high, tick;
    };
    for (const Case c : {Case{0, 0, 0, 18, 2}, Case{0, 17, 0, 18, 2}, Case{0, 18, 0, 20, 2},
                         Case{-1, 17, -2, 18, 2}, Case{0, 40, 0, 44, 4}, Case{0, 95, 0, 100, 10}}) {
        ArenaSeries series;
        series.lowest = c.lowest;
        series.highest = c.highest;
        const CountAxis axis = countAxis(series);
        EXPECT_EQ(axis.low, c.low) << c.lowest << ".." << c.highest;
        EXPECT_EQ(axis.high, c.high) << c.lowest << ".." << c.highest;
        EXPECT_EQ(axis.tick, c.tick) << c.lowest << ".." << c.highest;
    }
}

TEST(ArenaChart, TimeTicksFallOnRoundMinutes) {
    // 40 minutes from 19:50: every 5 minutes, 9 ticks from 19:50 to 20:30.
    const auto forty = timeTicks(71400, 73800, 13);
    ASSERT_EQ(forty.size(), 9u);
    EXPECT_EQ(forty.front(), 71400);
    EXPECT_EQ(forty[1] - forty[0], 300);
    // 12 hours from 20:00: every hour, 20:00 to 08:00 of the next day.
    const auto twelve = timeTicks(72000, 72000 + 12 * 3600, 13);
    ASSERT_EQ(twelve.size(), 13u);
    EXPECT_EQ(clockText(twelve.front()), "20:00");
    EXPECT_EQ(clockText(twelve.back()), "08:00");
    // 30 days from 20:00 in at most 8 ticks: every 5 days, from the end of day 5.
    const auto month = timeTicks(72000, 72000 + 30 * 86400, 8);
    ASSERT_EQ(month.size(), 6u);
    EXPECT_EQ(month.front(), 5 * 86400);
    // 22.5 minutes from 20:07:30: every 2 minutes, from 20:08.
    EXPECT_EQ(clockText(timeTicks(72450, 73800, 13).front()), "20:08");
}

TEST(ArenaChart, ThinningKeepsFourPointsAColumnAndEveryLevel) {
    // Column 10 holds five points: the first, the lowest count (y 60), the
    // highest (y 30) and the last stay.
    expectPoints(
        thinToPixels({{10.2, 50}, {10.4, 40}, {10.5, 60}, {10.6, 30}, {10.9, 45}, {11.1, 45}}),
        {{10.2, 50}, {10.5, 60}, {10.6, 30}, {10.9, 45}, {11.1, 45}});
    // 10000 changes across 880 units leave at most four points a column.
    std::vector<Step> steps;
    for (int i = 0; i < 10000; ++i) {
        steps.push_back({i * 4, i % 2 == 0 ? 17 : 16});
    }
    const Scale scale({0, 0, 880, 200}, {0, 40000}, {0, 20});
    const auto line = thinToPixels(stepLine(steps, 0, 40000, scale));
    EXPECT_LE(line.size(), 4u * 881);
    for (const auto& p : line) {
        EXPECT_TRUE(p.y == 200 || p.y == 40 || p.y == 30) << p.y;
    }
}

TEST(ActivityChart, MinutesBecomeBarsAndShareAColumnWhenNarrow) {
    const std::vector<results::MinuteCount> timeline = {
        {1196, 2, 0, 0, 1},  // 19:56: Allied 2 kills; Hun 1 death
        {1197, 0, 3, 0, 0},  // 19:57: only Hun kills
        {1198, 1, 0, 4, 0}};
    // 12 units a minute: 19:56 is x 72.
    const auto allied = minuteBars(timeline, Side::Allied, 71400, fiveSecondsAUnit());
    ASSERT_EQ(allied.size(), 2u);
    EXPECT_DOUBLE_EQ(allied[0].x, 72);
    EXPECT_DOUBLE_EQ(allied[0].width, 12);
    EXPECT_EQ(allied[0].kills, 2);
    EXPECT_EQ(allied[1].deaths, 4);
    // Half a unit a minute: 19:56 (x 3) and 19:57 (x 3.5) share column 3 and add up.
    const Scale narrow({0, 0, 20, 100}, {71400, 73800}, {0, 1});
    const auto hun = minuteBars(timeline, Side::Hun, 71400, narrow);
    ASSERT_EQ(hun.size(), 1u);
    EXPECT_EQ(hun[0].kills, 3);
    EXPECT_EQ(hun[0].deaths, 1);
}

}  // namespace
}  // namespace vorskal::html
