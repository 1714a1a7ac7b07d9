// Every scenario folder whose tally completes, recorded with each of the
// outputs (none, --json, --csv, --html): the game the league file keeps is
// the results JSON of the run, but for the lists it does not keep (targets,
// arena, timeline). Its report file imported afterwards is the same game,
// and into another league file it reads back the same rows, totals, points
// in force and corrections found (applied or not, and their notes).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

json parsed(const LeagueRun& run) {
    EXPECT_EQ(run.status, 0) << run.err;
    return json::parse(run.out);
}

// A run with --record (--replace: every run of a folder is one game) and
// `outputs`; the game the league file shows, and the results JSON when the
// run wrote one.
struct Recorded {
    json shown;
    json results;
    std::string report;  // what the run appended to vorskal.log
};

Recorded record(const ScenarioFolder& s, const std::string& db,
                const std::vector<std::string>& outputs) {
    GameDir dir;
    copyInputs(s, dir);
    const std::string before = dir.read("vorskal.log");
    std::vector<std::string> args = s.switches;
    args.insert(args.end(), {"--record", db, "--replace"});
    for (const std::string& output : outputs) {
        args.push_back(output);
        args.push_back(dir.path() + (output == "--csv" ? "/csv" : "/out"));
    }
    args.push_back(dir.path());
    const LeagueRun run = tally(args);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::size_t game = run.out.find(" as game ");
    EXPECT_NE(game, std::string::npos) << run.out;
    Recorded r;
    r.shown = parsed(league(
        {db, "show", std::to_string(std::atoi(run.out.c_str() + game + 9)), "--format", "json"}));
    if (!outputs.empty() && outputs.front() == "--json") {
        r.results = json::parse(dir.read("out"));
    }
    r.report = dir.read("vorskal.log").substr(before.size());
    return r;
}

// The results JSON as the league keeps it: without the lists it does not
// keep, and with the run's own time and folder (which differ between runs).
// Its warnings are kept whole: a finding the folder accepts (the sample
// game's) stays accepted whichever way the game arrives.
json kept(json results, const json& shown) {
    for (const char* name : {"formatVersion", "report", "targets", "arena", "timeline"}) {
        results.erase(name);
    }
    results["run"]["startedAt"] = shown["run"]["startedAt"];
    results["run"]["directory"] = shown["run"]["directory"];
    return results;
}

json withoutLeague(json shown) {
    shown.erase("formatVersion");
    shown.erase("league");
    return shown;
}

// What a report shows of its pilots: all but the team code (a report names
// the side alone).
json rows(json pilots) {
    for (json& pilot : pilots) {
        pilot.erase("teamCode");
    }
    return pilots;
}

// What a report shows of its corrections: kind, applied, note.
json findings(const json& corrections) {
    json out = json::array();
    for (const json& c : corrections) {
        out.push_back({c["kind"], c["applied"], c["note"]});
    }
    return out;
}

TEST(ScenarioRecordTest, TheLeaguesGameIsTheResultsOfTheRunWhateverTheOutputs) {
    const std::vector<ScenarioFolder> scenarios = completedScenarios();
    ASSERT_GT(scenarios.size(), 50u);
    // One league file for every recording, one for every import: each game
    // is one of its own.
    GameDir work;
    const std::string recorded = work.path() + "/recorded.db";
    const std::string imported = work.path() + "/imported.db";
    for (const ScenarioFolder& s : scenarios) {
        SCOPED_TRACE(s.name);
        const Recorded withJson = record(s, recorded, {"--json"});
        ASSERT_FALSE(withJson.results.is_null());
        const json expected = kept(withJson.results, withJson.shown);
        EXPECT_EQ(withoutLeague(withJson.shown), expected);
        for (const std::vector<std::string>& outputs :
             {std::vector<std::string>{}, {"--csv"}, {"--html"}}) {
            SCOPED_TRACE(outputs.empty() ? "no output" : outputs.front());
            const Recorded other = record(s, recorded, outputs);
            EXPECT_EQ(withoutLeague(other.shown), kept(withJson.results, other.shown));
            EXPECT_EQ(other.shown["league"]["key"], withJson.shown["league"]["key"]);
        }

        // The report file of the run, imported: the same game, read back.
        const std::string key = withJson.shown["league"]["key"];
        work.write("vorskal.log", withJson.report);
        const LeagueRun again = league({recorded, "import", work.path() + "/vorskal.log"});
        EXPECT_NE(again.out.find("1 reports: 0 recorded, 1 already recorded"), std::string::npos)
            << again.out;
        // (Folders whose reports are the same line for line, line ends
        // apart say, are one game: the second is recorded already.)
        const LeagueRun fresh = league({imported, "import", work.path() + "/vorskal.log"});
        EXPECT_EQ(fresh.status, 0) << fresh.err;
        const json back = parsed(league({imported, "show", key, "--format", "json"}));
        EXPECT_EQ(rows(back["pilots"]), rows(expected["pilots"]));
        EXPECT_EQ(back["teams"], expected["teams"]);
        EXPECT_EQ(back["settings"]["killPoints"], expected["settings"]["killPoints"]);
        EXPECT_EQ(back["settings"]["deathPoints"], expected["settings"]["deathPoints"]);
        EXPECT_EQ(back["run"]["options"], expected["run"]["options"]);
        EXPECT_EQ(findings(back["corrections"]), findings(expected["corrections"]));
    }
}

}  // namespace
}  // namespace vorskal::testing
