// The game's page: its parts in order, the report's numbers, text from the
// logs shown safely, nothing fetched from outside, long lists summarised,
// and the page written whole or not at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "base/failure.h"
#include "html/game_page.h"
#include "html/page_rows.h"

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

// The parts in their order, the report's numbers, text from the logs
// escaped and valid UTF-8, and nothing fetched from outside.
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
    const std::string path = ::testing::TempDir() + "vorskal_page_test.html";
    writeGamePage(smallGame(), path);
    std::ifstream in(path, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    EXPECT_EQ(written.str(), gamePage(smallGame()));
    std::remove(path.c_str());

    try {
        writeGamePage(smallGame(), "/nonexistent-dir/page.html");
        ADD_FAILURE() << "written";
    } catch (const TallyFailure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "/nonexistent-dir/page.html: cannot create: No such file or directory");
    }
}

}  // namespace
}  // namespace vorskal::html
