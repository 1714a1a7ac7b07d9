// The game's page: its parts in order, the report's numbers, text from the
// logs shown safely, nothing fetched from outside, long lists summarised,
// and the page written whole or not at all. The geometry of its charts:
// where the step lines of the pilots in the game, the over-max stretches,
// the time ticks and the per-minute bars land, for scenarios whose arena
// numbers are worked out by hand.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "html/chart_geometry.h"
#include "html/game_page.h"
#include "html/game_time.h"
#include "html/html_text.h"
#include "html/page_rows.h"
#include "tests/support/game_dir.h"

namespace vorskal::html {
namespace {

using results::Side;

bool has(const std::string& page, const std::string& text) {
    return page.find(text) != std::string::npos;
}

std::size_t count(const std::string& page, const std::string& text) {
    std::size_t n = 0;
    for (auto at = page.find(text); at != std::string::npos; at = page.find(text, at + 1)) {
        ++n;
    }
    return n;
}

// A pilot with 3 kills, 1 death and 2 targets worth 15 points at 10 a kill
// and -5 a death scores 3 x 10 - 5 + 15 = 40; a side 17th pilot's 10
// minutes cost 3 points, so the Allied total is 40 - 3 = 37.
results::GameResults smallGame() {
    results::GameResults game;
    game.toolVersion = "3.40";
    game.settings.map = "Verdun";
    game.settings.killPoints = 10;
    game.settings.deathPoints = -5;
    game.firstTime = "20:00:00";
    game.lastTime = "21:00:00";
    game.pilots = {{"<Hawk&Co>", Side::Allied, 1, 3, 1, 2, 15, {"#12", "#31"}, 40},
                   {"Fritz", Side::Hun, 2, 0, 3, 0, 0, {}, -15},
                   {std::string("Ren\xE9\x01"), Side::Unknown, 0, 1, 0, 0, 0, {}, 10}};
    game.allied = {3, 1, 2, 15, 40, 3, 37};
    game.hun = {0, 3, 0, 0, -15, 0, -15};
    game.overMax = {{Side::Allied, 17, "20:00:00", "20:10:00", 10, 3}};
    game.corrections = {{results::CorrectionKind::MultiDeath,
                         true,
                         "Fritz's death logged again.",
                         {{120, "12/06/26 20:30:00 Kill of Fritz"}},
                         {{"Fritz", Side::Hun, results::MoveField::Deaths, -1, 5}}}};
    game.targets = {{300, "t1", "#12", "Bridge", Side::Hun, 2, 15, true, "<Hawk&Co>", ""},
                    {301, "t2", "#44", "Depot", Side::Hun, 2, 25, false, "", "not red boxed"}};
    game.warnings = {{"no-kill-points", "vorskal.ini", 7, "No points per kill."}};
    return game;
}

TEST(GamePage, ShowsTheReportsNumbersInOrderSafelyAndSelfContained) {
    const std::string page = gamePage(smallGame());
    std::size_t previous = 0;
    for (const char* id : {"<header", "id=\"warnings\"", "id=\"arena-chart\"", "id=\"over-max\"",
                           "id=\"activity-chart\"", "id=\"scores-allied\"", "id=\"scores-hun\"",
                           "id=\"scores-unknown\"", "id=\"zorl\"", "id=\"corrections\"",
                           "id=\"red-box\"", "id=\"files\"", "<script>"}) {
        const auto at = page.find(id);
        ASSERT_NE(at, std::string::npos) << id;
        EXPECT_GT(at, previous) << id;
        previous = at;
    }
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\n<html lang=\"en\">"));
    for (const char* text :
         {"<title>ZORL results: Verdun 20:00:00</title>", "default-src 'none'",
          "id=\"total-allied\"><div class=\"side\">Allied Total</div>"
          "<div class=\"value\">37</div>",
          "<div class=\"value\">-15</div>",
          // The pilot's row: score, kills, deaths, targets, target points, locations.
          "<td class=\"n\">40</td><td class=\"n\">3</td><td class=\"n\">1</td>"
          "<td class=\"n\">2</td><td class=\"n\">15</td><td>#12, #31</td>",
          // ZORL: score, deduction, total.
          "<th scope=\"row\">Allied</th><td class=\"n\">40</td>"
          "<td class=\"n\">3</td><td class=\"n\">37</td>",
          // The correction's evidence line and what it moved.
          "<p>Fritz&#39;s death logged again.</p>",
          "line 120</span>12/06/26 20:30:00 Kill of Fritz",
          "<td>deaths</td><td class=\"n\">-1</td><td class=\"n\">5</td>",
          // Only the target not credited is listed, with why.
          "Targets not credited (1)", "<td>not red boxed</td>", ">1: 10 min, 3 pt</text>",
          // 0xE9 (code page 1252) becomes U+00E9; a control byte is shown as \x01.
          "&lt;Hawk&amp;Co&gt;", "Ren\xC3\xA9\\x01"}) {
        EXPECT_TRUE(has(page, text)) << text;
    }
    // No request: no link, no source, no address but the SVG namespace.
    for (const char* text : {"<Hawk&Co>", "<link", " src=", "href=", "https:"}) {
        EXPECT_FALSE(has(page, text)) << text;
    }
    EXPECT_EQ(count(page, "http:"), count(page, "xmlns=\"http://www.w3.org/2000/svg\""));
    // Each chart has a title and a description; each table its headings.
    EXPECT_EQ(count(page, "<svg "), 2u);
    EXPECT_EQ(count(page, "xmlns=\"http://www.w3.org/2000/svg\"><title>"), 2u);
    EXPECT_EQ(count(page, "</title><desc>"), 2u);
    EXPECT_EQ(count(page, "<table"), count(page, "<thead><tr><th scope=\"col\""));

    // No warnings, no part for them. Minutes to a tenth, the exact figure in the tooltip.
    results::GameResults odd = smallGame();
    odd.warnings.clear();
    odd.overMax[0].minutes = 12.383333333333333;
    const std::string oddPage = gamePage(odd);
    EXPECT_FALSE(has(oddPage, "id=\"warnings\""));
    EXPECT_TRUE(has(oddPage, "title=\"12.3833333333333\""));
    EXPECT_TRUE(has(oddPage, ">12.4</td>"));
    EXPECT_FALSE(has(oddPage, ">12.3833333333333<"));
}

// A sink that counts the rows handed on to it (the JSON's and CSV's own).
struct CountingSink : results::RowSink {
    std::size_t corrections = 0, targets = 0, events = 0;
    void correction(const results::Correction&) override { ++corrections; }
    void target(const results::TargetRow&) override { ++targets; }
    void arenaEvent(const results::ArenaEvent&) override { ++events; }
    void kill(const results::KillRow&) override {}
};

// A run keeps of the long lists only what the page shows (the first entries
// and the counts of the rest), hands every row on to the sink that was set,
// and draws the same page as the whole game does.
TEST(GamePage, ARunKeepsOnlyWhatThePageShowsAndDrawsTheSamePage) {
    results::GameResults whole = smallGame();
    whole.corrections.assign(5, whole.corrections[0]);
    whole.corrections[1].applied = false;  // "Multi-death (reported only)"
    whole.corrections[4].kind = results::CorrectionKind::FighterTarget;
    whole.targets.push_back({302, "t3", "#45", "Depot", Side::Allied, 1, 25, true, "", "no pilot"});
    whole.targets.push_back({303, "t4", "#46", "", Side::Hun, 2, 0, true, "", "not red boxed"});
    whole.arena = {{10, "20:00:00", 72000, Side::Allied, true, "<Hawk&Co>", 1},
                   {11, "20:30:00", 73800, Side::Allied, false, "<Hawk&Co>", 0}};
    PageLimits limits;
    limits.corrections = 2;
    limits.notes = 1;

    results::GameResults run = smallGame();
    run.corrections.clear();
    run.targets.clear();
    CountingSink writers;
    run.rowSink = &writers;
    const PageRows rows(run, limits);
    EXPECT_TRUE(run.gatherRows);
    EXPECT_EQ(run.rowSink, &rows);
    for (const auto& c : whole.corrections) {
        run.rowSink->correction(c);
    }
    for (const auto& t : whole.targets) {
        run.rowSink->target(t);
    }
    for (const auto& e : whole.arena) {
        run.rowSink->arenaEvent(e);
    }

    // 5 corrections, 2 kept; 3 targets not credited (t2, t3, t4), 1 kept.
    const PageLists& kept = rows.lists();
    EXPECT_EQ(kept.corrections.first.size(), 2u);
    EXPECT_EQ(kept.corrections.total, 5u);
    EXPECT_EQ(kept.corrections.counts,
              (std::map<std::string, std::size_t>{{"Multi-death", 3},
                                                  {"Multi-death (reported only)", 1},
                                                  {"Target destroyed by a fighter", 1}}));
    EXPECT_EQ(kept.notCredited.first.size(), 1u);
    EXPECT_EQ(kept.notCredited.first[0].line, 301u);
    EXPECT_EQ(kept.notCredited.total, 3u);
    EXPECT_EQ(kept.marks.size(), 2u);
    EXPECT_TRUE(run.corrections.empty());
    EXPECT_TRUE(run.targets.empty());
    EXPECT_EQ(writers.corrections, 5u);
    EXPECT_EQ(writers.targets, 4u);
    EXPECT_EQ(writers.events, 2u);

    const std::string page = gamePage(run, kept, limits);
    EXPECT_EQ(page, gamePage(whole, limits));
    EXPECT_TRUE(has(page, "The first 2 of 5 corrections are shown; the other 3"));
    EXPECT_TRUE(has(page, "Targets not credited (3)"));
    EXPECT_EQ(count(page, "<article"), 2u);
    EXPECT_TRUE(has(page, "<td>Multi-death</td><td class=\"n\">3</td>"));
    EXPECT_TRUE(has(page, "<td>Target destroyed by a fighter</td><td class=\"n\">1</td>"));

    // Every entry shown: the corrections need no table of counts. A target
    // not credited is a row with its reason beside its log line.
    limits.corrections = 5;
    const std::string all = gamePage(whole, limits);
    EXPECT_EQ(count(all, "<article"), 5u);
    EXPECT_FALSE(has(all, ">Kind</th>"));
    EXPECT_TRUE(has(all, "<td>not red boxed</td><td class=\"line\">t2</td>"));
}

TEST(GamePage, IsWrittenWholeOrNotAtAll) {
    const testing::GameDir dir;
    writeGamePage(smallGame(), dir.path() + "/page.html");
    EXPECT_EQ(dir.read("page.html"), gamePage(smallGame()));

    try {
        writeGamePage(smallGame(), "/nonexistent-dir/page.html");
        ADD_FAILURE() << "written";
    } catch (const TallyFailure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "/nonexistent-dir/page.html: cannot create: No such file or directory");
    }
}

using results::ArenaEvent;

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
