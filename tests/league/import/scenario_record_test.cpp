// Every scenario folder whose tally completes, recorded with each output:
// the league keeps the run's results JSON but for the lists it does not
// keep, and the game is the same however it arrives after (its report
// file, its results JSON, a merge).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "league/import/report_reader.h"
#include "results/sha256.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"
#include "tests/support/scenarios.h"

namespace vorskal::testing {
namespace {

using nlohmann::json;

// A run with --record and `outputs` (with `replace`: every run of a folder
// is one game). Refused: the folder's game is another folder's.
struct Recorded {
    bool refused = false;
    json shown;
    json results;
    std::string resultsBytes;
    std::string report;  // what the run appended to vorskal.log
};

Recorded record(const Scenario& s, const std::string& db, const std::vector<std::string>& outputs,
                bool replace = true) {
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

// The results JSON as the league keeps it, with the run's own time and
// folder (which differ between runs); its warnings are kept whole.
json kept(json results, const json& shown) {
    for (const char* name : {"formatVersion", "report", "targets", "arena", "kills", "timeline"}) {
        results.erase(name);
    }
    results["run"]["startedAt"] = shown["run"]["startedAt"];
    results["run"]["directory"] = shown["run"]["directory"];
    return results;
}

// The game as a league file shows it, but for its number there. Every run
// records at one fixed moment, however the game arrives.
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
    const std::vector<Scenario> scenarios = completedScenarios();
    ASSERT_GT(scenarios.size(), 50u);
    // One league file for the recordings, the report files and the JSONs each.
    GameDir work;
    const std::string recorded = work.path() + "/recorded.db";
    const std::string imported = work.path() + "/imported.db";
    const std::string fromJson = work.path() + "/from-json.db";
    const std::string results = work.path() + "/results.json";
    std::set<std::string> keys;
    for (const Scenario& s : scenarios) {
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

// The importer reads back what the tally writes. What a report shows of a
// game, one line a fact, to compare as a whole.
std::string reportFacts(const results::GameResults& game) {
    std::ostringstream out;
    const auto& run = game.run;
    out << "options " << run.overMaxPilotCorrection << run.multiDeathCorrection
        << run.fighterTargetCorrection << run.redBoxedOnly << "\n";
    out << "map " << game.settings.map << ", kill " << game.settings.killPoints << ", death "
        << game.settings.deathPoints << "\n";
    for (const auto& p : game.pilots) {
        out << results::sideName(p.team) << " " << p.name << ": " << p.score << " " << p.kills
            << " " << p.deaths << " " << p.targetsDestroyed << " " << p.targetPoints;
        for (const auto& key : p.locations) {
            out << " [" << key << "]";
        }
        out << "\n";
    }
    for (const auto* t : {&game.allied, &game.hun}) {
        out << "totals " << t->score << " " << t->kills << " " << t->deaths << " "
            << t->targetsDestroyed << " " << t->targetPoints << " less " << t->overMaxPenalty
            << " is " << t->final << "\n";
    }
    for (const auto& c : game.corrections) {
        out << results::kindName(c.kind);
        if (c.kind == results::CorrectionKind::OverMax) {
            out << " " << results::sideName(c.moves.at(0).team) << " " << c.moves.at(0).by;
        }
        out << "\n";
    }
    return out.str();
}

TEST(ReportReader, EveryScenarioReportReadsBackAsItsResults) {
    int compared = 0;
    for (const Scenario& s : allScenarios(VORSKAL_SOURCE_DIR)) {
        if (s.status != 0 || !s.reportOpened) {
            continue;
        }
        SCOPED_TRACE(s.name);
        results::GameResults model;
        Files files;
        ASSERT_EQ(runInMemory(s, false, &model, files).kind, OutcomeKind::Completed);
        const std::vector<league::FoundReport> reports = league::splitReports(s.report);
        ASSERT_EQ(reports.size(), 1u);
        ASSERT_EQ(reports[0].state, league::ReportState::Complete);
        EXPECT_EQ(reportFacts(league::readReport(reports[0])), reportFacts(model));
        ++compared;
    }
    EXPECT_GT(compared, 50);
}

// The sample game's report with line `line` (of the file, from 1) replaced
// by `text`, or taken out when `text` is null.
std::string sampleReportWith(std::size_t line, const char* text) {
    std::vector<std::string> lines =
        linesOf(expectedReport(std::string(VORSKAL_SOURCE_DIR) + "/tests/scenarios/sample-game"));
    if (text == nullptr) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line - 1));
    } else {
        lines.at(line - 1) = text;
    }
    return crlf(lines);
}

TEST(ReportReader, AReportThatDoesNotReadAsOneIsRefusedAtItsLine) {
    // Line numbers of tests/scenarios/sample-game/expect.report: the title
    // at 3, "Rev" at 4, section 4's heading at 51 and 5's at 59, section 6
    // at 69, "*Allied*" at 72, Biggles' row at 76, the Allied totals at
    // 92, the Hun totals at 112, the ZORL totals at 120 and 121.
    const struct {
        std::size_t line;
        const char* text;  // null: the line taken out
        std::size_t failsAt;
        const char* says;
    } cases[] = {
        {4, "Revision 3.40", 4, "no \"Rev \" line under the title"},
        {59, nullptr, 52, "no heading \"5. Report non-red boxed targets destroyed.\""},
        {72, "*Allies*", 72, "a score row outside the Allied and Hun tables"},
        // Numbers the tally's reader refuses: an exponent, hex, infinity.
        {76, "Biggles         .....1e3.........1.......1........0...0...", 76,
         "a score row that does not read as one"},
        {92, "Allied Totals:......0x55........8.......12........3...65...", 92,
         "the Allied totals line does not read as one"},
        {121, "Hun Total:......inf", 121, "expected \"Hun Total:......\" and the final total"},
        {112, nullptr, 69, "section 6 lacks a team's totals line"},
        // One dot too few after the score.
        {76, "Biggles         .....5........1.......1........0...0...", 76,
         "a score row that does not read as one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const auto reports = league::splitReports(sampleReportWith(c.line, c.text));
        ASSERT_EQ(reports.size(), 1u);
        try {
            league::readReport(reports[0]);
            ADD_FAILURE() << "read without a failure";
        } catch (const league::ReportLayoutError& error) {
            EXPECT_EQ(error.line, c.failsAt);
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
    }
}

TEST(ReportReader, PointValuesAreReadAsTheTallyReadsNumbers) {
    // Section 7's lines 129 to 134 (Bridge to Battery) in other spellings:
    // blanks around a number, fractions rounded down, and no exponent, hex
    // or infinity (those lines are not point values).
    std::string report = sampleReportWith(129, "Bridge=1e3");
    const char* spellings[] = {"Depot= 10 ", "Hangar=20.7", "Factory=-2.5", "Railyard=0x1A",
                               "Battery=inf"};
    std::vector<std::string> lines = linesOf(report);
    for (std::size_t i = 0; i < 5; ++i) {
        lines.at(129 + i) = spellings[i];
    }
    const auto reports = league::splitReports(crlf(lines));
    const results::GameResults game = league::readReport(reports.at(0));
    std::string values;
    for (const auto& v : game.settings.typeValues) {
        values += v.type + "=" + std::to_string(v.points) + " ";
    }
    EXPECT_EQ(values, "Depot=10 Hangar=20 Factory=-3 Aerodrome=40 ");
    EXPECT_EQ(game.settings.killPoints, 10);
    EXPECT_EQ(game.settings.deathPoints, -5);
}

// The sample game's hand-worked reports give the numbers.
TEST(ReportReader, CompleteReportsRecordedOthersSkippedAndNamedReimportAddsNothing) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    // Reports 1 and 2 are the sample game's (138 and 105 lines); report 3
    // stops after 40 lines with its ERROR line; report 4 is cut short.
    const std::string sample = reportFile({"sample-game"}, {"20:15:03"});
    std::string failed;
    std::string cut;
    for (std::size_t at = 0, line = 0; line < 40; ++line) {
        const std::size_t end = sample.find("\r\n", at) + 2;
        failed += sample.substr(at, end - at);
        at = end;
    }
    failed += "ERROR -- vorskal.ini: cannot open\r\n";
    cut = sample.substr(0, sample.find("Hun Totals:"));
    dir.write("vorskal.log",
              reportFile({"sample-game", "sample-game-options-off"}, {"20:15:03", "20:16:00"}) +
                  failed + cut);

    const LeagueRun first = league({db, "import", dir.path() + "/vorskal.log"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("4 reports: 2 recorded, 0 already recorded, 2 skipped"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.err.find("vorskal.log:246: report 3 ends in \"ERROR -- vorskal.ini: cannot "
                             "open\": skipped"),
              std::string::npos)
        << first.err;
    EXPECT_NE(first.err.find("vorskal.log:287: report 4 is cut short"), std::string::npos)
        << first.err;

    const LeagueRun again = league({db, "import", dir.path() + "/vorskal.log"});
    EXPECT_NE(again.out.find("0 recorded, 2 already recorded, 2 skipped"), std::string::npos);
    // A file is read in blocks of 64 KiB: report 1 whose title follows a
    // CR LF that spans the first block's end (the report opens with two
    // empty lines), and report 1 with LF line ends, are the game recorded
    // already.
    std::string lf = sample;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
        lf.erase(at, 1);
    }
    ASSERT_EQ(sample.substr(0, 4), "\r\n\r\n");
    dir.write("spanning.log", std::string(65533, 'x') + sample);
    dir.write("lf.log", lf);
    for (const char* name : {"/spanning.log", "/lf.log"}) {
        const LeagueRun read = league({db, "import", dir.path() + name});
        EXPECT_NE(read.out.find("1 report: 0 recorded, 1 already recorded"), std::string::npos)
            << name << ": " << read.out << read.err;
    }

    // Sums of the two reports' rows and ZORL totals, by hand.
    const nlohmann::json all = standings(db);
    EXPECT_EQ(all["sides"][0], nlohmann::json::parse(R"({"team":"Allied","games":2,
        "won":2,"lost":0,"drawn":0,"pointsFor":199,"pointsAgainst":162})"));
    const auto pilot = [&](const std::string& name, const std::string& team) {
        for (const auto& p : all["pilots"]) {
            if (p["name"] == name && p["team"] == team) {
                return p;
            }
        }
        return nlohmann::json();
    };
    EXPECT_EQ(pilot("Jacobs", "Hun"), nlohmann::json::parse(R"({"name":"Jacobs","team":"Hun",
        "games":2,"kills":4,"deaths":0,"targetsDestroyed":1,"targetPoints":25,"score":65})"));
    EXPECT_EQ(pilot("Nungesser", "Allied")["targetPoints"], 90);
    EXPECT_EQ(pilot("Baron_Red", "Hun")["deaths"], 3);
    EXPECT_EQ(pilot("Turncoat_Tom", "Allied")["score"], 10);
    EXPECT_EQ(pilot("Turncoat_Tom", "Hun")["score"], -10);
    EXPECT_EQ(pilot("Archie", "unknown")["kills"], 4);
    EXPECT_EQ(all["pilots"].size(), 28u);  // 15 Allied, 12 Hun, 1 unknown

    // Its map and day, and the second report's options (the rows, points,
    // options and corrections a report gives are compared with the run's
    // own for every scenario folder in scenario_record_test.cpp).
    const nlohmann::json game = leagueJson({db, "show", "1", "--format", "json"});
    EXPECT_EQ(game["settings"]["map"], "Verdun");
    EXPECT_EQ(game["league"]["playedOn"], "2026-12-06");
    EXPECT_EQ(
        leagueJson({db, "show", "2", "--format", "json"})["run"]["options"]["multiDeathCorrection"],
        false);
}

}  // namespace
}  // namespace vorskal::testing
