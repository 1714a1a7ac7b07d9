// Recording games built by hand, and the standings read back: every number
// below is summed by hand from the rows of the three games.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "league/listings/queries.h"
#include "league/store/game_store.h"
#include "league/store/league_file.h"
#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

using league::LeagueFile;
using results::Side;

// A: Allied 40 - 6 penalty = 34 against Hun 15 (Allied win).
// B: Allied -10 against Hun 32 (Hun win); Snoopy flies both sides.
// C: 5 against 5 (drawn).
const results::GameResults kGameA = handGame("Verdun", "12/06/26",
                                             {{"Snoopy", Side::Allied, 3, 1, 2, 15, 40},
                                              {"Udet", Side::Hun, 2, 1, 0, 0, 15},
                                              {"Archie", Side::Unknown, 2, 0, 0, 0, 20}},
                                             6);
const results::GameResults kGameB = handGame("Flanders", "12/13/26",
                                             {{"Snoopy", Side::Allied, 0, 2, 0, 0, -10},
                                              {"Snoopy", Side::Hun, 1, 0, 0, 0, 10},
                                              {"Udet", Side::Hun, 1, 0, 1, 12, 22}});
const results::GameResults kGameC =
    handGame("Verdun", "12/20/26",
             {{"Snoopy", Side::Allied, 1, 1, 0, 0, 5}, {"Udet", Side::Hun, 1, 1, 0, 0, 5}});

class RecordTest : public ::testing::Test {
  protected:
    // The games are recorded an hour apart from 2026-12-06 20:15:03 UTC on.
    void SetUp() override {
        FixedClock clock;
        LeagueFile file(db, LeagueFile::Access::Write, clock);
        for (const auto& [game, key] :
             {std::pair{&kGameA, "a1a1"}, std::pair{&kGameB, "b2b2"}, std::pair{&kGameC, "c3c3"}}) {
            ASSERT_EQ(league::recordGame(file, *game, nullptr, handIdentity(key), {}).outcome,
                      league::RecordOutcome::Recorded);
            clock.moment += 3600;
        }
    }
    nlohmann::json standings(std::vector<std::string> args = {}) {
        args.insert(args.begin(), {db, "standings", "--format", "json"});
        return leagueJson(args);
    }

    GameDir dir;
    std::string db = dir.path() + "/season.db";
};

TEST_F(RecordTest, StandingsAreTheSumsOfTheRowsAndTheSidesTheFinalTotals) {
    const nlohmann::json all = standings();
    ASSERT_EQ(all["pilots"].size(), 4u);
    // Highest score first: Udet 15+22+5, Snoopy (Allied) 40-10+5, Archie, Snoopy (Hun).
    EXPECT_EQ(all["pilots"][0], nlohmann::json::parse(R"({"name":"Udet","team":"Hun","games":3,
        "kills":4,"deaths":2,"targetsDestroyed":1,"targetPoints":12,"score":42})"));
    EXPECT_EQ(all["pilots"][1], nlohmann::json::parse(R"({"name":"Snoopy","team":"Allied",
        "games":3,"kills":4,"deaths":4,"targetsDestroyed":2,"targetPoints":15,"score":35})"));
    EXPECT_EQ(all["pilots"][2]["team"], "unknown");
    EXPECT_EQ(all["pilots"][3]["name"], "Snoopy");
    EXPECT_EQ(all["pilots"][3]["team"], "Hun");
    EXPECT_EQ(all["sides"], nlohmann::json::parse(R"([
        {"team":"Allied","games":3,"won":1,"lost":1,"drawn":1,"pointsFor":29,"pointsAgainst":52},
        {"team":"Hun","games":3,"won":1,"lost":1,"drawn":1,"pointsFor":52,"pointsAgainst":29}])"));
}

TEST_F(RecordTest, MapAndDaysNarrowTheGamesTakenIn) {
    const nlohmann::json verdun = standings({"--map", "Verdun"});  // A and C
    EXPECT_EQ(verdun["sides"][0]["pointsFor"], 39);
    EXPECT_EQ(verdun["sides"][0]["won"], 1);
    EXPECT_EQ(verdun["sides"][0]["drawn"], 1);
    EXPECT_EQ(verdun["pilots"][0]["name"], "Snoopy");
    EXPECT_EQ(verdun["pilots"][0]["score"], 45);  // 40 + 5
    const nlohmann::json week2 = standings({"--from", "2026-12-13", "--to", "2026-12-13"});
    EXPECT_EQ(week2["sides"][1]["won"], 1);
    EXPECT_EQ(week2["sides"][1]["games"], 1);
    EXPECT_EQ(week2["pilots"].size(), 3u);
    EXPECT_EQ(standings({"--from", "2026-12-21"})["sides"][0]["games"], 0);
    EXPECT_EQ(league({db, "standings", "--from", "12/06/26"}).status, kExitUsage);
}

TEST_F(RecordTest, SortingByAnyColumnEitherWay) {
    const auto names = [](const nlohmann::json& s) {
        std::string joined;
        for (const auto& p : s["pilots"]) {
            joined += p["name"].get<std::string>() + "/" + p["team"].get<std::string>() + " ";
        }
        return joined;
    };
    EXPECT_EQ(names(standings({"--sort", "deaths"})),
              "Snoopy/Allied Udet/Hun Archie/unknown Snoopy/Hun ");
    EXPECT_EQ(names(standings({"--sort", "name"})),
              "Archie/unknown Snoopy/Allied Snoopy/Hun Udet/Hun ");
    EXPECT_EQ(names(standings({"--sort", "targetPoints", "--reverse"})),
              "Archie/unknown Snoopy/Hun Udet/Hun Snoopy/Allied ");
    EXPECT_EQ(standings({"--sort", "pointsFor"})["sides"][0]["team"], "Hun");
    EXPECT_EQ(league({db, "standings", "--sort", "luck"}).status, kExitUsage);
}

TEST_F(RecordTest, SameGameRefusedOrReplacedUnderItsNumberRemovedAndRestored) {
    LeagueFile file(db, LeagueFile::Access::Write);
    results::GameResults again = kGameA;
    again.pilots[0].kills = 99;  // 99 kills at 10, 1 death at -5, 15 target points
    again.pilots[0].score = 1000;
    again.allied.kills += 96;  // the totals follow the row
    again.allied.score += 960;
    again.allied.final += 960;
    EXPECT_EQ(league::recordGame(file, kGameA, nullptr, handIdentity("a1a1"), {}).outcome,
              league::RecordOutcome::Duplicate);
    const league::RecordResult conflict =
        league::recordGame(file, again, nullptr, handIdentity("a1a1"), {});
    EXPECT_EQ(conflict.outcome, league::RecordOutcome::Conflict);
    EXPECT_EQ(conflict.conflict,
              "pilot \"Snoopy\": kills 3 in game 1, 99 in this one; pilot \"Snoopy\": score 40 "
              "in game 1, 1000 in this one; the Allied kills 3 in game 1, 99 in this one; and 2 "
              "more");
    // Archie moved to the Hun side, the Hun totals raised to match (Udet's 2
    // kills and 15 points, and Archie's 2 and 20).
    results::GameResults turned = kGameA;
    turned.pilots[2].team = Side::Hun;
    turned.pilots[2].teamCode = 2;
    turned.hun.kills += 2;
    turned.hun.score += 20;
    turned.hun.final += 20;
    EXPECT_EQ(league::recordGame(file, turned, nullptr, handIdentity("a1a1"), {}).conflict,
              "pilot \"Archie\"'s side \"unknown\" in game 1, \"Hun\" in this one; the Hun kills "
              "2 in game 1, 4 in this one; the Hun score 15 in game 1, 35 in this one; and 1 more");
    EXPECT_EQ(standings()["pilots"][1]["score"], 35);

    const league::RecordResult replaced =
        league::recordGame(file, again, nullptr, handIdentity("a1a1"),
                           {"", true, true, std::nullopt, std::nullopt, false, {}});
    EXPECT_EQ(replaced.outcome, league::RecordOutcome::Replaced);
    EXPECT_EQ(replaced.id, 1);
    EXPECT_EQ(standings()["pilots"][0]["score"], 995);  // 1000 - 10 + 5

    // Removed: out of the standings, rows kept, said what it was, restorable once.
    const LeagueRun removed = league({db, "remove", "1"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_NE(removed.out.find("Removed game 1 (season 1, played 2026-12-06, map Verdun, Allied "
                               "994, Hun 15, 3 pilots)"),
              std::string::npos)
        << removed.out;
    EXPECT_NE(removed.out.find("restore 1 puts it back"), std::string::npos);
    const nlohmann::json left = standings();
    EXPECT_EQ(left["sides"][0]["games"], 2);
    EXPECT_EQ(left["pilots"].size(), 3u);  // Archie flew only in A
    EXPECT_EQ(league({db, "remove", "1"}).status, kExitFailed);

    const LeagueRun restored = league({db, "restore", "1"});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(standings()["pilots"][0]["score"], 995);
    const LeagueRun twice = league({db, "restore", "1"});
    EXPECT_EQ(twice.status, kExitFailed);
    EXPECT_NE(twice.err.find("game 1 is recorded and has no earlier version to restore"),
              std::string::npos)
        << twice.err;
}

TEST_F(RecordTest, ListingsOfTheGamesAndOfOneGame) {
    const LeagueRun text = league({db, "games"});
    EXPECT_NE(text.out.find("Games (season 1): 3"), std::string::npos) << text.out;
    const nlohmann::json games = leagueJson({db, "games", "--format", "json"});
    ASSERT_EQ(games["games"].size(), 3u);
    EXPECT_EQ(games["games"][0]["playedOn"], "2026-12-06");
    EXPECT_EQ(games["games"][1]["hunTotal"], 32);
    EXPECT_EQ(games["games"][1]["season"], "1");
    EXPECT_EQ(games["games"][0]["recordedAt"], "2026-12-06T20:15:03Z");
    EXPECT_EQ(games["games"][2]["recordedAt"], "2026-12-06T22:15:03Z");

    // One game in the results' own JSON, the league's facts apart (the rest
    // is the run's results JSON: scenario_record_test.cpp).
    const nlohmann::json shown = leagueJson({db, "show", "2", "--format", "json"});
    EXPECT_EQ(shown["formatVersion"], 2);
    EXPECT_EQ(shown["league"]["id"], 2);
    EXPECT_EQ(shown["league"]["key"], "b2b2");
    EXPECT_EQ(shown["teams"]["Hun"]["final"], 32);
}

TEST_F(RecordTest, SeasonsAreKeptApart) {
    ASSERT_EQ(league({db, "set", "season", "spring"}).status, 0);
    EXPECT_EQ(
        league({db, "set"}).out,
        "season spring\ndate-order mdy (not set: inferred from the "
        "season's games)\nwebhook (not set)\nsite-address (not set)\nleague-name (not set)\n");
    LeagueFile file(db, LeagueFile::Access::Write);
    const results::GameResults spring =
        handGame("Somme", "03/01/27", {{"Udet", Side::Hun, 5, 0, 0, 0, 50}});
    EXPECT_EQ(league::recordGame(file, spring, nullptr, handIdentity("e5e5"), {}).season, "spring");
    EXPECT_EQ(standings()["pilots"].size(), 1u);
    EXPECT_EQ(standings()["pilots"][0]["score"], 50);
    EXPECT_EQ(standings({"--season", "1"})["pilots"][0]["score"], 42);
    EXPECT_EQ(standings({"--all-seasons"})["pilots"][0]["score"], 92);  // 42 + 50
    EXPECT_EQ(standings({"--all-seasons"})["sides"][1]["games"], 4);
    EXPECT_EQ(league({db, "standings", "--season", "1", "--all-seasons"}).status, kExitUsage);
    EXPECT_EQ(league({db, "set", "colour", "red"}).status, kExitUsage);
}

// One game is one game however it arrives; a refused --record leaves
// "vorskal.log" byte for byte as it was.
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

// One step of a path: "tally ARGS" (no league), "record ARGS", "early
// ARGS" (the early folder recorded), "empty" (a folder whose log is
// empty, recorded), "sql STATEMENT", "import", "merge" (the other league
// file, holding the whole game), "league COMMAND ARGS".
LeagueRun runStep(Game& game, const std::string& step, std::size_t i) {
    std::istringstream words(step);
    std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
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
            // After every command, the league file stands alone.
            EXPECT_FALSE(std::filesystem::exists(game.db + "-wal"));
            EXPECT_FALSE(std::filesystem::exists(game.db + "-shm"));
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
