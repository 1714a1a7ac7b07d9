// Recording games built by hand, and the standings read back: every number
// below is summed by hand from the rows of the three games.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "league/listings/queries.h"
#include "league/store/game_store.h"
#include "league/store/league_file.h"
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
    EXPECT_EQ(league({db, "show", "1"}).status, kExitFailed);

    const LeagueRun restored = league({db, "restore", "1"});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(standings()["pilots"][0]["score"], 995);
    const LeagueRun twice = league({db, "restore", "1"});
    EXPECT_EQ(twice.status, kExitFailed);
    EXPECT_NE(twice.err.find("game 1 is recorded and has no earlier version to restore"),
              std::string::npos)
        << twice.err;

    // A removed game recorded again is refused, naming it; restore brings it back.
    ASSERT_EQ(league({db, "remove", "2"}).status, 0);
    const league::RecordResult back =
        league::recordGame(file, kGameB, nullptr, handIdentity("b2b2"), {});
    EXPECT_EQ(back.outcome, league::RecordOutcome::Refused);
    EXPECT_EQ(league::refusalText(back), "game 2 was removed here; `restore 2` takes it back");
    EXPECT_EQ(league({db, "restore", "2"}).status, 0);
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

// Seasons: games go to the current season unless told; listings take one
// season (the current, or the one named) or all of them.
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

}  // namespace
}  // namespace vorskal::testing
