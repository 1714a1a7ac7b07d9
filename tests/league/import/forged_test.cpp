// Files that claim to be a game: a results JSON is taken for what it holds,
// not for the key it carries. Under a key or report digest stored already,
// other contents are a conflict (exit status 2, listed by `check`); a score
// that its kills, deaths and targets at the game's points do not make is
// refused.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "league/store/league_file.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

// Adds `kills` kills (at 10 points) and `extra` points of score to the first
// Allied pilot, and raises the Allied totals to match.
void raise(json& game, std::int64_t kills, std::int64_t extra) {
    for (json& pilot : game["pilots"]) {
        if (pilot["team"] == "Allied") {
            pilot["kills"] = pilot["kills"].get<std::int64_t>() + kills;
            pilot["score"] = pilot["score"].get<std::int64_t>() + 10 * kills + extra;
            break;
        }
    }
    json& allied = game["teams"]["Allied"];
    allied["kills"] = allied["kills"].get<std::int64_t>() + kills;
    for (const char* total : {"score", "final"}) {
        allied[total] = allied[total].get<std::int64_t>() + 10 * kills + extra;
    }
}

TEST(Forged, ContentsDecideNotTheKeyTheFileCarries) {
    GameDir game;
    copySampleGame(game);
    const std::string real = game.path() + "/real.json";
    ASSERT_EQ(tally({"--json", real, game.path()}).status, 0);
    const json sample = json::parse(game.read("real.json"));
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
        {"a pilot's kills raised with his score and the totals",
         [](json& g) { raise(g, 100000, 0); }, kExitFailed, edited, true},
        {"another game under game 1's report digest, its own key",
         [](json& g) {
             raise(g, 100000, 0);
             g["report"]["key"] = std::string(64, 'a');
         },
         kExitFailed, edited, true},
        {"a score its kills, deaths and targets do not make",
         [](json& g) {
             raise(g, 0, 2000000);
             g["report"]["key"] = std::string(64, 'b');
             g["report"]["sha256"] = std::string(64, 'c');
         },
         0, "its numbers do not hold (pilot \"" + first + "\": score ", false},
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
// the reader hold many times its size: such a file is skipped naming the
// member. A byte-order mark before it is no part of it.
TEST(Forged, AResultsJsonIsReadWithinItsLimits) {
    GameDir game;
    copySampleGame(game);
    ASSERT_EQ(tally({"--json", game.path() + "/real.json", game.path()}).status, 0);
    const json sample = json::parse(game.read("real.json"));
    const auto nested = [](int levels) {
        json value = json::array();
        for (int i = 1; i < levels; ++i) {
            value = json::array({value});
        }
        return value;
    };
    const struct {
        const char* what;
        std::function<std::string(json&)> craft;  // the file's text
        std::string said;                         // in standard error ("": recorded)
    } cases[] = {
        {"a byte-order mark before it", [](json& g) { return "\xEF\xBB\xBF" + g.dump(); }, ""},
        {"seven arrays nested in a member",
         [&](json& g) {
             g["extra"] = nested(7);
             return g.dump();
         },
         ""},
        {"eight arrays nested in a member",
         [&](json& g) {
             g["extra"] = nested(8);
             return g.dump();
         },
         "\"extra\" is nested deeper than the 8 levels of a game: skipped"},
        {"a pilot's name of 1 MiB and a byte",
         [](json& g) {
             g["pilots"][0]["name"] = std::string(1048577, 'x');
             return g.dump();
         },
         "a text of \"pilots.name\" is longer than 1048576 bytes"},
        {"100,000 numbers in a member of its own",
         [](json& g) {
             g["extra"] = std::vector<int>(100000, 0);
             return g.dump();
         },
         "it holds more than 100000 values besides its lists' rows (at \"extra\")"},
        {"a pilot in 100,000 places",
         [](json& g) {
             g["pilots"][0]["locations"] = std::vector<std::string>(100000, "");
             return g.dump();
         },
         "it holds more than 100000 values besides its lists' rows (at \"pilots.locations\")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        json crafted = sample;
        dir.write("crafted.json", c.craft(crafted));
        const LeagueRun run = league({db, "import", dir.path() + "/crafted.json"});
        EXPECT_EQ(run.status, 0) << run.err;
        if (c.said.empty()) {
            EXPECT_EQ(run.err, "");
            EXPECT_FALSE(leagueJson({db, "standings", "--format", "json"})["pilots"].empty());
        } else {
            EXPECT_NE(
                run.err.find(dir.path() + "/crafted.json: is not the results of a game: " + c.said),
                std::string::npos)
                << run.err;
        }
    }
}

// A season's name is one line of text, not empty, without control bytes
// (pages and terminals show it), wherever it comes from:
// `set season`, `import --season`, `--record --season`, or a game of another
// league file that `merge` takes (skipped, named).
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
