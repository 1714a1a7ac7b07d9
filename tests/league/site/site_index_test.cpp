// What the public site shows of leagues built by hand.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>

#include "base/system_files.h"
#include "league/listings/pilot_mask.h"
#include "league/site/season_site.h"
#include "league/site/site_text.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using results::Side;

// Game 1 is played on 2 Dec, game 2 on 1 Dec: the days' order is 2, 1.
// Standings by score: Bruno 10 + 30 = 40; Alice, Allied 20 - 5 = 15; Alice,
// Hun 15 (game 1's other side); Archie 0, on no side.
class SiteIndex : public ::testing::Test {
  protected:
    void SetUp() override {
        results::GameResults later = handGame("Ypres", "12/02/26",
                                              {{"Alice", Side::Allied, 0, 1, 0, 0, -5},
                                               {"Alice", Side::Hun, 3, 0, 0, 0, 15},
                                               {"Bruno", Side::Hun, 6, 0, 0, 0, 30},
                                               {"Archie", Side::Unknown, 1, 0, 0, 0, 5}});
        later.run.directory = "/srv/ux7/games/night-7/";
        later.run.startedAt = "2026-12-02T21:15:02+01:00";
        later.warnings.push_back({"unknown-aircraft", "ux7server.log", 4,
                                  "12/02/26 20:00:00 Kill of Bruno           FOKKER_DVII awarded "
                                  "to Alice           SOPWITH_CAMEL",
                                  "Bruno"});
        recordHand(db(), later, "k1");
        recordHand(db(),
                   handGame("Verdun", "12/01/26",
                            {{"Alice", Side::Allied, 2, 1, 0, 0, 20},
                             {"Bruno", Side::Hun, 1, 2, 0, 0, 10}}),
                   "k2");
    }
    std::string db() const { return dir_.path() + "/season.db"; }
    std::string site() const { return dir_.path() + "/site"; }
    std::string built() {
        const LeagueRun run = league({db(), "site", site()});
        EXPECT_EQ(run.status, 0) << run.err;
        return bytesOf(site() + "/index.html");
    }
    GameDir dir_;
};

bool holds(const std::string& text, const std::string& pattern) {
    return std::regex_search(text, std::regex(pattern));
}

TEST_F(SiteIndex, TheIndexAsALeagueShowsIt) {
    ASSERT_EQ(league({db(), "set", "league-name", "Flanders Flying League"}).status, 0);
    const std::string index = built();
    EXPECT_TRUE(holds(index, "<title>Flanders Flying League</title>"));
    EXPECT_TRUE(holds(index, "<h1>Flanders Flying League</h1><p>Season 1, 2 games</p>"));
    // The games, latest first, before the pilots.
    EXPECT_TRUE(holds(index,
                      "game-1.html\">Game 1</a></td><td>2 Dec 2026</td>[\\s\\S]*"
                      "game-2.html\">Game 2</a></td><td>1 Dec 2026</td>[\\s\\S]*id=\"pilots\""));
    // Rank, pilot, side, games, kills, deaths, K/D: equal scores share a
    // rank; no death counts as one (3 kills: 3.00). Ypres is scored at 5 a
    // kill and -5 a death, Verdun at 10 and 0: Bruno 30 + 10, Alice -5 + 20
    // on the Allied side and 15 on the Hun side.
    const auto row = [](const char* rank, const char* name, const char* rest) {
        return std::string("<tr><td class=\"n\">") + rank + "</td><td><a href=\"pilots/" +
               league::pilotPageName(name) + "\">" + name + "</a></td>" + rest;
    };
    for (const std::string& expected :
         {row("1", "Bruno",
              "<td>Hun</td><td class=\"n\">2</td><td class=\"n\">7</td>"
              "<td class=\"n\">2</td><td class=\"n\">3.50</td>"),
          row("2", "Alice",
              "<td>Allied</td><td class=\"n\">2</td><td class=\"n\">2</td>"
              "<td class=\"n\">2</td><td class=\"n\">1.00</td>"),
          row("2", "Alice",
              "<td>Hun</td><td class=\"n\">1</td><td class=\"n\">3</td>"
              "<td class=\"n\">0</td><td class=\"n\">3.00</td>")}) {
        EXPECT_NE(index.find(expected), std::string::npos) << expected;
    }
    // Archie apart, without a rank.
    EXPECT_TRUE(holds(index, "id=\"not-ranked\">[\\s\\S]*>Archie</a></td><td>unknown</td>"));
    EXPECT_FALSE(holds(index, "id=\"pilots\">((?!</table>).)*Archie"));
}

TEST_F(SiteIndex, OneGameOnBothSidesIsOneGameInTheDaysOrder) {
    built();
    const std::string alice = bytesOf(site() + "/pilots/" + league::pilotPageName("Alice"));
    EXPECT_TRUE(holds(alice, "<p>2 games \\(1 on both sides\\) in season 1</p>")) << alice;
    // Two columns, at 276 and 716: game 2 (1 Dec) 20, game 1 (2 Dec) -5 + 15 = 10.
    EXPECT_TRUE(holds(alice, ">1 Dec</text>[\\s\\S]*>2 Dec</text>"));
    EXPECT_TRUE(holds(alice,
                      "cx=\"716\"[^>]*><title>Game 1 \\(2 Dec 2026, Ypres\\) on both "
                      "sides: score 10</title>"));
    int points = 0;
    for (std::size_t at = alice.find("<circle"); at != std::string::npos;
         at = alice.find("<circle", at + 1)) {
        ++points;
    }
    EXPECT_EQ(points, 2);
}

TEST_F(SiteIndex, AGamePageNamesNoServerFolderAndNoRawTime) {
    built();
    const std::string game = bytesOf(site() + "/games/game-1.html");
    EXPECT_NE(game.find("night-7"), std::string::npos);
    EXPECT_NE(game.find("2 Dec 2026, 21:15"), std::string::npos);
    EXPECT_EQ(game.find("/srv/ux7"), std::string::npos);
    EXPECT_EQ(game.find("2026-12-02T"), std::string::npos);
}

TEST_F(SiteIndex, HiddenPilotsSetAndUnset) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* out;
    } steps[] = {
        {{"set", "hidden-pilot", "Bruno"}, 0, "Hidden: Bruno is shown as Hidden pilot 1"},
        // Twice: nothing changes.
        {{"set", "hidden-pilot", "Bruno"}, 0, "Already hidden: Bruno is shown as Hidden pilot 1"},
        // A name no game has: hidden all the same, before he flies.
        {{"set", "hidden-pilot", "Zed"},
         0,
         "Zed is shown as Hidden pilot 2 on the site, its downloads and posts (no game has a "
         "pilot of that name yet)"},
        {{"unset", "hidden-pilot", "Nobody"}, kExitUsage, ""},
        {{"unset", "hidden-pilot", "Zed"}, 0, "Shown again: Zed (was Hidden pilot 2)"},
        // Number 2 is Zed's for good; a name shown again and hidden gets its own back.
        {{"set", "hidden-pilot", "Alice"}, 0, "Alice is shown as Hidden pilot 3"},
        {{"set", "hidden-pilot", "Zed"}, 0, "Zed is shown as Hidden pilot 2"},
        {{"unset", "hidden-pilot", "Zed"}, 0, ""},
        {{"unset", "hidden-pilot", "Alice"}, 0, ""},
        {{"unset", "season", "1"}, kExitUsage, ""},
        {{"set", "hidden-pilot", ""}, kExitUsage, ""},
    };
    for (const auto& step : steps) {
        std::vector<std::string> args = {db()};
        args.insert(args.end(), step.args.begin(), step.args.end());
        const LeagueRun run = league(args);
        EXPECT_EQ(run.status, step.status) << step.args[0] << " " << step.args[2] << run.err;
        EXPECT_NE(run.out.find(step.out), std::string::npos) << run.out;
    }
    const LeagueRun listed = league({db(), "settings"});
    EXPECT_NE(listed.out.find("league-name (not set)\nhidden-pilot Bruno (shown as Hidden pilot "
                              "1)\n"),
              std::string::npos)
        << listed.out;
    EXPECT_EQ(listed.out, league({db(), "set"}).out);
    // The admin's own listings: the name.
    EXPECT_EQ(leagueJson({db(), "standings", "--format", "json"})["pilots"][0]["name"], "Bruno");

    const std::string index = built();
    EXPECT_NE(index.find(">Hidden pilot 1</a>"), std::string::npos);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(site())) {
        const std::string path = entry.path().string();
        EXPECT_EQ(path.find("Bruno"), std::string::npos);
        if (entry.is_regular_file()) {
            EXPECT_EQ(bytesOf(path).find("Bruno"), std::string::npos) << path;
        }
    }
    // Game 1's warning quotes his kill line: the pseudonym in its 16 columns.
    EXPECT_NE(bytesOf(site() + "/games/game-1.html").find("Kill of Hidden pilot 1  FOKKER_DVII"),
              std::string::npos);
}

TEST(PilotMaskTest, NamesInLogLines) {
    const league::PilotMask mask(
        {{"Otto", "Hidden pilot 1"}, {"Baron_von_Richth", "Hidden pilot 2"}});
    const struct {
        const char* text;
        const char* masked;
    } cases[] = {
        // The 16-character column keeps its width (4 + 12 blanks = 16).
        {"Kill of Otto            FOKKER_DVII awarded to Hans",
         "Kill of Hidden pilot 1  FOKKER_DVII awarded to Hans"},
        {"awarded to Otto", "awarded to Hidden pilot 1"},
        {"Player |Otto (UDP:…) has entered", "Player |Hidden pilot 1 (UDP:…) has entered"},
        {"Target Bridge #12 destroyed by Otto.", "Target Bridge #12 destroyed by Hidden pilot 1."},
        // Inside longer names: left alone.
        {"awarded to Ottokar", "awarded to Ottokar"},
        {"awarded to Big_Otto", "awarded to Big_Otto"},
        // A 16-character name: the start of the arena line's longer one.
        {"Player |Baron_von_Richthofen (UDP:…)", "Player |Hidden pilot 2 (UDP:…)"},
        {"Kill of Baron_von_Richth FOKKER_DVII", "Kill of Hidden pilot 2 FOKKER_DVII"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mask.text(c.text), c.masked);
    }
    EXPECT_EQ(mask.name("Otto"), "Hidden pilot 1");
    EXPECT_EQ(mask.name("Ottokar"), "Ottokar");
}

TEST(SiteTextTest, DaysTimesFoldersAndRatios) {
    EXPECT_EQ(league::readableDay("2026-12-06"), "6 Dec 2026");
    EXPECT_EQ(league::readableDay("2026-01-31"), "31 Jan 2026");
    EXPECT_EQ(league::readableDay(""), "day not known");
    EXPECT_EQ(league::readableDay("2026-13-01"), "day not known");
    EXPECT_EQ(league::shortDay("2027-09-30"), "30 Sep");
    EXPECT_EQ(league::readableTime("2026-12-06T21:15:02+01:00"), "6 Dec 2026, 21:15");
    EXPECT_EQ(league::readableTime("2026-12-06"), "");
    EXPECT_EQ(league::lastFolderName("/srv/ux7/games/game-7/"), "game-7");
    EXPECT_EQ(league::lastFolderName("C:\\ux7\\game-7"), "game-7");
    EXPECT_EQ(league::lastFolderName("C:\\"), "");
    EXPECT_EQ(league::lastFolderName("game"), "game");
    EXPECT_EQ(league::lastFolderName("/"), "");
    // 4 / 3 = 1.333; 2 / 3 = 0.667; 1 / 8 = 0.125, half up 0.13; none: the kills.
    EXPECT_EQ(league::killsPerDeath(4, 3), "1.33");
    EXPECT_EQ(league::killsPerDeath(2, 3), "0.67");
    EXPECT_EQ(league::killsPerDeath(1, 8), "0.13");
    EXPECT_EQ(league::killsPerDeath(3, 0), "3.00");
    EXPECT_EQ(league::killsPerDeath(0, 5), "0.00");
    EXPECT_EQ(league::ranksOf({40, 15, 15, 10, 10, 10, 0}),
              (std::vector<std::int64_t>{1, 2, 2, 4, 4, 4, 7}));
}

// A pilot's charts, where the numbers land worked out from the chart's plot
// area (x 56 to 936, a column per game); the index's list to search.
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

#ifndef _WIN32  // file times as Linux keeps them
// After one more game only the pages whose bytes change are written again:
// the others keep their file and time.
TEST_F(SitePages, OnlyThePagesThatChangeAreWrittenAgain) {
    namespace fs = std::filesystem;
    const std::string site = this->site();
    const auto pilotPage = [](const char* name) { return "pilots/" + league::pilotPageName(name); };
    // Every file dated long ago, so that a file written again shows.
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    for (const auto& entry : fs::recursive_directory_iterator(site)) {
        if (entry.is_regular_file()) {
            fs::last_write_time(entry.path(), longAgo);
        }
    }
    const std::vector<std::string> unchanged = {"games/game-1.html", "games/game-2.html",
                                                pilotPage("Alice"), pilotPage("Bruno")};
    const std::vector<std::string> changed = {"index.html",          pilotPage("Carl </script>&"),
                                              "data/standings.json", "data/standings.csv",
                                              "data/games.json",     "data/games.csv",
                                              ".vorskal-site"};  // it lists game 3's page
    std::vector<FileAt> before;
    for (const std::string& relative : unchanged) {
        before.push_back(fileAt(site + "/" + relative));
    }

    // Carl flies again, Dora for the first time.
    recordHand(db(),
               handGame("Arras", "12/03/26",
                        {{"Carl </script>&", Side::Hun, 1, 0, 0, 0, 10},
                         {"Dora", Side::Allied, 0, 1, 0, 0, 0}}),
               "k3");
    const LeagueRun run = league({db(), "site", site});
    ASSERT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 0; i < unchanged.size(); ++i) {
        SCOPED_TRACE(unchanged[i]);
        EXPECT_TRUE(fileAt(site + "/" + unchanged[i]).sameFileAs(before[i]));
        EXPECT_EQ(fs::last_write_time(site + "/" + unchanged[i]), longAgo);
    }
    for (const std::string& relative : changed) {
        SCOPED_TRACE(relative);
        EXPECT_GT(fs::last_write_time(site + "/" + relative), longAgo);
    }
    EXPECT_TRUE(fs::is_regular_file(site + "/games/game-3.html"));
    EXPECT_TRUE(fs::is_regular_file(site + "/" + pilotPage("Dora")));
}
#endif

}  // namespace
}  // namespace vorskal::testing
