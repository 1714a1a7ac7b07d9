// The importer reads back what the tally writes: every scenario folder's
// expected report gives the numbers of the results model of the same run;
// and a report that does not read as one is refused naming its line.
#include <gtest/gtest.h>

#include <sstream>

#include "league/import/report_reader.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"
#include "tests/support/scenarios.h"

namespace vorskal::testing {
namespace {

using results::GameResults;

// What a report shows of a game, one line a fact, to compare as a whole.
std::string reportFacts(const GameResults& game) {
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
        GameResults model;
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
    const GameResults game = league::readReport(reports.at(0));
    std::string values;
    for (const auto& v : game.settings.typeValues) {
        values += v.type + "=" + std::to_string(v.points) + " ";
    }
    EXPECT_EQ(values, "Depot=10 Hangar=20 Factory=-3 Aerodrome=40 ");
    EXPECT_EQ(game.settings.killPoints, 10);
    EXPECT_EQ(game.settings.deathPoints, -5);
}

}  // namespace
}  // namespace vorskal::testing
