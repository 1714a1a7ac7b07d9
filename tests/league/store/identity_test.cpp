// One game is one game however it arrives. The three ways a game entered
// the standings twice, each a case of one table: a report file holding two
// tallies of the game, imported; a game recorded, then its report file
// imported; a report file imported, then the game recorded. A refused
// --record leaves "vorskal.log" byte for byte as it was. A game that is
// probably the same as another under another key is recorded with a
// warning, and `check` lists the pair.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

// The sample game in a fresh folder, and its league file.
struct Game {
    GameDir dir;
    std::string db = dir.path() + "/season.db";
    Game() { copySampleGame(dir); }
    std::string report() const { return dir.path() + "/vorskal.log"; }
};

enum class Step { Tally, Record, Import };

struct Path {
    const char* what;
    std::vector<Step> steps;
    std::vector<int> statuses;      // of each step
    std::vector<const char*> says;  // on standard output or error, each step
};

const Path kPaths[] = {
    {"two tallies in one report file, imported",
     {Step::Tally, Step::Tally, Step::Import},
     {0, 0, 0},
     {"", "", "2 reports: 1 recorded, 1 already recorded"}},
    {"recorded, then its report file imported",
     {Step::Record, Step::Import},
     {0, 0},
     {"Recorded in", "1 report: 0 recorded, 1 already recorded"}},
    {"imported, then recorded",
     {Step::Tally, Step::Import, Step::Record},
     {0, 0, 2},
     {"", "1 report: 1 recorded",
      "this game is recorded already (game 1); nothing recorded and "
      "nothing appended to vorskal.log"}},
    {"recorded twice, then its report file imported",
     {Step::Record, Step::Record, Step::Import},
     {0, 2, 0},
     {"Recorded in", "recorded already (game 1)", "1 report: 0 recorded, 1 already recorded"}},
};

TEST(IdentityTest, OneGameHoweverItArrives) {
    for (const Path& path : kPaths) {
        SCOPED_TRACE(path.what);
        Game game;
        for (std::size_t i = 0; i < path.steps.size(); ++i) {
            SCOPED_TRACE(i);
            const std::string before = game.dir.read("vorskal.log");
            LeagueRun run;
            switch (path.steps[i]) {
                case Step::Tally: {
                    run = tally({game.dir.path()});
                    // Tallied at another time than any other step.
                    std::string reports = game.dir.read("vorskal.log");
                    const std::size_t time = reports.rfind("Current time is ") + 16;
                    reports.replace(time, 8, "19:0" + std::to_string(i) + ":00");
                    game.dir.write("vorskal.log", reports);
                    break;
                }
                case Step::Record:
                    run = tally({"--record", game.db, game.dir.path()});
                    break;
                case Step::Import:
                    run = league({game.db, "import", game.report()});
                    break;
            }
            EXPECT_EQ(run.status, path.statuses[i]) << run.err;
            EXPECT_NE((run.out + run.err).find(path.says[i]), std::string::npos)
                << run.out << run.err;
            if (run.status == 2) {
                EXPECT_EQ(game.dir.read("vorskal.log"), before);
                EXPECT_EQ(run.out.find("Tally Complete"), std::string::npos);
            }
        }
        const nlohmann::json games = leagueJson({game.db, "games", "--format", "json"});
        EXPECT_EQ(games["games"].size(), 1u);
    }
}

// Tallies with other options are other games; --replace puts the new tally
// in the old one's place, under its number, and appends its report.
TEST(IdentityTest, ReplaceKeepsTheNumber) {
    Game game;
    ASSERT_EQ(tally({"--record", game.db, game.dir.path()}).status, 0);
    const LeagueRun other = tally({"--all-targets", "--record", game.db, game.dir.path()});
    EXPECT_NE(other.out.find("as game 2"), std::string::npos) << other.out << other.err;
    const std::size_t reports = game.dir.read("vorskal.log").size();
    const LeagueRun replaced = tally({"--record", game.db, "--replace", game.dir.path()});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_NE(replaced.out.find("Replaced in " + game.db + " as game 1"), std::string::npos)
        << replaced.out;
    EXPECT_GT(game.dir.read("vorskal.log").size(), reports);
    EXPECT_EQ(leagueJson({game.db, "games", "--format", "json"})["games"].size(), 2u);
}

// The same game's report as another version of the tally wrote it: another
// key, but the same day, map and rows.
TEST(IdentityTest, ProbablyTheSameGameIsWarnedAboutAndChecked) {
    Game game;
    ASSERT_EQ(tally({"--record", game.db, game.dir.path()}).status, 0);
    std::string report = game.dir.read("vorskal.log");
    const std::string credit = "Rev 3.40 -- ";
    report.insert(report.find(credit) + credit.size(), "a later build of ");
    game.dir.write("other.log", report);

    const LeagueRun imported = league({game.db, "import", game.dir.path() + "/other.log"});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("1 report: 1 recorded"), std::string::npos) << imported.out;
    EXPECT_NE(imported.err.find("(game 2): probably the same game as game 1"), std::string::npos)
        << imported.err;

    const LeagueRun check = league({game.db, "check"});
    EXPECT_EQ(check.status, kExitFindings);
    EXPECT_NE(check.out.find("Probably the same game: games 1 and 2 (played 2026-12-06 on Verdun"),
              std::string::npos)
        << check.out;
    ASSERT_EQ(league({game.db, "remove", "2"}).status, 0);
    const LeagueRun clean = league({game.db, "check"});
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_NE(clean.out.find("Removed: game 2"), std::string::npos) << clean.out;
}

}  // namespace
}  // namespace vorskal::testing
