// The season site's pages drawn from games made by hand: a pilot's charts
// of his score, kills and deaths per game, where the numbers land worked out
// from the chart's plot area (x 56 to 936, a column per game); the index's
// list to search.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "league/site/season_site.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using results::Side;

class SitePages : public ::testing::Test {
  protected:
    void SetUp() override {
        recordHand(db(),
                   handGame("Verdun", "12/01/26",
                            {{"Alice", Side::Allied, 2, 1, 0, 0, 20},
                             {"Bruno", Side::Hun, 1, 2, 0, 0, 10}}),
                   "k1");
        recordHand(db(),
                   handGame("Ypres", "12/02/26",
                            {{"Alice", Side::Allied, 0, 1, 1, 5, -5},
                             {"Carl </script>&", Side::Hun, 3, 0, 0, 0, 30}}),
                   "k2");
        const LeagueRun run = league({db(), "site", site()});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    std::string db() const { return dir_.path() + "/season.db"; }
    std::string site() const { return dir_.path() + "/site"; }
    std::string pilotPage(const char* name) const {
        return bytesOf(site() + "/pilots/" + league::pilotPageName(name));
    }
    // The <svg> of id `id` in `page`.
    static std::string chart(const std::string& page, const std::string& id) {
        const std::size_t start = page.find("<svg id=\"" + id + "\"");
        EXPECT_NE(start, std::string::npos) << id;
        return start == std::string::npos ? ""
                                          : page.substr(start, page.find("</svg>", start) - start);
    }
    GameDir dir_;
};

bool holds(const std::string& text, const std::string& pattern) {
    return std::regex_search(text, std::regex(pattern));
}

TEST_F(SitePages, APilotsScorePerGame) {
    // Alice: 20 in game 1, -5 in game 2. Columns centred at 56 + 880 / 4 =
    // 276 and 56 + 3 * 880 / 4 = 716; the plot runs from y 20 (score 20)
    // down 200 to y 220 (score -5), so 0 is at 220 - 200 * 5 / 25 = 180.
    const std::string score = chart(pilotPage("Alice"), "pilot-score-chart");
    EXPECT_TRUE(holds(score, R"(<circle class="point allied" cx="276" cy="20" r="4"><title>)"
                             R"(Game 1 \([0-9A-Za-z ]+, Verdun\): score 20</title></circle>)"))
        << score;
    EXPECT_TRUE(holds(score, R"(<circle class="point allied" cx="716" cy="220" r="4"><title>)"
                             R"(Game 2 \([0-9A-Za-z ]+, Ypres\): score -5</title></circle>)"));
    EXPECT_TRUE(holds(score, R"(<polyline class="score-line" points="276,20 716,220"/>)"));
    EXPECT_TRUE(holds(score, R"(<line class="axis" x1="56" y1="180" x2="936" y2="180"/>)"));
    EXPECT_TRUE(holds(
        score, R"(<desc>His score in each game, in the order they were played: )"
               R"(Game 1 \([0-9A-Za-z ]+, Verdun\) 20, Game 2 \([0-9A-Za-z ]+, Ypres\) -5\.)"));

    // One game, a name that needs escaping: the column in the middle (x 496);
    // scores from 0 to 30, so 30 at the top (20) and 0 at the bottom (220).
    const std::string carl = chart(pilotPage("Carl </script>&"), "pilot-score-chart");
    EXPECT_TRUE(holds(carl, R"(<circle class="point hun" cx="496" cy="20" r="4">)")) << carl;
    EXPECT_TRUE(holds(carl, R"(<line class="axis" x1="56" y1="220" x2="936" y2="220"/>)"));
    EXPECT_NE(pilotPage("Carl </script>&").find("<h1>Carl &lt;/script&gt;&amp;</h1>"),
              std::string::npos);
}

TEST_F(SitePages, APilotsKillsAndDeathsPerGame) {
    // Alice: 2 kills and 1 death, then 0 and 1. The tallest bar is 2: the
    // plot runs from y 20 (2 kills) to y 200 (2 deaths), base at 110, 45 a
    // count. Bars are 40 wide (60% of a 440 column, 40 at most), centred.
    const std::string bars = chart(pilotPage("Alice"), "pilot-activity-chart");
    EXPECT_TRUE(holds(bars, R"(<rect class="kill allied" x="256" y="20" width="40" height="90">)"
                            R"(<title>Game 1 \([0-9A-Za-z ]+, Verdun\): 2 kills</title></rect>)"))
        << bars;
    EXPECT_TRUE(holds(bars, R"(<rect class="death allied" x="256" y="110" width="40" )"
                            R"(height="45"><title>Game 1 [^<]*: 1 death</title></rect>)"));
    EXPECT_TRUE(holds(bars, R"(<rect class="death allied" x="696" y="110" width="40" )"
                            R"(height="45"><title>Game 2 [^<]*: 1 death</title></rect>)"));
    EXPECT_FALSE(holds(bars, R"(<rect class="kill allied" x="696")"));  // no kills in game 2
    EXPECT_TRUE(holds(bars,
                      "<desc>His kills \\(bars up\\) and deaths \\(bars down\\) in each of "
                      "his 2 games: 2 kills and 2 deaths in all; the tallest bar is 2\\."));
}

TEST_F(SitePages, TheIndexCarriesTheListToSearch) {
    const std::string index = bytesOf(site() + "/index.html");
    const std::string open = "<script type=\"application/json\" id=\"search-index\">";
    const std::size_t start = index.find(open);
    ASSERT_NE(start, std::string::npos);
    const std::string data =
        index.substr(start + open.size(), index.find("</script>", start) - start - open.size());
    EXPECT_EQ(data.find('<'), std::string::npos);  // no name can end the block
    const nlohmann::json entries = nlohmann::json::parse(data);
    // The pilots in the standings' order (Carl 30, Alice 15, Bruno 10), then the games.
    ASSERT_EQ(entries.size(), 5u) << entries;
    const auto pilot = [](const char* name, const char* side) {
        return nlohmann::json::array(
            {name, "pilots/" + league::pilotPageName(name), std::string("pilot, ") + side, ""});
    };
    EXPECT_EQ(entries[0], pilot("Carl </script>&", "Hun"));
    EXPECT_EQ(entries[1], pilot("Alice", "Allied"));
    EXPECT_EQ(entries[2], pilot("Bruno", "Hun"));
    EXPECT_TRUE(holds(entries[3][0], R"(^Game 1 \([0-9A-Za-z ]+, Verdun\)$)")) << entries[3];
    EXPECT_EQ(entries[3][1], "games/game-1.html");
    EXPECT_EQ(entries[3][2], "game");
    EXPECT_EQ(entries[3][3], "Alice Bruno");
    EXPECT_EQ(entries[4][1], "games/game-2.html");
    EXPECT_EQ(entries[4][3], "Alice Carl </script>&");
    // The box is shown by the script only.
    EXPECT_NE(index.find("<section id=\"search\" hidden>"), std::string::npos);
}

}  // namespace
}  // namespace vorskal::testing
