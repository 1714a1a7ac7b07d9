// A league of several servers: the results JSON of a run imported into a
// league file is the game its --record records (the same game in `show`,
// the same standings), known again by the report's key whether it comes as
// the JSON again, as its report file or by the --record itself; a league
// file merged into another brings every game once. A file that is not a
// game's results changes nothing and is named.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <set>

#include "results/sha256.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

json parsed(const LeagueRun& run) {
    EXPECT_EQ(run.status, 0) << run.err;
    return json::parse(run.out);
}

// Every run of these tests records at the same fixed moment, so a game
// recorded, imported or merged shows the same recording time.
json shownWithoutNumber(const std::string& db, const std::string& key) {
    json shown = parsed(league({db, "show", key, "--format", "json"}));
    EXPECT_EQ(shown["league"]["recordedAt"], "2026-12-06T20:15:03Z");
    shown["league"].erase("id");
    return shown;
}

TEST(SeveralServersTest, ImportedResultsAndMergedLeaguesAreTheGamesRecorded) {
    GameDir work;
    const std::string recorded = work.path() + "/recorded.db";
    const std::string imported = work.path() + "/imported.db";
    std::set<std::string> keys;
    for (const ScenarioFolder& s : completedScenarios()) {
        SCOPED_TRACE(s.name);
        GameDir dir;
        copyInputs(s, dir);
        const std::string before = dir.read("vorskal.log");
        std::vector<std::string> args = s.switches;
        const std::string results = work.path() + "/results.json";
        args.insert(args.end(), {"--record", recorded, "--replace", "--json", results, dir.path()});
        const LeagueRun run = tally(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const json written = json::parse(bytesOf(results));
        const std::string key = written["report"]["key"];
        // The whole report's SHA-256 is the one of the bytes the run
        // appended, from its title line on.
        const std::string report = dir.read("vorskal.log").substr(before.size());
        results::Sha256 whole;
        whole.update(report.substr(report.find("UX7SERVER Log Tally (VORSKAL.LOG)\r\n")));
        EXPECT_EQ(written["report"]["sha256"], whole.hexDigest());
        if (!keys.insert(key).second) {
            continue;  // a folder whose report is another's line for line: one game
        }

        const LeagueRun first = league({imported, "import", results});
        EXPECT_EQ(first.status, 0) << first.err;
        EXPECT_NE(first.out.find(": results of one game: recorded as game "), std::string::npos)
            << first.out;
        EXPECT_EQ(shownWithoutNumber(imported, key), shownWithoutNumber(recorded, key));

        // Known again: the JSON twice, the JSON where the run recorded it,
        // and the report file where the JSON was imported.
        for (const std::string& db : {imported, recorded}) {
            const LeagueRun again = league({db, "import", results});
            EXPECT_NE(again.out.find(": results of one game: already recorded as game "),
                      std::string::npos)
                << again.out;
        }
        work.write("vorskal.log", report);
        const LeagueRun reportFile = league({imported, "import", work.path() + "/vorskal.log"});
        EXPECT_NE(reportFile.out.find("1 reports: 0 recorded, 1 already recorded"),
                  std::string::npos)
            << reportFile.out;
    }
    ASSERT_GT(keys.size(), 40u);
    EXPECT_EQ(parsed(league({imported, "standings", "--format", "json"})),
              parsed(league({recorded, "standings", "--format", "json"})));
    EXPECT_EQ(parsed(league({imported, "games", "--format", "json"}))["games"].size(), keys.size());

    // The recorded league merged into a new one: every game, the same
    // games, the same standings; again, or from the imported league, nothing.
    const std::string merged = work.path() + "/merged.db";
    const std::string count = std::to_string(keys.size());
    const LeagueRun merge = league({merged, "merge", recorded});
    EXPECT_EQ(merge.out,
              recorded + ": " + count + " games: " + count + " recorded, 0 already recorded\n")
        << merge.err;
    for (const std::string& key : keys) {
        EXPECT_EQ(shownWithoutNumber(merged, key), shownWithoutNumber(recorded, key));
    }
    EXPECT_EQ(parsed(league({merged, "standings", "--format", "json"})),
              parsed(league({recorded, "standings", "--format", "json"})));
    for (const std::string& other : {recorded, imported}) {
        EXPECT_EQ(league({merged, "merge", other}).out,
                  other + ": " + count + " games: 0 recorded, " + count + " already recorded\n");
    }
    EXPECT_EQ(league({merged, "merge", merged}).status, kExitFailed);
}

// One real results file, spoiled in one way each: the file is named and
// skipped, and the league file stays without games.
TEST(SeveralServersTest, WhatIsNotAGamesResultsIsSkippedAndNamed) {
    GameDir dir;
    for (const ScenarioFolder& s : completedScenarios()) {
        if (s.name == "merge-numbered-logs") {
            copyInputs(s, dir);
        }
    }
    const std::string path = dir.path() + "/results.json";
    ASSERT_EQ(tally({"--json", path, dir.path()}).status, 0);
    const json good = json::parse(bytesOf(path));

    const auto with = [&](const std::function<void(json&)>& change) {
        json spoiled = good;
        change(spoiled);
        return spoiled.dump();
    };
    const struct {
        std::string bytes;
        std::string said;
    } cases[] = {
        {"{\"formatVersion\":3,", "is not JSON"},
        {"{\"run\":{}}", "is not the results of a game (no formatVersion)"},
        {with([](json& j) { j["formatVersion"] = 2; }),
         "has results format version 2, which carries no key of the game"},
        {with([](json& j) { j["formatVersion"] = 4; }),
         "has results format version 4, newer than this program's 3"},
        {with([](json& j) { j.erase("teams"); }), "is not the results of a game"},
        {with([](json& j) { j["report"]["key"] = "ABC"; }),
         "report.key is not 64 lower-case hex digits"},
        {with([](json& j) { j["pilots"][0]["team"] = "French"; }),
         "a pilot's team is \"French\", not \"Allied\", \"Hun\" or \"unknown\""},
        {with([](json& j) {
             j["teams"]["Allied"]["final"] = j["teams"]["Allied"]["final"].get<int>() + 1;
         }),
         "its numbers do not hold"},
    };
    const std::string db = dir.path() + "/league.db";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        dir.write("spoiled.json", c.bytes);
        const LeagueRun run = league({db, "import", dir.path() + "/spoiled.json"});
        EXPECT_NE(run.err.find("spoiled.json: " + c.said), std::string::npos) << run.err;
        EXPECT_NE(run.out.find("spoiled.json: results of one game: skipped"), std::string::npos)
            << run.out;
        EXPECT_EQ(parsed(league({db, "games", "--format", "json"}))["games"].size(), 0u);
    }
    // The good file is the one game.
    EXPECT_EQ(league({db, "import", path}).status, 0);
    EXPECT_EQ(parsed(league({db, "games", "--format", "json"}))["games"].size(), 1u);
}

}  // namespace
}  // namespace vorskal::testing
