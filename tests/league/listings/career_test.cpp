// Careers and matchups count the kills of the games that count, through
// every road a game takes in and out of the file: recorded, removed,
// restored, replaced by another version, that version restored, merged into
// another file. A season of three games worked out by hand:
//
// Game 1, 12/01/26, Alice (Allied, SPAD) against Bruno (FOKKER) and Carl
// (ALBATROS): Alice downs Bruno, Alice downs Carl, Bruno downs Alice, Alice
// downs Bruno again but the multi-death correction takes it back.
// Game 2, 12/02/26: Bruno downs Alice (SPAD) twice, the second time in a
// CAMEL; Carl kills himself; Alice (CAMEL) downs Carl; Alice dies without
// a killer. Another version of it (the same logs): Carl downs Alice twice.
// Game 3, 12/03/26, read back from a report: Alice 1 kill, Bruno 1 death,
// no kill listed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "league/listings/matchups.h"
#include "league/site/season_site.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using results::KillRow;
using results::Side;

KillRow kill(const char* killer, const char* killerAircraft, const char* victim,
             const char* victimAircraft) {
    KillRow row;
    row.time = "20:00:00";
    row.victim = victim;
    row.victimAircraft = victimAircraft;
    row.victimSide = std::string(victim) == "Alice" ? Side::Allied : Side::Hun;
    if (killer != nullptr) {
        row.killer = killer;
        row.killerSide = std::string(killer) == "Alice" ? Side::Allied : Side::Hun;
    }
    row.killerAircraft = killerAircraft;
    row.selfKill = killer != nullptr && std::string(killer) == victim;
    return row;
}

results::GameResults listed(results::GameResults game, std::vector<KillRow> kills,
                            std::vector<const char*> entries) {
    for (std::size_t i = 0; i < kills.size(); ++i) {
        kills[i].line = i + 1;
    }
    game.kills = std::move(kills);
    game.killsListed = true;
    for (const char* pilot : entries) {
        game.arena.push_back({1, "20:00:00", 72000, Side::Unknown, true, pilot, 1});
    }
    return game;
}

results::GameResults game1() {
    KillRow takenBack = kill("Alice", "SPAD", "Bruno", "FOKKER");
    takenBack.takenBackBy = 1;
    return listed(
        handGame("Verdun", "12/01/26",
                 {{"Alice", Side::Allied, 2, 1, 0, 0, 15},
                  {"Bruno", Side::Hun, 1, 1, 0, 0, 5},
                  {"Carl", Side::Hun, 0, 1, 0, 0, -5}}),
        {kill("Alice", "SPAD", "Bruno", "FOKKER"), kill("Alice", "SPAD", "Carl", "ALBATROS"),
         kill("Bruno", "FOKKER", "Alice", "SPAD"), takenBack},
        {"Alice", "Bruno", "Carl"});
}

results::GameResults game2() {
    return listed(
        handGame("Verdun", "12/02/26",
                 {{"Alice", Side::Allied, 1, 3, 0, 0, -5},
                  {"Bruno", Side::Hun, 2, 0, 0, 0, 20},
                  {"Carl", Side::Hun, 0, 2, 0, 0, -10}}),
        {kill("Bruno", "FOKKER", "Alice", "SPAD"), kill("Bruno", "FOKKER", "Alice", "CAMEL"),
         kill("Carl", "ALBATROS", "Carl", "ALBATROS"), kill("Alice", "CAMEL", "Carl", "ALBATROS"),
         kill(nullptr, "", "Alice", "CAMEL")},
        {"Alice", "Bruno", "Alice", "Carl"});
}

results::GameResults game2Again() {
    return listed(
        handGame("Verdun", "12/02/26",
                 {{"Alice", Side::Allied, 0, 2, 0, 0, -10},
                  {"Bruno", Side::Hun, 0, 0, 0, 0, 0},
                  {"Carl", Side::Hun, 2, 0, 0, 0, 20}}),
        {kill("Carl", "ALBATROS", "Alice", "SPAD"), kill("Carl", "ALBATROS", "Alice", "CAMEL")},
        {"Alice", "Bruno", "Carl", "Alice"});
}

results::GameResults game3() {
    return handGame(
        "Verdun", "12/03/26",
        {{"Alice", Side::Allied, 1, 0, 0, 0, 10}, {"Bruno", Side::Hun, 0, 1, 0, 0, -5}});
}

// Game 2's two versions: the same logs, other reports.
league::GameIdentity logsOf2(const std::string& key) {
    league::GameIdentity identity = handIdentity(key);
    identity.mergedLogSha256 = "game-2-logs";
    identity.mergedBytes = 4000;
    identity.mergedLines = 50;
    return identity;
}

void record(const std::string& db, const results::GameResults& game,
            const league::GameIdentity& identity, bool replace = false) {
    league::LeagueFile file(db, league::LeagueFile::Access::Write);
    league::RecordRequest request;
    request.replace = replace;
    request.listsKept = true;
    const league::RecordResult result = league::recordGame(file, game, nullptr, identity, request);
    ASSERT_TRUE(result.outcome == league::RecordOutcome::Recorded ||
                result.outcome == league::RecordOutcome::Replaced);
}

// What a career says, in one line: games (without kills), sorties, kills,
// deaths, K/D, longest run (game), best game, shot down most by.
std::string careerLine(const nlohmann::json& c) {
    const auto pilot = [](const nlohmann::json& p) {
        return p.is_null() ? std::string("-")
                           : p["pilot"].get<std::string>() + " " + p["kills"].dump();
    };
    return c["games"].dump() + " (" + c["gamesWithoutKills"].dump() + ") " + c["sorties"].dump() +
           " " + c["kills"].dump() + "/" + c["deaths"].dump() + " " +
           c["killsPerDeath"].get<std::string>() + " run " + c["longestRun"].dump() + " (" +
           c["longestRunGame"].dump() + ") best " +
           (c["bestGame"].is_null() ? std::string("-") : c["bestGame"]["id"].dump()) + " by " +
           pilot(c["shotDownMostBy"]);
}

// The matchups in one line: FOKKER over SPAD, then the top pair.
std::string matchupsLine(const nlohmann::json& m) {
    std::int64_t fokkerOverSpad = 0;
    for (const auto& row : m["aircraft"]) {
        if (row["killerAircraft"] == "FOKKER" && row["victimAircraft"] == "SPAD") {
            fokkerOverSpad = row["kills"];
        }
    }
    const auto& top = m["pairs"][0];
    return "FOKKER>SPAD " + std::to_string(fokkerOverSpad) + ", " +
           top["pilot"].get<std::string>() + " " + top["kills"].dump() + ":" +
           top["killedBy"].dump() + " " + top["opponent"].get<std::string>();
}

TEST(CareerTest, CareersAndMatchupsFollowEveryRoadOfAGame) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    const std::string merged = dir.path() + "/merged.db";
    // Alice: 3 kills (2 in game 1, the third taken back; 1 in game 2),
    // 4 deaths, 3 sorties; her run of 2 in game 1; Bruno downed her 3 times.
    const std::string aliceAll = "3 (1) 3 3/4 0.75 run 2 (1) best 1 by Bruno 3";
    // Bruno: 3 kills, 1 death (the other taken back); 2 in a row in game 2.
    const std::string brunoAll = "3 (1) 2 3/1 3.00 run 2 (2) best 2 by Alice 1";
    const std::string matchupsAll = "FOKKER>SPAD 2, Bruno 3:1 Alice";
    struct State {
        const char* step;
        std::function<void()> act;
        std::string alice;
        std::string bruno;
        std::string matchups;
    };
    const std::vector<State> states = {
        {"recorded",
         [&] {
             record(db, game1(), handIdentity("g1"));
             record(db, game2(), logsOf2("g2"));
             record(db, game3(), handIdentity("g3"));
         },
         aliceAll, brunoAll, matchupsAll},
        {"game 2 removed",
         [&] {
             EXPECT_EQ(league({db, "remove", "2"}).status, 0);
         },
         "2 (1) 1 2/1 2.00 run 2 (1) best 1 by Bruno 1",
         "2 (1) 1 1/1 1.00 run 1 (1) best 1 by Alice 1", "FOKKER>SPAD 1, Alice 1:1 Bruno"},
        {"game 2 restored",
         [&] {
             EXPECT_EQ(league({db, "restore", "2"}).status, 0);
         },
         aliceAll, brunoAll, matchupsAll},
        // The new version takes number 2, the old one is kept as game 4.
        {"game 2 replaced", [&] { record(db, game2Again(), logsOf2("g2-again"), true); },
         "3 (1) 3 2/3 0.67 run 2 (1) best 1 by Carl 2",
         "3 (1) 2 1/1 1.00 run 1 (1) best 1 by Alice 1", "FOKKER>SPAD 1, Carl 2:1 Alice"},
        {"the old version restored",
         [&] {
             EXPECT_EQ(league({db, "restore", "4"}).status, 0);
         },
         aliceAll, brunoAll, matchupsAll},
        {"merged into a new file",
         [&] {
             EXPECT_EQ(league({merged, "merge", db}).status, 0);
         },
         aliceAll, brunoAll, matchupsAll},
    };
    for (const State& state : states) {
        SCOPED_TRACE(state.step);
        state.act();
        const std::string& file = std::string(state.step).starts_with("merged") ? merged : db;
        EXPECT_EQ(careerLine(leagueJson({file, "pilot", "Alice", "--format", "json"})),
                  state.alice);
        EXPECT_EQ(careerLine(leagueJson({file, "pilot", "Bruno", "--format", "json"})),
                  state.bruno);
        EXPECT_EQ(matchupsLine(leagueJson({file, "matchups", "--format", "json"})), state.matchups);
    }

    // The rest of the full season: Carl flew ALBATROS, killed nobody, died
    // three times (one a self-kill), shot down twice by Alice; Alice's
    // victims and aircraft; every aircraft matchup and both pairs.
    const nlohmann::json carl = leagueJson({db, "pilot", "Carl", "--format", "json"});
    EXPECT_EQ(careerLine(carl), "2 (0) 2 0/3 0.00 run 0 (null) best - by Alice 2");
    EXPECT_EQ(carl["flown"],
              nlohmann::json::parse(R"([{"aircraft": "ALBATROS", "kills": 0, "deaths": 3}])"));
    const nlohmann::json alice = leagueJson({db, "pilot", "Alice", "--format", "json"});
    EXPECT_EQ(alice["flown"],
              nlohmann::json::parse(R"([{"aircraft": "SPAD", "kills": 2, "deaths": 2},
                                                         {"aircraft": "CAMEL", "kills": 1, "deaths": 2}])"));
    EXPECT_EQ(alice["victims"], nlohmann::json::parse(R"([{"aircraft": "ALBATROS", "kills": 2},
                                                           {"aircraft": "FOKKER", "kills": 1}])"));
    EXPECT_EQ(alice["shotDownMost"], nlohmann::json::parse(R"({"pilot": "Carl", "kills": 2})"));
    const nlohmann::json matchups = leagueJson({db, "matchups", "--format", "json"});
    EXPECT_EQ(matchups["aircraft"], nlohmann::json::parse(R"([
        {"killerAircraft": "FOKKER", "victimAircraft": "SPAD", "kills": 2},
        {"killerAircraft": "CAMEL", "victimAircraft": "ALBATROS", "kills": 1},
        {"killerAircraft": "FOKKER", "victimAircraft": "CAMEL", "kills": 1},
        {"killerAircraft": "SPAD", "victimAircraft": "ALBATROS", "kills": 1},
        {"killerAircraft": "SPAD", "victimAircraft": "FOKKER", "kills": 1}])"));
    EXPECT_EQ(matchups["pairs"], nlohmann::json::parse(R"([
        {"pilot": "Bruno", "opponent": "Alice", "kills": 3, "killedBy": 1},
        {"pilot": "Alice", "opponent": "Carl", "kills": 2, "killedBy": 0}])"));
    EXPECT_EQ(matchups["gamesWithoutKills"], 1);

    // The text says what it could not count; a name no game has is refused.
    EXPECT_NE(league({db, "pilot", "Alice"})
                  .out.find("1 game without kills listed (read back from reports"),
              std::string::npos);
    const LeagueRun unknown = league({db, "pilot", "Brno"});
    EXPECT_EQ(unknown.status, 64);
    EXPECT_NE(unknown.err.find("no pilot \"Brno\" in any game (the closest names: \"Bruno\""),
              std::string::npos)
        << unknown.err;

    // On the site a hidden pilot is his pseudonym among victims, killers
    // and pairs: Alice was shot down most by Bruno, 3 times.
    ASSERT_EQ(league({db, "set", "hidden-pilot", "Bruno"}).status, 0);
    const std::string site = dir.path() + "/site";
    ASSERT_EQ(league({db, "site", site}).status, 0);
    const std::string alicePage = bytesOf(site + "/pilots/" + league::pilotPageName("Alice"));
    EXPECT_NE(alicePage.find("Hidden pilot 1 (3)"), std::string::npos);
    EXPECT_NE(bytesOf(site + "/matchups.html").find("Hidden pilot 1"), std::string::npos);
    for (const std::string& shown :
         {alicePage, bytesOf(site + "/matchups.html"), bytesOf(site + "/data/matchups.json")}) {
        EXPECT_EQ(shown.find("Bruno"), std::string::npos);
    }
}

// Each pair of pilots once, from the side of the one with more kills over
// the other (the first by name when even), and only the 20 with most kills
// between them: Adam and Zoe (a kill each way) first, then 21 pairs of one
// kill by the first's name, K10 to K30, of which K29 and K30 fall off.
TEST(CareerTest, EachPairOnceAndTheTwentyWithMostBetweenThem) {
    std::vector<KillRow> kills = {kill("Zoe", "SPAD", "Adam", "FOKKER"),
                                  kill("Adam", "FOKKER", "Zoe", "SPAD")};
    for (int k = 10; k <= 30; ++k) {
        kills.push_back(kill(("K" + std::to_string(k)).c_str(), "SPAD", "Ned", "FOKKER"));
    }
    league::MatchupTally tally;
    tally.add(listed({}, kills, {}));
    const league::Matchups matchups = tally.matchups();
    ASSERT_EQ(matchups.pairs.size(), 20u);
    const league::PilotPair& top = matchups.pairs.front();
    EXPECT_EQ(top.first + " " + std::to_string(top.firstOverSecond) + ":" +
                  std::to_string(top.secondOverFirst) + " " + top.second,
              "Adam 1:1 Zoe");
    EXPECT_EQ(matchups.pairs[1].first, "K10");
    EXPECT_EQ(matchups.pairs.back().first, "K28");
}

}  // namespace
}  // namespace vorskal::testing
