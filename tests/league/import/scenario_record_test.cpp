// Every scenario folder whose tally completes, recorded with each of the
// outputs (none, --json, --csv, --html): the game the league file keeps is
// the results JSON of the run, but for the lists it does not keep (targets,
// arena, timeline). However it arrives after, it is the same game, known by
// its report's key: its report file, which into another league file reads
// back the same rows, totals, points in force and corrections found
// (applied or not, and their notes); its results JSON, which into another
// league file is the game the run recorded. The three league files give the
// same standings, and one merged into a new file brings every game once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "results/sha256.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

// A run with --record and `outputs` (with `replace`: every run of a folder
// is one game); the game the league file shows, and the results JSON when
// the run wrote one. Refused: the folder's logs or report are another
// folder's game.
struct Recorded {
    bool refused = false;
    json shown;
    json results;
    std::string resultsBytes;
    std::string report;  // what the run appended to vorskal.log
};

Recorded record(const ScenarioFolder& s, const std::string& db,
                const std::vector<std::string>& outputs, bool replace = true) {
    GameDir dir;
    copyInputs(s, dir);
    const std::string before = dir.read("vorskal.log");
    std::vector<std::string> args = s.switches;
    args.insert(args.end(), {"--record", db});
    if (replace) {
        args.push_back("--replace");
    }
    for (const std::string& output : outputs) {
        args.push_back(output);
        args.push_back(dir.path() + (output == "--csv" ? "/csv" : "/out"));
    }
    args.push_back(dir.path());
    const LeagueRun run = tally(args);
    Recorded r;
    if (!replace && run.status == 2 && run.err.find("nothing recorded") != std::string::npos) {
        r.refused = true;
        return r;
    }
    EXPECT_EQ(run.status, 0) << run.err;
    const std::size_t game = run.out.find(" as game ");
    EXPECT_NE(game, std::string::npos) << run.out;
    r.shown = leagueJson(
        {db, "show", std::to_string(std::atoi(run.out.c_str() + game + 9)), "--format", "json"});
    if (!outputs.empty() && outputs.front() == "--json") {
        r.resultsBytes = dir.read("out");
        r.results = json::parse(r.resultsBytes);
    }
    r.report = dir.read("vorskal.log").substr(before.size());
    return r;
}

// The results JSON as the league keeps it: without the lists it does not
// keep, and with the run's own time and folder (which differ between runs).
// Its warnings are kept whole: a finding the folder accepts (the sample
// game's) stays accepted whichever way the game arrives.
json kept(json results, const json& shown) {
    for (const char* name : {"formatVersion", "report", "targets", "arena", "kills", "timeline"}) {
        results.erase(name);
    }
    results["run"]["startedAt"] = shown["run"]["startedAt"];
    results["run"]["directory"] = shown["run"]["directory"];
    return results;
}

// The game as a league file shows it, but for the number it was recorded
// under there. Every run of these tests records at one fixed moment
// (2026-12-06 20:15:03 UTC), however the game arrives.
json withoutRecording(json shown) {
    EXPECT_EQ(shown["league"]["recordedAt"], "2026-12-06T20:15:03Z");
    shown["league"].erase("id");
    return shown;
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

json standings(const std::string& db) {
    return leagueJson({db, "standings", "--format", "json"});
}

TEST(ScenarioRecordTest, OneGameWhateverTheOutputsAndHoweverItArrives) {
    const std::vector<ScenarioFolder> scenarios = completedScenarios();
    ASSERT_GT(scenarios.size(), 50u);
    // One league file for every recording, one for every report file
    // imported, one for every results JSON imported: each game is one of its own.
    GameDir work;
    const std::string recorded = work.path() + "/recorded.db";
    const std::string imported = work.path() + "/imported.db";
    const std::string fromJson = work.path() + "/from-json.db";
    const std::string results = work.path() + "/results.json";
    std::set<std::string> keys;
    for (const ScenarioFolder& s : scenarios) {
        SCOPED_TRACE(s.name);
        const Recorded withJson = record(s, recorded, {"--json"}, false);
        if (withJson.refused) {
            continue;  // another folder's logs (or report): that folder's game
        }
        ASSERT_FALSE(withJson.results.is_null());
        const json expected = kept(withJson.results, withJson.shown);
        EXPECT_EQ(withoutLeague(withJson.shown), expected);
        // The whole report's SHA-256 is the one of the bytes the run
        // appended, from its title line on.
        results::Sha256 whole;
        whole.update(
            withJson.report.substr(withJson.report.find("UX7SERVER Log Tally (VORSKAL.LOG)\r\n")));
        EXPECT_EQ(withJson.results["report"]["sha256"], whole.hexDigest());
        for (const std::vector<std::string>& outputs :
             {std::vector<std::string>{}, {"--csv"}, {"--html"}}) {
            SCOPED_TRACE(outputs.empty() ? "no output" : outputs.front());
            const Recorded other = record(s, recorded, outputs);
            EXPECT_EQ(withoutLeague(other.shown), kept(withJson.results, other.shown));
            EXPECT_EQ(other.shown["league"]["key"], withJson.shown["league"]["key"]);
        }
        const std::string key = withJson.shown["league"]["key"];
        keys.insert(key);

        // The report file of the run, imported: the same game, read back.
        work.write("vorskal.log", withJson.report);
        const LeagueRun again = league({recorded, "import", work.path() + "/vorskal.log"});
        EXPECT_NE(again.out.find("1 report: 0 recorded, 1 already recorded"), std::string::npos)
            << again.out;
        const LeagueRun fresh = league({imported, "import", work.path() + "/vorskal.log"});
        EXPECT_EQ(fresh.status, 0) << fresh.err;
        const json back = leagueJson({imported, "show", key, "--format", "json"});
        EXPECT_EQ(rows(back["pilots"]), rows(expected["pilots"]));
        EXPECT_EQ(back["teams"], expected["teams"]);
        EXPECT_EQ(back["settings"]["killPoints"], expected["settings"]["killPoints"]);
        EXPECT_EQ(back["settings"]["deathPoints"], expected["settings"]["deathPoints"]);
        EXPECT_EQ(back["run"]["options"], expected["run"]["options"]);
        EXPECT_EQ(findings(back["corrections"]), findings(expected["corrections"]));

        // The results JSON, imported: the game the run recorded; known again
        // as the JSON in both files, and as the report file.
        work.write("results.json", withJson.resultsBytes);
        const LeagueRun first = league({fromJson, "import", results});
        EXPECT_NE(first.out.find(": results of one game: recorded as game "), std::string::npos)
            << first.out << first.err;
        EXPECT_EQ(withoutRecording(leagueJson({fromJson, "show", key, "--format", "json"})),
                  withoutRecording(withJson.shown));
        for (const std::string& db : {fromJson, recorded}) {
            EXPECT_NE(league({db, "import", results})
                          .out.find(": results of one game: already recorded as game "),
                      std::string::npos);
        }
        EXPECT_NE(league({fromJson, "import", work.path() + "/vorskal.log"})
                      .out.find("1 report: 0 recorded, 1 already recorded"),
                  std::string::npos);
    }
    ASSERT_GT(keys.size(), 30u);
    const json all = standings(recorded);
    EXPECT_EQ(standings(imported), all);
    EXPECT_EQ(standings(fromJson), all);
    EXPECT_EQ(leagueJson({fromJson, "games", "--format", "json"})["games"].size(), keys.size());

    // The recorded league merged into a new one: every game, the same
    // games, the same standings; again, or from another league, nothing.
    const std::string merged = work.path() + "/merged.db";
    const std::string count = std::to_string(keys.size());
    const LeagueRun merge = league({merged, "merge", recorded});
    EXPECT_EQ(merge.out,
              recorded + ": " + count + " games: " + count + " recorded, 0 already recorded\n")
        << merge.err;
    for (const std::string& key : keys) {
        EXPECT_EQ(withoutRecording(leagueJson({merged, "show", key, "--format", "json"})),
                  withoutRecording(leagueJson({recorded, "show", key, "--format", "json"})));
    }
    EXPECT_EQ(standings(merged), all);
    for (const std::string& other : {recorded, fromJson}) {
        EXPECT_EQ(league({merged, "merge", other}).out,
                  other + ": " + count + " games: 0 recorded, " + count + " already recorded\n");
    }
    EXPECT_EQ(league({merged, "merge", merged}).status, kExitFailed);
}

}  // namespace
}  // namespace vorskal::testing
