// A recorded game taken apart and valued again. For every scenario folder
// whose tally completes: each pilot's explanation adds up to his score in
// the game, and the season re-scored under each changed vorskal.ini and
// corrections switched is what re-tallying the folder with that file and
// those corrections records, or is refused with its reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>

#include "league/rescore/score_items.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

// Each line of a vorskal.ini through `change`, its line ends kept (the run
// of line ends after a line kept whole: an empty line stays empty).
std::string eachLine(const std::string& ini,
                     const std::function<std::string(const std::string&)>& change) {
    std::string out;
    for (std::size_t at = 0; at < ini.size();) {
        const std::size_t end = std::min(ini.find_first_of("\r\n", at), ini.size());
        const std::size_t next = std::min(ini.find_first_not_of("\r\n", end), ini.size());
        out += change(ini.substr(at, end - at)) + ini.substr(end, next - end);
        at = next;
    }
    return out;
}

std::string killAndDeath(const std::string& line) {
    if (line.rfind("Kill=", 0) == 0) {
        return "Kill=7";
    }
    return line.rfind("Death=", 0) == 0 ? "Death=-3" : line;
}

// Every type value line ("Hangar=20") worth 5 more.
std::string typesWorthMore(const std::string& line) {
    static const std::regex value("([A-Za-z_][A-Za-z0-9_ ]*)=(-?[0-9]+)");
    std::smatch m;
    if (!std::regex_match(line, m, value) || m[1] == "Map" || m[1] == "Kill" || m[1] == "Death") {
        return line;
    }
    return m[1].str() + "=" + std::to_string(std::stoi(m[2].str()) + 5);
}

struct Variant {
    const char* name;
    std::string (*line)(const std::string&);
    // The re-tally's switches added to the scenario's and taken from them,
    // and the rescore's options that say the same.
    std::vector<std::string> add, drop;
    std::vector<std::string> rescoreOptions;
    // Added to the scenario's switches for the game re-scored (none: the
    // scenario's own recording).
    std::vector<std::string> recordedWith = {};
};

const Variant kVariants[] = {
    {"kill and death points", killAndDeath, {}, {}, {}},
    {"type values", typesWorthMore, {}, {}, {}},
    {"multi-death off",
     nullptr,
     {"--no-multi-death-correction"},
     {},
     {"--multi-death-correction", "off"}},
    {"multi-death on",
     killAndDeath,
     {},
     {"--no-multi-death-correction"},
     {"--multi-death-correction", "on"},
     {"--no-multi-death-correction"}},
    {"fighter and over-max off",
     typesWorthMore,
     {"--no-fighter-target-correction", "--no-over-max-correction"},
     {},
     {"--fighter-target-correction", "off", "--over-max-correction", "off"}},
};

// The scenario's switches with the variant's added (a switch it has
// already stays once) and taken away.
std::vector<std::string> switchesOf(std::vector<std::string> switches, const Variant& v) {
    for (const std::string& s : v.add) {
        if (std::find(switches.begin(), switches.end(), s) == switches.end()) {
            switches.push_back(s);
        }
    }
    std::erase_if(switches, [&](const std::string& s) {
        return std::find(v.drop.begin(), v.drop.end(), s) != v.drop.end();
    });
    return switches;
}

// The folder tallied with `switches` and recorded into `db`.
void recordFolder(const GameDir& dir, const std::string& db,
                  const std::vector<std::string>& switches) {
    std::vector<std::string> args = switches;
    args.insert(args.end(), {"--record", db, dir.path()});
    const LeagueRun run = tally(args);
    ASSERT_EQ(run.status, 0) << run.err;
}

// The rescore's JSON as the standings' own: without the old score, the change and the rules.
json asStandings(json rescored) {
    for (const char* list : {"pilots", "sides"}) {
        for (json& row : rescored[list]) {
            for (const char* key : {"oldScore", "oldPointsFor", "change", "rules"}) {
                row.erase(key);
            }
        }
    }
    return rescored;
}

TEST(RescoreTest, ExplanationsAddUpAndRescoringIsReTallying) {
    const std::vector<Scenario> scenarios = completedScenarios();
    ASSERT_GT(scenarios.size(), 50u);
    std::map<std::string, int> compared, refused;
    std::size_t explained = 0;
    int retallies = 0;
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        GameDir work;
        const std::string db = work.path() + "/season.db";
        {
            GameDir dir;
            copyInputs(s, dir);
            recordFolder(dir, db, s.switches);
        }
        const json standings = leagueJson({db, "standings", "--format", "json"});
        const json game = leagueJson({db, "show", "1", "--format", "json"});

        // Every pilot's items add up to his row's score.
        for (const json& pilot : game["pilots"]) {
            const json e = leagueJson(
                {db, "explain", "1", pilot["name"], "--team", pilot["team"], "--format", "json"});
            std::int64_t sum = 0;
            for (const json& item : e["items"]) {
                sum += item["points"].get<std::int64_t>();
            }
            EXPECT_EQ(sum, pilot["score"]) << pilot["name"];
            EXPECT_EQ(e["score"], pilot["score"]);
            ++explained;
        }

        for (const Variant& v : kVariants) {
            SCOPED_TRACE(v.name);
            GameDir dir;
            copyInputs(s, dir);
            if (v.line != nullptr) {
                dir.write("vorskal.ini", eachLine(dir.read("vorskal.ini"), v.line));
            }
            const std::string points = work.path() + "/other.ini";
            work.write("other.ini", dir.read("vorskal.ini"));
            std::string base = db;
            json old = standings;
            if (!v.recordedWith.empty()) {
                GameDir as;
                copyInputs(s, as);
                base = work.path() + "/recorded-" + std::to_string(++retallies) + ".db";
                recordFolder(as, base,
                             switchesOf(s.switches, {"", nullptr, v.recordedWith, {}, {}}));
                old = leagueJson({base, "standings", "--format", "json"});
            }
            std::vector<std::string> args = {base,   "rescore",  "--points",
                                             points, "--format", "json"};
            args.insert(args.end(), v.rescoreOptions.begin(), v.rescoreOptions.end());
            const LeagueRun rescore = league(args);
            if (rescore.status != 0) {
                EXPECT_EQ(rescore.status, kExitFailed) << rescore.err;
                EXPECT_NE(
                    rescore.err.find("the stored games cannot answer this re-scoring: game 1: "),
                    std::string::npos)
                    << rescore.err;
                ++refused[v.name];
                continue;
            }
            const json rescored = json::parse(rescore.out);
            // The old scores are the recorded standings'.
            ASSERT_EQ(rescored["pilots"].size(), old["pilots"].size());
            std::map<std::string, std::int64_t> oldScore;
            for (const json& p : old["pilots"]) {
                oldScore[p["name"].get<std::string>() + "/" + p["team"].get<std::string>()] =
                    p["score"];
            }
            for (const json& p : rescored["pilots"]) {
                EXPECT_EQ(
                    p["oldScore"],
                    oldScore[p["name"].get<std::string>() + "/" + p["team"].get<std::string>()]);
                EXPECT_EQ(p["change"],
                          p["score"].get<std::int64_t>() - p["oldScore"].get<std::int64_t>());
            }
            const std::string again = work.path() + "/again-" + std::to_string(++retallies) + ".db";
            recordFolder(dir, again, switchesOf(s.switches, v));
            EXPECT_EQ(asStandings(rescored), leagueJson({again, "standings", "--format", "json"}));
            ++compared[v.name];
        }
    }
    EXPECT_GT(explained, 100u);
    for (const Variant& v : kVariants) {
        SCOPED_TRACE(v.name);
        EXPECT_GT(compared[v.name], 30) << refused[v.name] << " refused";
    }
}

// --apply records a re-scoring as a season of its own: its standings are
// the rescore's, the recorded season's stay, a refusal records nothing, a
// season holding games is refused, the same re-scoring again records
// nothing new, and the logs stay the original game's.
TEST(RescoreTest, ApplyRecordsTheRescoringAsASeasonOfItsOwn) {
    const std::vector<Scenario> scenarios = completedScenarios();
    const struct {
        const char* scenario;  // "": the sample game
        std::string (*line)(const std::string&);
        std::vector<std::string> options;
    } cases[] = {{"", killAndDeath, {}},
                 {"arena-eighteen-on-each-side", killAndDeath, {"--over-max-correction", "off"}},
                 {"multi-death-both-sides-and-self-kills",
                  killAndDeath,
                  {"--multi-death-correction", "off"}},
                 {"fighter-targets", typesWorthMore, {"--fighter-target-correction", "off"}},
                 {"fighter-takes-back-what-was-credited", killAndDeath, {}}};  // refused
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        GameDir dir;
        std::vector<std::string> switches;
        if (*c.scenario == '\0') {
            copySampleGame(dir);
        }
        for (const Scenario& s : scenarios) {
            if (s.name == c.scenario) {
                copyInputs(s, dir);
                switches = s.switches;
            }
        }
        const std::string db = dir.path() + "/season.db";
        recordFolder(dir, db, switches);
        dir.write("vorskal.ini", eachLine(dir.read("vorskal.ini"), c.line));
        const json before = leagueJson({db, "standings", "--format", "json"});
        std::vector<std::string> args = {db, "rescore", "--points", dir.path() + "/vorskal.ini"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto with = [&](std::vector<std::string> more) {
            more.insert(more.begin(), args.begin(), args.end());
            return league(more);
        };
        const LeagueRun rescored = with({"--format", "json"});
        const LeagueRun applied = with({"--apply", "new"});
        const LeagueRun now = league({db, "standings", "--season", "new", "--format", "json"});
        EXPECT_EQ(leagueJson({db, "standings", "--format", "json"}), before);
        if (rescored.status != 0) {
            EXPECT_EQ(applied.err, rescored.err);
            EXPECT_NE(now.err.find("no season \"new\""), std::string::npos) << now.err;
            continue;
        }
        EXPECT_EQ(applied.out, "recorded 1 re-scored game as season new (games 2)\n");
        EXPECT_EQ(json::parse(now.out), asStandings(json::parse(rescored.out)));
        EXPECT_NE(with({"--apply", "new"}).err.find("season \"new\" holds games already"),
                  std::string::npos);
        EXPECT_EQ(with({"--apply", "newer"}).out,
                  "recorded 0 re-scored games as season newer\nre-scored so already: games 2\n");
        EXPECT_NE(tally({"--record", db, dir.path()}).err.find("game 1"), std::string::npos);
    }
}

// The multi-death take-backs worked out from kill lines alone, for a game
// tallied without the correction: a victim's death within 20 seconds of his
// one before (after midnight too) is taken back; each is compared with the
// death just before it, taken back or not; victims are told apart by their
// first eleven characters.
TEST(RescoreTest, MultiDeathTakeBacksFromTheKillLines) {
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> deaths;  // victim, time
        std::vector<std::pair<std::size_t, std::size_t>> takenBack;
    } cases[] = {
        {"20 seconds apart", {{"Bob", "20:00:00"}, {"Bob", "20:00:20"}}, {{0, 1}}},
        {"21 seconds apart", {{"Bob", "20:00:00"}, {"Bob", "20:00:21"}}, {}},
        {"the same second", {{"Bob", "20:00:00"}, {"Bob", "20:00:00"}}, {{0, 1}}},
        {"a chain, each against the one before",
         {{"Bob", "20:00:00"}, {"Bob", "20:00:15"}, {"Bob", "20:00:30"}},
         {{0, 1}, {1, 2}}},
        {"across midnight", {{"Bob", "23:59:55"}, {"Bob", "00:00:05"}}, {{0, 1}}},
        {"other victims between",
         {{"Bob", "20:00:00"}, {"Al", "20:00:05"}, {"Bob", "20:00:10"}},
         {{0, 2}}},
        {"eleven characters alike",
         {{"Manfred_von_R", "20:00:00"}, {"Manfred_von_X", "20:00:10"}},
         {{0, 1}}},
        {"the twelfth differs",
         {{"Manfred_vonR", "20:00:00"}, {"Manfred_vonX", "20:00:10"}},
         {{0, 1}}},
        {"the eleventh differs", {{"Manfred_voR", "20:00:00"}, {"Manfred_voX", "20:00:10"}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<results::KillRow> kills;
        for (const auto& [victim, time] : c.deaths) {
            results::KillRow k;
            k.victim = victim;
            k.time = time;
            kills.push_back(k);
        }
        std::vector<std::pair<std::size_t, std::size_t>> got;
        for (const league::TakeBack& t : league::multiDeathTakeBacks(kills)) {
            got.emplace_back(t.previous, t.event);
        }
        EXPECT_EQ(got, c.takenBack);
    }
}

// What the stored games cannot answer, refused with the reason: the sample
// game read back from its report (no kill lines, no targets), and tallied
// without the corrections whose evidence a rescore would need; the site of
// the tallied game with a pilot hidden.
TEST(RescoreTest, RefusesWhatTheStoredGamesCannotAnswerAndHidesAHiddenPilot) {
    GameDir dir;
    copySampleGame(dir);
    const std::string tallied = dir.path() + "/tallied.db";
    const std::string imported = dir.path() + "/imported.db";
    const std::string points = dir.path() + "/vorskal.ini";
    const std::string withoutLists = "its kill lines and targets were not kept";
    ASSERT_EQ(tally({"--no-over-max-correction", "--no-fighter-target-correction", "--record",
                     tallied, dir.path()})
                  .status,
              0);
    ASSERT_EQ(league({imported, "import", dir.path() + "/vorskal.log"}).status, 0);
    const struct {
        std::vector<std::string> args;
        std::string why;
    } cases[] = {
        {{imported, "explain", "1", "Snoopy"}, withoutLists},
        {{imported, "rescore", "--points", points}, withoutLists},
        {{tallied, "rescore", "--points", points, "--over-max-correction", "on"},
         "tallied without the over-max correction"},
        {{tallied, "rescore", "--points", points, "--fighter-target-correction", "on"},
         "tallied without the fighter-target correction"},
        {{tallied, "explain", "1", "Nobody"}, "game 1 has no pilot Nobody"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args.back());
        const LeagueRun run = league(c.args);
        EXPECT_EQ(run.status, kExitFailed);
        EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    // A points file that is no regular file is refused as bad usage before
    // anything reads it, when the re-scoring is applied too.
    for (const std::string& bad : {dir.path(), std::string("/dev/zero")}) {
#ifdef _WIN32
        if (bad == "/dev/zero") {
            continue;
        }
#endif
        for (const bool apply : {false, true}) {
            std::vector<std::string> args{tallied, "rescore", "--points", bad};
            if (apply) {
                args.insert(args.end(), {"--apply", "copy"});
            }
            SCOPED_TRACE(bad + (apply ? " --apply" : ""));
            const LeagueRun run = league(args);
            EXPECT_EQ(run.status, kExitUsage);
            EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
        }
    }
    // The same file, as tallied: nothing changes.
    const json same = leagueJson({tallied, "rescore", "--points", points, "--format", "json"});
    for (const json& p : same["pilots"]) {
        EXPECT_EQ(p["change"], 0) << p["name"];
    }
    // The site's items of a game are drawn from the game as published: a hidden
    // pilot is his pseudonym there too, in his rows and in the kills of others.
    ASSERT_EQ(league({tallied, "set", "hidden-pilot", "Snoopy"}).status, 0);
    ASSERT_EQ(league({tallied, "site", dir.path() + "/site"}).status, 0);
    const std::string items = dir.read("site/games/game-1-items.html");
    EXPECT_NE(items.find("<h2>Hidden pilot 1 (Allied): score "), std::string::npos);
    EXPECT_EQ(items.find("Snoopy"), std::string::npos);
    EXPECT_EQ(dir.read("site/games/game-1.html").find("Snoopy"), std::string::npos);
}

}  // namespace
}  // namespace vorskal::testing
