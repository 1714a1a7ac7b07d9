// Section 6 and the ZORL block, byte for byte: pilot rows with their runs of
// dots, negative scores, names shorter than 16 characters, pilots of unknown
// team, no pilots, totals beyond 16 bits, and 32-bit overflow as a failure.
#include <gtest/gtest.h>

#include <string>

#include "tests/report_sections.h"

namespace vorskal::testing {
namespace {

std::string iniWithPoints(const std::string& kill, const std::string& death) {
    Lines lines = standardIniLines();
    for (auto& line : lines) {
        if (line == "Kill=10") {
            line = "Kill=" + kill;
        } else if (line == "Death=-5") {
            line = "Death=" + death;
        }
    }
    return crlf(lines);
}

Lines withStandardPoints(Lines head) {
    for (const auto& line : standardPointLines()) {
        head.push_back(line);
    }
    return head;
}

TEST(ScoreTables, RowsTotalsAndUnknownTeamExactly) {
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:01:00", "Jean", "BRISTOL_F2B", "Fritz", "FOKKER_DVII"),
        killLine("20:02:00", "Manfred_Richthof", "ALBATROS_DIII", "Bob", ""),
        killLine("20:03:00", "Snoopy", "SOPWITH_CAMEL", "Pierre", "DH4"),
    };
    const RunResult result = runLog(log);
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    // Every row written out by hand: 16-character name, 5 dots, score, 9 dots,
    // kills, 7 dots, deaths, 8 dots, targets, 3 dots, target points, 3 dots.
    const Lines expected = {
        "6. Report scores.",
        "-----------------",
        " ",
        "*Allied*",
        " ",
        "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)",
        "--------------------------------------------------------------------",
        "Snoopy          .....5.........1.......1........0...0...",
        " ",
        "Allied Totals:......5........1.......1........0...0...",
        " ",
        " ",
        "*Hun*",
        " ",
        "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)",
        "--------------------------------------------------------------------",
        "Fritz           .....5.........1.......1........0...0...",
        "Manfred_Richthof.....-5.........0.......1........0...0...",
        " ",
        "Hun Totals:.........0........1.......2........0...0...",
        " ",
        "Unable to determine team",
        "Jean            .....-5.........0.......1........0...0...",
        " ",
        "Unable to determine team",
        "Bob             .....10.........1.......0........0...0...",
        " ",
        "Unable to determine team",
        "Pierre          .....10.........1.......0........0...0...",
        " ",
        " ",
    };
    EXPECT_EQ(sectionOf(result.lines, Section::Scores), expected);
    EXPECT_EQ(sectionOf(result.lines, Section::Zorl),
              (Lines{"ZORL Scoring Results (includes corrections if enabled)",
                     "-----------------------------------------------------------",
                     "Allied Total:...5", "Hun Total:......0", " ", " "}));
}

// 3 kills, 1 death and 2 targets worth 15 points in all: 3 x 10 - 5 + 15.
TEST(ScoreTables, TargetPointsAddToTheScore) {
    const Lines ini = {"Map=Verdun", "Verdun",   "20-Depot,1", "21-Tent,1", "",
                       "Kill=10",    "Death=-5", "Depot=7",    "Tent=8",    "Bridge=15",
                       "Barn=2",     "Mill=6",   "Train=9",    "Truck=4",   "Hangar=12"};
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:05:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:10:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"),
        killLine("20:15:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        logLine("20:20:00", "Target Depot #20 destroyed by Snoopy."),
        logLine("20:25:00", "Target Tent #21 destroyed by Snoopy."),
    };
    const RunResult result = runLog(log, crlf(ini), allOff());
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({"Snoopy          .....40.........3.......1........2...15...,#20,#21"},
                            "Allied Totals:......40........3.......1........2...15...",
                            {"Fritz           .....-5.........1.......3........0...0..."},
                            "Hun Totals:.........-5........1.......3........0...0..."));
    EXPECT_EQ(sectionOf(result.lines, Section::Zorl), zorlBlock(40, -5));
}

// A record whose team is none of 0, 1 and 2 (a team code of the settings
// file, reached through a target) is listed with the pilots of unknown team,
// in slot order among them, and counts in no total.
TEST(ScoreTables, OtherTeamCodesAreListedAsUnknownTeam) {
    const Lines ini = withStandardPoints({"Map=Verdun", "Verdun", "20-Depot,3", "21-Tent,0", ""});
    const Lines log = {
        killLine("20:00:00", "Jean", "BRISTOL_F2B", "Snoopy", "SOPWITH_CAMEL"),
        logLine("20:05:00", "Target Depot #20 destroyed by Zed."),
        killLine("20:10:00", "Pierre", "DH4", "Snoopy", "SOPWITH_CAMEL"),
        logLine("20:15:00", "Target Tent #21 destroyed by Yves."),
    };
    const RunResult result = runLog(log, crlf(ini), allOff());
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    // Pass 1 adds Jean, Snoopy and Pierre; pass 2 adds Zed and Yves.
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({pilotRow("Snoopy", 20, 2, 0)},
                            "Allied Totals:......20........2.......0........0...0...", {},
                            "Hun Totals:.........0........0.......0........0...0...",
                            {pilotRow("Jean", -5, 0, 1), pilotRow("Pierre", -5, 0, 1),
                             "Zed             .....7.........0.......0........1...7...,#20",
                             "Yves            .....3.........0.......0........1...3...,#21"}));
    EXPECT_EQ(sectionOf(result.lines, Section::Zorl), zorlBlock(20, 0));
}

TEST(ScoreTables, ANameShorterThan16IsPaddedInItsRow) {
    // A killer at the very end of the line: its name is the whole short text.
    const Lines log = {
        logLine("20:00:00", "Kill of " + pad16("Fritz") + "FOKKER_DVII awarded to Al"),
        logLine("20:05:00",
                "Kill of " + pad16("Hans") + "FOKKER_DVII awarded to " + pad16("Ed") + "SPAD13"),
    };
    const RunResult result = runLog(log, standardIni(), allOff());
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({"Ed              .....10.........1.......0........0...0..."},
                            "Allied Totals:......10........1.......0........0...0...",
                            {"Fritz           .....-5.........0.......1........0...0...",
                             "Hans            .....-5.........0.......1........0...0..."},
                            "Hun Totals:.........-10........0.......2........0...0...",
                            {"Al              .....10.........1.......0........0...0..."}));
}

TEST(ScoreTables, NoPilotsAtAll) {
    const Lines log = {logLine("20:00:00", "Server started"),
                       logLine("20:00:01", "Kill count reset"),
                       logLine("20:00:02", "Weather: clear")};
    const RunResult result = runLog(log);
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed);
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({}, "Allied Totals:......0........0.......0........0...0...", {},
                            "Hun Totals:.........0........0.......0........0...0..."));
    EXPECT_EQ(sectionOf(result.lines, Section::Zorl), zorlBlock(0, 0));
}

// Scores multiply the counts by the point values of the settings file.
TEST(ScoreTables, ScoresFollowThePointValues) {
    struct Case {
        std::string kill, death;
        long long snoopy, fritz;  // Snoopy: 3 kills 1 death; Fritz: 1 kill 3 deaths
    };
    const Case cases[] = {
        {"10", "-5", 25, -5}, {"125", "-40", 335, 5}, {"0", "0", 0, 0},
        {"-10", "5", -25, 5}, {"3", "2", 11, 9},      {"1000", "-1", 2999, 997},
    };
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:01:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:02:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"),
        killLine("20:03:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Kill=" + c.kill + " Death=" + c.death);
        const RunResult result = runLog(log, iniWithPoints(c.kill, c.death), allOff());
        EXPECT_EQ(sectionOf(result.lines, Section::Scores),
                  scoresSection({pilotRow("Snoopy", c.snoopy, 3, 1)},
                                totalsLine("Allied Totals:......", c.snoopy, 3, 1),
                                {pilotRow("Fritz", c.fritz, 1, 3)},
                                totalsLine("Hun Totals:.........", c.fritz, 1, 3)));
        EXPECT_EQ(sectionOf(result.lines, Section::Zorl), zorlBlock(c.snoopy, c.fritz));
    }
}

// Scores and totals are 32-bit: above 32767 is a normal game.
TEST(ScoreTables, TotalsAbove32767) {
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:10:00", "Hans", "ALBATROS_DIII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:20:00", "Fritz", "FOKKER_DVII", "Biggles", "SE5A"),
    };
    const RunResult result = runLog(log, iniWithPoints("20000", "-5"));
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({"Snoopy          .....40000.........2.......0........0...0...",
                             "Biggles         .....20000.........1.......0........0...0..."},
                            "Allied Totals:......60000........3.......0........0...0...",
                            {"Fritz           .....-10.........0.......2........0...0...",
                             "Hans            .....-5.........0.......1........0...0..."},
                            "Hun Totals:.........-15........0.......3........0...0..."));
    EXPECT_EQ(sectionOf(result.lines, Section::Zorl), zorlBlock(60000, -15));
}

TEST(ScoreTables, TheEdgesOfThe32BitRange) {
    const Lines log = {killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL")};
    const RunResult result = runLog(log, iniWithPoints("2147483647", "-2147483648"));
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({pilotRow("Snoopy", 2147483647LL, 1, 0)},
                            totalsLine("Allied Totals:......", 2147483647LL, 1, 0),
                            {pilotRow("Fritz", -2147483648LL, 0, 1)},
                            totalsLine("Hun Totals:.........", -2147483648LL, 0, 1)));
    EXPECT_EQ(sectionOf(result.lines, Section::Zorl), zorlBlock(2147483647LL, -2147483648LL));
}

// The lines of the report up to (not including) its ERROR line, from the
// line `from` on.
Lines beforeError(const Lines& report, const std::string& from) {
    Lines lines;
    bool on = false;
    for (const auto& line : report) {
        on = on || line == from;
        if (line.rfind("ERROR -- ", 0) == 0) {
            break;
        }
        if (on) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(ScoreTables, AScoreBeyond32BitsStopsTheRun) {
    // 2 kills at 2000000000 points each.
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:10:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
    };
    const RunResult result = runLog(log, iniWithPoints("2000000000", "-5"));
    expectFailure(result, "ERROR -- ");
    EXPECT_EQ(beforeError(result.lines, "6. Report scores."),
              (Lines{"6. Report scores.", "-----------------", " ", "*Allied*", " ", kTableHeading,
                     kTableRule}));
}

TEST(ScoreTables, ANegativeScoreBeyond32BitsStopsTheRun) {
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:10:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
    };
    const RunResult result = runLog(log, iniWithPoints("10", "-2000000000"));
    expectFailure(result, "ERROR -- ");
    EXPECT_EQ(beforeError(result.lines, "6. Report scores."),
              (Lines{"6. Report scores.", "-----------------", " ", "*Allied*", " ", kTableHeading,
                     kTableRule, pilotRow("Snoopy", 20, 2, 0), " ",
                     totalsLine("Allied Totals:......", 20, 2, 0), " ", " ", "*Hun*", " ",
                     kTableHeading, kTableRule}));
}

TEST(ScoreTables, ATotalBeyond32BitsStopsTheRunAfterTheRow) {
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:10:00", "Hans", "FOKKER_DVII", "Biggles", "SOPWITH_CAMEL"),
    };
    const RunResult result = runLog(log, iniWithPoints("2000000000", "-5"));
    expectFailure(result, "ERROR -- ");
    // The second row is written before its score is added into the total.
    EXPECT_EQ(
        beforeError(result.lines, "6. Report scores."),
        (Lines{"6. Report scores.", "-----------------", " ", "*Allied*", " ", kTableHeading,
               kTableRule, "Snoopy          .....2000000000.........1.......0........0...0...",
               "Biggles         .....2000000000.........1.......0........0...0..."}));
}

}  // namespace
}  // namespace vorskal::testing
