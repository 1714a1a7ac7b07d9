// A league of several servers takes a game's results JSON (the games that
// arrive so are compared with the recorded ones in scenario_record_test.cpp):
// a file that is not a game's results changes nothing and is named.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

// One real results file, spoiled in one way each: the file is named and
// skipped, and the league file stays without games.
TEST(SeveralServersTest, WhatIsNotAGamesResultsIsSkippedAndNamed) {
    GameDir dir;
    copySampleGame(dir);
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
        {with([](json& j) { j["formatVersion"] = 5; }),
         "has results format version 5, newer than this program's 4"},
        {with([](json& j) { j.erase("teams"); }), "is not the results of a game"},
        {with([](json& j) { j["report"]["key"] = "ABC"; }),
         "report.key is not 64 lower-case hex digits"},
        {with([](json& j) { j["pilots"][0]["team"] = "French"; }),
         "is not the results of a game: a pilot's team is \"French\", not \"Allied\", \"Hun\" or "
         "\"unknown\""},
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
        EXPECT_EQ(leagueJson({db, "games", "--format", "json"})["games"].size(), 0u);
    }
    // The good file is the one game.
    EXPECT_EQ(league({db, "import", path}).status, 0);
    EXPECT_EQ(leagueJson({db, "games", "--format", "json"})["games"].size(), 1u);
}

}  // namespace
}  // namespace vorskal::testing
