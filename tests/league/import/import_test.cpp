// Importing report files: the sample game's hand-worked reports give the
// numbers; reports that stopped on an error or were cut short are skipped
// and named. (Every scenario folder's report, imported, is the game its
// tally records: scenario_record_test.cpp.)
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

TEST(ImportTest, CompleteReportsRecordedOthersSkippedAndNamedReimportAddsNothing) {
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
    const nlohmann::json standings = leagueJson({db, "standings", "--format", "json"});
    EXPECT_EQ(standings["sides"][0], nlohmann::json::parse(R"({"team":"Allied","games":2,
        "won":2,"lost":0,"drawn":0,"pointsFor":199,"pointsAgainst":162})"));
    const auto pilot = [&](const std::string& name, const std::string& team) {
        for (const auto& p : standings["pilots"]) {
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
    EXPECT_EQ(standings["pilots"].size(), 28u);  // 15 Allied, 12 Hun, 1 unknown

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
