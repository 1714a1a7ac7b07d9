// One game is one game however it arrives. The three ways a game entered
// the standings twice, each a case of one table: a report file holding two
// tallies of the game, imported; a game recorded, then its report file
// imported; a report file imported, then the game recorded. A refused
// --record leaves "vorskal.log" byte for byte as it was. A game that is
// probably the same as another under another key is recorded with a
// warning, and `check` lists the pair.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

// The sample game in a fresh folder, its league file, the same game tallied
// early (its last numbered log not yet written), and another league file
// (another server's) that recorded the whole game.
struct Game {
    GameDir dir;
    GameDir early;
    std::string db = dir.path() + "/season.db";
    std::string other = early.path() + "/other.db";
    Game() {
        copySampleGame(dir);
        copySampleGame(early);
        std::filesystem::remove(early.path() + "/ux7server2.log");
    }
    std::string report() const { return dir.path() + "/vorskal.log"; }
};

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        all.push_back(word);
    }
    return all;
}

// One step of a path: "tally ARGS" (no league), "record ARGS", "early
// ARGS" (the early folder recorded), "empty" (a folder whose log is
// empty, recorded), "sql STATEMENT", "import", "merge" (the other league
// file, holding the whole game), "league COMMAND ARGS".
LeagueRun runStep(Game& game, const std::string& step, std::size_t i) {
    std::vector<std::string> args = words(step);
    const std::string verb = args.front();
    args.erase(args.begin());
    if (verb == "tally") {
        const LeagueRun run = tally({game.dir.path()});
        // Tallied at another time than any other step.
        std::string reports = game.dir.read("vorskal.log");
        const std::size_t time = reports.rfind("Current time is ") + 16;
        reports.replace(time, 8, "19:0" + std::to_string(i) + ":00");
        game.dir.write("vorskal.log", reports);
        return run;
    }
    if (verb == "record" || verb == "early") {
        args.insert(args.end(),
                    {"--record", game.db, (verb == "early" ? game.early : game.dir).path()});
        return tally(args);
    }
    if (verb == "empty") {  // a game whose log holds nothing yet
        GameDir empty;
        empty.write("ux7server0.log", "");
        empty.write("vorskal.ini", game.dir.read("vorskal.ini"));
        return tally({"--record", game.db, empty.path()});
    }
    if (verb == "sql") {  // the file as an older version left it
        league::Connection(game.db, league::Connection::Mode::ReadWrite)
            .exec(step.substr(step.find(' ') + 1));
        return {0, "", ""};
    }
    if (verb == "import") {
        return league({game.db, "import", game.report()});
    }
    if (verb == "merge") {
        GameDir whole;
        copySampleGame(whole);
        EXPECT_EQ(tally({"--record", game.other, whole.path()}).status, 0);
        return league({game.db, "merge", game.other});
    }
    args.insert(args.begin(), game.db);
    return league(args);
}

struct Path {
    const char* what;
    std::vector<const char*> steps;
    std::vector<int> statuses;      // of each step
    std::vector<const char*> says;  // on standard output or error, each step
    int alliedFinal;                // of the game with the highest number
    std::size_t games = 1;          // in the standings at the end
};

// The game's lines: 86, 53 and 48 in its three numbered logs; the early
// tally has the first two. Its Allied final total is 79; early, 59.
const Path kPaths[] = {
    {"two tallies in one report file, imported",
     {"tally", "tally", "import"},
     {0, 0, 0},
     {"", "", "2 reports: 1 recorded, 1 already recorded"},
     79},
    {"recorded, then its report file imported",
     {"record", "import"},
     {0, 0},
     {"Recorded in", "1 report: 0 recorded, 1 already recorded"},
     79},
    {"imported, then recorded",
     {"tally", "import", "record"},
     {0, 0, 2},
     {"", "1 report: 1 recorded",
      "this game is recorded already (game 1); nothing recorded and "
      "nothing appended to vorskal.log"},
     79},
    {"recorded twice, then its report file imported",
     {"record", "record", "import"},
     {0, 2, 0},
     {"Recorded in", "recorded already (game 1)", "1 report: 0 recorded, 1 already recorded"},
     79},
    {"the same logs with other settings",
     {"record", "record --all-targets", "league check"},
     {0, 2, 0},
     {"Recorded in",
      "these logs are game 1, recorded with other settings; --replace replaces it; nothing "
      "recorded and nothing appended to vorskal.log",
      "No game counted twice"},
     79},
    {"the same logs replaced, the old version restored",
     {"record", "record --all-targets --replace", "league restore 1", "league restore 2",
      "record --all-targets"},
     {0, 0, 0, 0, 2},
     {"Recorded in", "The version it replaced is kept as game 2", "  game 2 (recorded ",
      "Restored game 2, an earlier version, as game 1", "these logs are game 1"},
     79},
    {"the same logs replaced, then the old report file imported",
     {"record", "record --all-targets --replace", "import"},
     {0, 0, 0},
     {"Recorded in", "The version it replaced is kept as game 2",
      "2 reports: 0 recorded, 1 already recorded, 1 skipped"},
     89},
    {"an early tally, then the whole game",
     {"early", "record", "record --replace", "league restore 1"},
     {0, 2, 0, 0},
     {"Recorded in",
      "game 1 was tallied from the first 139 lines of these logs; --replace replaces it",
      "Replaced in", "game 2 (recorded "},
     79},
    {"the early tally kept",
     {"early", "league check"},
     {0, 0},
     {"Recorded in", "No game counted twice"},
     59},
    {"a removal sticks, whatever road the game comes back by",
     {"record", "league remove 1", "record", "import", "merge", "league show 1", "league restore 1",
      "league check"},
     {0, 0, 2, 0, 0, 2, 0, 0},
     {"Recorded in", "Removed game 1", "game 1 was removed here; `restore 1` takes it back",
      "game 1 was removed here; `restore 1` takes it back: skipped",
      "game 1 was removed here; `restore 1` takes it back: skipped",
      "game 1 was removed; vorskal-league ", "Restored game 1", "No game counted twice"},
     79},
    {"a removed game replaced",
     {"early", "league remove 1", "record --replace", "league set season autumn",
      "record --replace"},
     {0, 0, 0, 0, 0},
     {"Recorded in", "Removed game 1", "Replaced in", "Set season", "as game 1 (season 1)"},
     79},
    {"the whole game merged onto its early tally",
     {"early", "merge"},
     {0, 0},
     {"Recorded in", "game 1 was tallied from the first 139 lines of these logs: skipped"},
     59},
    {"the whole game, then an early tally",
     {"record", "early", "merge"},
     {0, 2, 0},
     {"Recorded in", "game 1 was tallied from more of these logs (187 lines)",
      "0 recorded, 1 already recorded"},
     79},
    {"the same logs twice, left by an older version",
     {"record", "record --all-targets --replace",
      "sql UPDATE games SET removed_at = NULL, replaced_by = NULL", "league check"},
     {0, 0, 0, 3},
     {"Recorded in", "Replaced in", "",
      "The same logs: games 1 and 2 were tallied from the same merged log with other settings"},
     79,
     2},
    {"an early tally beside the whole game, left by an older version",
     {"early", "record --replace", "sql UPDATE games SET removed_at = NULL, replaced_by = NULL",
      "league check"},
     {0, 0, 0, 3},
     {"Recorded in", "Replaced in", "",
      "The same logs: games 1 and 2: game 2 was tallied from the first 139 lines of the other's "
      "logs"},
     59,
     2},
    {"an empty log begins every log, but is no early tally of them",
     {"empty", "record"},
     {0, 0},
     {"Recorded in", "as game 2"},
     79,
     2},
};

TEST(IdentityTest, OneGameHoweverItArrivesAndWhateverHappensToIt) {
    for (const Path& path : kPaths) {
        SCOPED_TRACE(path.what);
        Game game;
        for (std::size_t i = 0; i < path.steps.size(); ++i) {
            SCOPED_TRACE(path.steps[i]);
            const std::string before = game.dir.read("vorskal.log");
            const LeagueRun run = runStep(game, path.steps[i], i);
            EXPECT_EQ(run.status, path.statuses[i]) << run.out << run.err;
            EXPECT_NE((run.out + run.err).find(path.says[i]), std::string::npos)
                << run.out << run.err;
            if (run.status == 2) {
                EXPECT_EQ(game.dir.read("vorskal.log"), before);
                EXPECT_EQ(run.out.find("Tally Complete"), std::string::npos);
            }
        }
        const nlohmann::json games =
            leagueJson({game.db, "games", "--all-seasons", "--format", "json"})["games"];
        ASSERT_EQ(games.size(), path.games);
        for (const nlohmann::json& listed : games) {
            if (listed["id"] == path.games) {
                EXPECT_EQ(listed["alliedTotal"], path.alliedFinal);
            }
        }
    }
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
