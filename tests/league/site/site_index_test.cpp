// What the public site shows of a league: the index (the league's name, the
// latest games first, ranks and K/D, the entries on no side apart), a pilot
// who flew both sides of one game, a game page's header without the
// server's folder or a raw time, and the hidden pilots, set and unset, whose
// names no file of the site holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

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

// Each step: the command, its status, what its output holds.
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

// Where a hidden name stands in a quoted text, and where it does not.
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

}  // namespace
}  // namespace vorskal::testing
