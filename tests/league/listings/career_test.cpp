// Careers and matchups count the kills of the games that count, whatever
// road a game takes in and out of the file. A season worked out by hand:
// Game 1, 12/01/26, Alice (Allied, SPAD) against Bruno (FOKKER) and Carl
// (ALBATROS): Alice downs Bruno, Alice downs Carl, Bruno downs Alice, Alice
// downs Bruno again but the multi-death correction takes it back.
// Game 2, 12/02/26: Bruno downs Alice (SPAD) twice, the second time in a
// CAMEL; Carl kills himself; Alice (CAMEL) downs Carl; Alice dies without
// a killer. Another version of it (the same logs): Carl downs Alice twice.
// Game 3, 12/03/26, read back from a report: Alice 1 kill, Bruno 1 death,
// no kill listed.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "league/listings/matchups.h"
#include "league/listings/ratings.h"
#include "league/site/season_site.h"
#include "league/store/sqlite.h"
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
        std::vector<std::string> command;  // vorskal-league's, after the league file
        std::string alice;
        std::string bruno;
        std::string matchups;
    };
    record(db, game1(), handIdentity("g1"));
    record(db, game2(), logsOf2("g2"));
    record(db, game3(), handIdentity("g3"));
    const std::vector<State> states = {
        {"recorded", {}, aliceAll, brunoAll, matchupsAll},
        {"game 2 removed",
         {"remove", "2"},
         "2 (1) 1 2/1 2.00 run 2 (1) best 1 by Bruno 1",
         "2 (1) 1 1/1 1.00 run 1 (1) best 1 by Alice 1",
         "FOKKER>SPAD 1, Alice 1:1 Bruno"},
        {"game 2 restored", {"restore", "2"}, aliceAll, brunoAll, matchupsAll},
        // The new version takes number 2, the old one is kept as game 4.
        {"game 2 replaced",
         {},
         "3 (1) 3 2/3 0.67 run 2 (1) best 1 by Carl 2",
         "3 (1) 2 1/1 1.00 run 1 (1) best 1 by Alice 1",
         "FOKKER>SPAD 1, Carl 2:1 Alice"},
        {"the old version restored", {"restore", "4"}, aliceAll, brunoAll, matchupsAll},
        {"merged into a new file", {"merge", db}, aliceAll, brunoAll, matchupsAll},
    };
    for (const State& state : states) {
        SCOPED_TRACE(state.step);
        const std::string& file = std::string(state.step).starts_with("merged") ? merged : db;
        if (std::string(state.step) == "game 2 replaced") {
            record(db, game2Again(), logsOf2("g2-again"), true);
        } else if (!state.command.empty()) {
            std::vector<std::string> args = state.command;
            args.insert(args.begin(), file);
            EXPECT_EQ(league(args).status, 0);
        }
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

// Each pair from the side of the one with more kills over the other (the
// first by name when even): Adam and Zoe (a kill each way) first, then 21
// pairs of one kill, K10 to K30, of which K29 and K30 fall off.
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

// The ratings. Glickman's own worked example first; then small seasons whose
// numbers are worked out by hand: two new pilots (1500 / 350 / 0.06, on the
// Glicko-2 scale phi = 350 / 173.7178 = 2.014762, g(phi) = 0.669069) meeting
// once, the winner at E = 0.5: v = 1 / (g^2 / 4) = 8.935475, the deviation
// 1 / sqrt(1 / (phi^2 + 0.06^2) + 1 / v) = 1.671210 (RD 290.32) and the
// rating 1500 +/- 173.7178 * 1.671210^2 * g / 2 = 1662.31 / 1337.69. A kill
// each way: v halves, RD 253.40, the ratings stay. A game sat out grows the
// deviation to sqrt(1.671210^2 + 0.06^2) = 1.672287 (RD 290.51).
namespace vorskal::league {
namespace {

// Glickman's figures come from intermediates rounded to four places (his
// mu' = -0.2069 is 1464.06; unrounded it is 1464.05): within a hundredth.
TEST(Glicko2, GlickmansWorkedExample) {
    const RatingUpdate update = updateRating(
        {1500, 200, 0.06}, {{{1400, 30, 0.06}, 1}, {{1550, 100, 0.06}, 0}, {{1700, 300, 0.06}, 0}});
    EXPECT_NEAR(update.after.rating, 1464.06, 0.01);
    EXPECT_NEAR(update.after.rd, 151.52, 0.01);
    EXPECT_NEAR(update.after.volatility, 0.05999, 0.00001);
    // The win moved it up, the losses down, and together by the whole move.
    ASSERT_EQ(update.moved.size(), 3U);
    EXPECT_GT(update.moved[0], 0);
    EXPECT_LT(update.moved[1], 0);
    EXPECT_NEAR(update.moved[0] + update.moved[1] + update.moved[2], update.after.rating - 1500,
                1e-9);
}

RatedKill kill(const char* killer, const char* victim, const char* killerAircraft = "SPAD_VII",
               const char* victimAircraft = "SPAD_VII") {
    return {killer, killerAircraft, victim, victimAircraft};
}

struct Expected {
    const char* name;
    RatingRole role;
    double rating;
    double rd;
};

struct SeasonCase {
    const char* what;
    std::vector<RatedGame> games;
    std::vector<Expected> ratings;  // every rated pilot, the highest first
};

const RatingRole kFighter = RatingRole::Fighter;
const RatingRole kTwoSeater = RatingRole::TwoSeater;

const SeasonCase kSeasons[] = {
    {"one kill",
     {{1, {kill("A", "B")}}},
     {{"A", kFighter, 1662.31, 290.32}, {"B", kFighter, 1337.69, 290.32}}},
    {"a kill each way",
     {{1, {kill("A", "B"), kill("B", "A")}}},
     {{"A", kFighter, 1500, 253.40}, {"B", kFighter, 1500, 253.40}}},
    {"a game sat out",
     {{1, {kill("A", "B")}}, {2, {kill("C", "D")}}},
     {{"A", kFighter, 1662.31, 290.51},
      {"C", kFighter, 1662.31, 290.32},
      {"B", kFighter, 1337.69, 290.51},
      {"D", kFighter, 1337.69, 290.32}}},
    {"a two-seater shot down: each rated in his own role",
     {{1, {kill("A", "B", "SPAD_VII", "ALBATROS_DII")}}},
     {{"A", kFighter, 1662.31, 290.32}, {"B", kTwoSeater, 1337.69, 290.32}}},
    {"one pilot in both roles is two players",
     {{1, {kill("A", "B", "NIEUPORT_17", "SPAD_VII"), kill("B", "A", "SPAD_VII", "SPAD_VII")}}},
     {{"A", kTwoSeater, 1662.31, 290.32},
      {"B", kFighter, 1500, 253.40},
      {"A", kFighter, 1337.69, 290.32}}},
};

TEST(Ratings, HandWorkedSeasons) {
    for (const SeasonCase& season : kSeasons) {
        SCOPED_TRACE(season.what);
        const std::vector<PilotRating> all = rateGames(season.games);
        ASSERT_EQ(all.size(), season.ratings.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            EXPECT_EQ(all[i].name, season.ratings[i].name);
            EXPECT_EQ(all[i].role, season.ratings[i].role);
            EXPECT_NEAR(all[i].rating.rating, season.ratings[i].rating, 0.01);
            EXPECT_NEAR(all[i].rating.rd, season.ratings[i].rd, 0.01);
        }
    }
    const auto fighters = ratingsOf(rateGames(kSeasons[3].games), kTwoSeater);
    ASSERT_EQ(fighters.size(), 1U);
    EXPECT_EQ(fighters[0].name, "B");
}

TEST(Ratings, WhatFollowsFromTheRules) {
    // Only wins: every move up.
    for (const PilotRating& p : rateGames({{1, {kill("A", "B"), kill("A", "C")}},
                                           {2, {kill("A", "D")}},
                                           {3, {kill("A", "B")}}})) {
        if (p.name == "A") {
            ASSERT_EQ(p.moves.size(), 3U);
            for (const RatingMove& m : p.moves) {
                EXPECT_GT(m.after.rating, m.before.rating);
            }
        }
    }
    // A and B meet the same opponents in turn: they stay level.
    const auto level =
        rateGames({{1, {kill("A", "C"), kill("B", "D")}}, {2, {kill("A", "D"), kill("B", "C")}}});
    ASSERT_EQ(level.size(), 4U);
    EXPECT_EQ(level[0].name, "A");
    EXPECT_EQ(level[1].name, "B");
    EXPECT_DOUBLE_EQ(level[0].rating.rating, level[1].rating.rating);
    EXPECT_DOUBLE_EQ(level[0].rating.rd, level[1].rating.rd);
    // Why it moved: B, beaten twice, moved it twice as far as C, both new;
    // E beat him and moved it down as far as C moved it up (C first by
    // name); the three shares make the whole move.
    const auto why =
        rateGames({{7, {kill("A", "B"), kill("E", "A"), kill("A", "C"), kill("A", "B")}}});
    const RatingMove& move = why[0].moves.at(0);
    ASSERT_EQ(why[0].name, "A");
    EXPECT_EQ(move.game, 7);
    ASSERT_EQ(move.opponents.size(), 3U);
    EXPECT_EQ(move.opponents[0].name, "B");
    EXPECT_NEAR(move.opponents[0].points, 2 * move.opponents[1].points, 1e-9);
    EXPECT_EQ(move.opponents[1].name, "C");
    EXPECT_EQ(move.opponents[2].name, "E");
    EXPECT_NEAR(move.opponents[2].points, -move.opponents[1].points, 1e-9);
    EXPECT_NEAR(move.opponents[0].points + move.opponents[1].points + move.opponents[2].points,
                move.after.rating - move.before.rating, 1e-9);
}

TEST(Ratings, FromTheLeagueFile) {
    using testing::handGame;
    using testing::league;
    testing::GameDir dir;
    const std::string db = dir.path() + "/league.db";
    const results::Side allied = results::Side::Allied;
    // Game 1 is played a day after game 2.
    testing::recordHand(db, handGame("Verdun", "12/07/26", {{"Coppens", allied, 1, 0, 0, 0, 10}}),
                        "k1");
    testing::recordHand(db, handGame("Verdun", "12/06/26", {{"Albert", allied, 1, 0, 0, 0, 10}}),
                        "k2");
    testing::recordHand(db, handGame("Verdun", "12/08/26", {{"Boelcke", allied, 1, 0, 0, 0, 10}}),
                        "k3");
    // Game 2: Albert's kill counts; a kill taken back, a self-kill and a kill
    // awarded to no one do not.
    Connection(db, Connection::Mode::ReadWrite)
        .exec(
            "UPDATE games SET kills_listed = 1; INSERT INTO kills VALUES "
            "(1, 0, 5, '20:00:00', 'Dallas', 'SPAD_VII', 'Hun', 'Coppens', 'SPAD_VII', 'Allied', "
            "0, NULL), "
            "(2, 0, 5, '20:00:00', 'Boelcke', 'SPAD_VII', 'Hun', 'Albert', 'SPAD_VII', 'Allied', "
            "0, NULL), "
            "(2, 1, 6, '20:00:01', 'Albert', 'SPAD_VII', 'Allied', 'Boelcke', 'SPAD_VII', 'Hun', "
            "0, "
            "1), "
            "(2, 2, 7, '20:00:02', 'Albert', 'SPAD_VII', 'Allied', 'Albert', 'SPAD_VII', 'Allied', "
            "1, NULL), "
            "(2, 3, 8, '20:00:03', 'Boelcke', 'SPAD_VII', 'Hun', NULL, '', 'unknown', 0, NULL), "
            "(3, 0, 5, '20:00:00', 'Albert', 'SPAD_VII', 'Hun', 'Boelcke', 'SPAD_VII', 'Allied', "
            "0, NULL)");
    const auto ratings = [&] {
        std::map<std::string, std::pair<double, double>> byName;
        const auto json = testing::leagueJson({db, "ratings", "--all-seasons", "--format", "json"});
        for (const auto& p : json["pilots"]) {
            byName[p["name"].get<std::string>()] = {p["rating"].get<double>(),
                                                    p["rd"].get<double>()};
        }
        return byName;
    };
    // Game 2 first (Albert 1662.31 / 290.32, Boelcke 1337.69 / 290.32), then
    // game 1, the two sitting it out (RD 290.51), then game 3: Boelcke wins.
    const auto all = ratings();
    ASSERT_EQ(all.size(), 4U);
    EXPECT_EQ(all.at("Coppens").first, 1662.31);          // the JSON rounds to two places
    EXPECT_NEAR(all.at("Coppens").second, 290.51, 0.01);  // game 3 sat out
    EXPECT_LT(all.at("Albert").first, 1662.31);
    EXPECT_GT(all.at("Boelcke").first, 1337.69);
    ASSERT_EQ(league({db, "remove", "3"}).status, 0);
    const auto removed = ratings();
    EXPECT_NEAR(removed.at("Albert").first, 1662.31, 0.01);
    EXPECT_NEAR(removed.at("Albert").second, 290.51, 0.01);  // game 1 sat out
    EXPECT_NEAR(removed.at("Boelcke").first, 1337.69, 0.01);
    EXPECT_NEAR(removed.at("Coppens").second, 290.32, 0.01);
    ASSERT_EQ(league({db, "restore", "3"}).status, 0);
    EXPECT_EQ(ratings(), all);
    // Text: rank, name, rating and twice the deviation, rounded.
    const std::string text = league({db, "ratings", "--all-seasons"}).out;
    EXPECT_NE(text.find("\n   1  Coppens    1662       581      1\n"), std::string::npos) << text;
    // The site's page, linked from the index, shows a hidden pilot's
    // pseudonym only, as the rated pilot and as an opponent.
    ASSERT_EQ(league({db, "set", "hidden-pilot", "Albert"}).status, 0);
    ASSERT_EQ(league({db, "site", dir.path() + "/site"}).status, 0);
    const std::string page = dir.read("site/ratings.html");
    EXPECT_EQ(page.find("Albert"), std::string::npos);
    EXPECT_NE(page.find("Boelcke</a></td><td class=\"n\">1567"), std::string::npos);
    EXPECT_NE(page.find("game 3: Hidden pilot 1 +"), std::string::npos);
    EXPECT_NE(dir.read("site/index.html").find("href=\"ratings.html\""), std::string::npos);
    // A season whose games keep no kills has no ratings page.
    Connection(db, Connection::Mode::ReadWrite).exec("UPDATE games SET kills_listed = 0");
    ASSERT_EQ(league({db, "site", dir.path() + "/site"}).status, 0);
    EXPECT_FALSE(dir.exists("site/ratings.html"));
    EXPECT_EQ(dir.read("site/index.html").find("ratings.html"), std::string::npos);
}

}  // namespace
}  // namespace vorskal::league
