// Files that claim to be a game: a results JSON is taken for what it holds,
// not for the key it carries. Under a key or report digest stored already,
// other contents are a conflict (exit status 2, listed by `check`); a score
// that its kills, deaths and targets at the game's points do not make is
// refused.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

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

}  // namespace
}  // namespace vorskal::testing
