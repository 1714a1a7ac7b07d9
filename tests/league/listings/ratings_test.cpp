// The ratings. Glickman's own worked example first; then small seasons whose
// numbers are worked out by hand: two new pilots (1500 / 350 / 0.06, on the
// Glicko-2 scale phi = 350 / 173.7178 = 2.014762, g(phi) = 0.669069) meeting
// once, the winner at E = 0.5: v = 1 / (g^2 / 4) = 8.935475, the deviation
// 1 / sqrt(1 / (phi^2 + 0.06^2) + 1 / v) = 1.671210 (RD 290.32) and the
// rating 1500 +/- 173.7178 * 1.671210^2 * g / 2 = 1662.31 / 1337.69. A kill
// each way: v halves, RD 253.40, the ratings stay. A game sat out grows the
// deviation to sqrt(1.671210^2 + 0.06^2) = 1.672287 (RD 290.51).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>

#include "league/listings/ratings.h"
#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

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

// The stored kills: what counts, in the standings' order, and a removed game
// taken out again.
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
    Connection(db, Connection::Mode::ReadWrite)
        .exec(
            "UPDATE games SET kills_listed = 1;"
            "INSERT INTO kills VALUES (1, 0, 5, '20:00:00', 'Dallas', 'SPAD_VII', 'Hun', "
            "'Coppens', "
            "'SPAD_VII', 'Allied', 0, NULL);"
            // Game 2: Albert's kill counts; a kill taken back, a self-kill and a
            // kill awarded to no one do not.
            "INSERT INTO kills VALUES (2, 0, 5, '20:00:00', 'Boelcke', 'SPAD_VII', 'Hun', "
            "'Albert', "
            "'SPAD_VII', 'Allied', 0, NULL);"
            "INSERT INTO kills VALUES (2, 1, 6, '20:00:01', 'Albert', 'SPAD_VII', 'Allied', "
            "'Boelcke', "
            "'SPAD_VII', 'Hun', 0, 1);"
            "INSERT INTO kills VALUES (2, 2, 7, '20:00:02', 'Albert', 'SPAD_VII', 'Allied', "
            "'Albert', "
            "'SPAD_VII', 'Allied', 1, NULL);"
            "INSERT INTO kills VALUES (2, 3, 8, '20:00:03', 'Boelcke', 'SPAD_VII', 'Hun', NULL, "
            "'', 'unknown', 0, NULL);"
            "INSERT INTO kills VALUES (3, 0, 5, '20:00:00', 'Albert', 'SPAD_VII', 'Hun', "
            "'Boelcke', "
            "'SPAD_VII', 'Allied', 0, NULL);");
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
