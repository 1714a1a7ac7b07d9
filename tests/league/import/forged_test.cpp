// Files that claim to be a game's results JSON: taken for what they hold,
// not for the key they carry (other contents under a stored key or digest
// are a conflict); what is not a game's results is skipped and named.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "league/store/league_file.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

// The sample game's results JSON, written as `game`'s real.json.
json sampleResults(const GameDir& game) {
    copySampleGame(game);
    EXPECT_EQ(tally({"--json", game.path() + "/real.json", game.path()}).status, 0);
    return json::parse(game.read("real.json"));
}

// Adds `kills` kills (at 10 points) to the first Allied pilot, and raises
// the Allied totals to match.
void raise(json& game, std::int64_t kills) {
    for (json& pilot : game["pilots"]) {
        if (pilot["team"] == "Allied") {
            pilot["kills"] = pilot["kills"].get<std::int64_t>() + kills;
            pilot["score"] = pilot["score"].get<std::int64_t>() + 10 * kills;
            break;
        }
    }
    json& allied = game["teams"]["Allied"];
    allied["kills"] = allied["kills"].get<std::int64_t>() + kills;
    for (const char* total : {"score", "final"}) {
        allied[total] = allied[total].get<std::int64_t>() + 10 * kills;
    }
}

TEST(Forged, ContentsDecideNotTheKeyTheFileCarries) {
    GameDir game;
    const json sample = sampleResults(game);
    std::string first;  // the first Allied pilot
    std::int64_t kills = 0;
    for (const json& pilot : sample["pilots"]) {
        if (pilot["team"] == "Allied") {
            first = pilot["name"];
            kills = pilot["kills"];
            break;
        }
    }
    const std::string edited = "pilot \"" + first + "\": kills " + std::to_string(kills) +
                               " in game 1, " + std::to_string(kills + 100000) + " in this one";
    struct Case {
        const char* what;
        std::function<void(json&)> forge;
        int status;
        std::string said;  // in standard error ("" : none)
        bool conflict;     // listed by check afterwards
    };
    const Case cases[] = {
        {"the same results again", [](json&) {}, 0, "", false},
        {"a pilot's kills raised with his score and the totals", [](json& g) { raise(g, 100000); },
         kExitFailed, edited, true},
        {"another game under game 1's report digest, its own key",
         [](json& g) {
             raise(g, 100000);
             g["report"]["key"] = std::string(64, 'a');
         },
         kExitFailed, edited, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        dir.write("real.json", game.read("real.json"));
        ASSERT_EQ(league({db, "import", dir.path() + "/real.json"}).status, 0);
        const json before = leagueJson({db, "standings", "--format", "json"});
        json forged = sample;
        c.forge(forged);
        dir.write("forged.json", forged.dump());

        const LeagueRun run = league({db, "import", dir.path() + "/forged.json"});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("already recorded") != std::string::npos,
                  c.status == 0 && c.said.empty())
            << run.out;
        EXPECT_EQ(leagueJson({db, "standings", "--format", "json"}), before);
        const LeagueRun check = league({db, "check"});
        EXPECT_EQ(check.out.find("Conflict: game 1: ") != std::string::npos, c.conflict)
            << check.out;
        EXPECT_EQ(check.status, c.conflict ? kExitFindings : 0);
    }
}

// What a results JSON may hold is bounded, so that a crafted one cannot make
// the reader hold many times its size; a byte-order mark is no part of it.
TEST(Forged, WhatIsNotAGamesResultsIsSkippedAndNamed) {
    GameDir game;
    const json sample = sampleResults(game);
    const auto nested = [](int levels) {
        json value = json::array();
        for (int i = 1; i < levels; ++i) {
            value = json::array({value});
        }
        return value;
    };
    const std::string notAGame = "is not the results of a game: ";
    const std::string tooMany =
        notAGame + "it holds more than 100000 values besides its lists' rows";
    const json erased(json::value_t::discarded);
    const struct {
        const char* member;  // a JSON pointer, set to `value`; null: `value` is the file's text
        json value;
        std::string said;  // in standard error ("": recorded)
    } cases[] = {
        {nullptr, "\xEF\xBB\xBF" + sample.dump(), ""},
        {"/extra", nested(7), ""},
        {"/extra", nested(8),
         notAGame + "\"extra\" is nested deeper than the 8 levels of a game: skipped"},
        {"/pilots/0/name", std::string(1048577, 'x'),
         notAGame + "a text of \"pilots.name\" is longer than 1048576 bytes"},
        {"/extra", std::vector<int>(100000, 0), tooMany + " (at \"extra\")"},
        {"/pilots/0/locations", std::vector<std::string>(100000, ""),
         tooMany + " (at \"pilots.locations\")"},
        {nullptr, "{\"formatVersion\":3,", "is not JSON"},
        {nullptr, "{\"run\":{}}", "is not the results of a game (no formatVersion)"},
        {"/formatVersion", 2, "has results format version 2, which carries no key of the game"},
        {"/formatVersion", 5, "has results format version 5, newer than this program's 4"},
        {"/teams", erased, "is not the results of a game"},
        {"/report/key", "ABC", "report.key is not 64 lower-case hex digits"},
        {"/pilots/0/team", "French",
         notAGame + "a pilot's team is \"French\", not \"Allied\", \"Hun\" or \"unknown\""},
        {"/teams/Allied/final", sample["teams"]["Allied"]["final"].get<int>() + 1,
         "its numbers do not hold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said + " " + (c.member ? c.member : ""));
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        json crafted = sample;
        if (c.member == nullptr) {
            dir.write("crafted.json", c.value.get<std::string>());
        } else {
            const json::json_pointer member(c.member);
            if (c.value.is_discarded()) {
                crafted.at(member.parent_pointer()).erase(member.back());
            } else {
                crafted[member] = c.value;
            }
            dir.write("crafted.json", crafted.dump());
        }
        const LeagueRun run = league({db, "import", dir.path() + "/crafted.json"});
        EXPECT_EQ(run.status, 0) << run.err;
        const nlohmann::json games = leagueJson({db, "games", "--format", "json"})["games"];
        if (c.said.empty()) {
            EXPECT_EQ(run.err, "");
            EXPECT_EQ(games.size(), 1u);
        } else {
            EXPECT_NE(run.err.find("crafted.json: " + c.said), std::string::npos) << run.err;
            EXPECT_NE(run.out.find("crafted.json: results of one game: skipped"), std::string::npos)
                << run.out;
            EXPECT_EQ(games.size(), 0u);
        }
    }
}

// A season's name is one line of text, not empty, without control bytes,
// whichever way it comes in.
TEST(Forged, EveryWayIntoASeasonTakesOneRuleForItsName) {
    GameDir game;
    copySampleGame(game);
    const std::string db = game.path() + "/season.db";
    const std::string other = game.path() + "/other.db";
    ASSERT_EQ(tally({"--record", other, game.path()}).status, 0);
    {
        league::LeagueFile file(other, league::LeagueFile::Access::Write);
        file.db().exec("UPDATE games SET season = '19' || char(10) || '16'");
    }
    const std::string report = game.path() + "/vorskal.log";
    const struct {
        std::vector<std::string> command;
        bool tallyRun;
        int status;
        const char* said;
    } cases[] = {
        {{db, "set", "season", "19\n16"}, false, kExitUsage, "one line of text, not empty"},
        {{db, "import", "--season", "", report}, false, kExitUsage, "one line of text, not empty"},
        {{db, "import", "--season", "19\x1b[2J16", report}, false, kExitUsage, "control bytes"},
        {{"--record", db, "--season", "", game.path()}, true, kExitUsage, "one line of text"},
        {{"--record", db, "--season", "19\t16", game.path()}, true, kExitUsage, "control bytes"},
        {{db, "merge", other},
         false,
         0,
         ": game 1: its season \"19\\x0A16\" breaks the rule of the seasons here (a season's "
         "name is one line of text, not empty, without control bytes): skipped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command[1]);
        const LeagueRun run = c.tallyRun ? tally(c.command) : league(c.command);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    }
    league::LeagueFile file(db, league::LeagueFile::Access::Read);
    EXPECT_EQ(file.db().scalar("SELECT count(*) FROM games"), 0);
}

}  // namespace
}  // namespace vorskal::testing
