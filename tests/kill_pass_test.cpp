// Pass 1, kills and deaths, seen through section 6 of whole runs: which lines
// are kill lines, self-kills, the 11-character name rule, one record per pilot
// and team, short killer texts, kill lines without a killer, and a time of day
// that is no number. Kill=10 and Death=-5 throughout, all options off.
#include <gtest/gtest.h>

#include <string>

#include "tests/report_sections.h"

namespace vorskal::testing {
namespace {

const std::string kAllied = "Allied Totals:......";
const std::string kHun = "Hun Totals:.........";

Lines scoresOf(const Lines& log) {
    const RunResult result = runLog(log, standardIni(), allOff());
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    return sectionOf(result.lines, Section::Scores);
}

TEST(KillPass, OnlyKillOfAtColumn19IsAKillLine) {
    const std::string victim = pad16("Hans") + "FOKKER_DVII";
    const std::string killer = pad16("Biggles") + "SOPWITH_CAMEL";
    const Lines log = {
        "",
        "x",
        "12/06/26 20:00:00 Kill",
        "12/06/26 20:00:01 Kill of",
        logLine("20:01:00", " Kill of " + victim + " awarded to " + killer),
        logLine("20:02:00", "Chat: Kill of " + victim + " awarded to " + killer),
        logLine("20:03:00", "kill of " + victim + " awarded to " + killer),
        logLine("20:04:00", "KILL OF " + victim + " awarded to " + killer),
        "Kill of " + victim + " awarded to " + killer,
        "12/06/26 20:05:00Kill of " + victim + " awarded to " + killer,
        killLine("20:10:00", "Fritz", "FOKKER_DVII", "Biggles", "SOPWITH_CAMEL"),
    };
    EXPECT_EQ(scoresOf(log),
              scoresSection({pilotRow("Biggles", 10, 1, 0)}, totalsLine(kAllied, 10, 1, 0),
                            {pilotRow("Fritz", -5, 0, 1)}, totalsLine(kHun, -5, 0, 1)));
}

TEST(KillPass, ASelfKillCountsTheDeathOnly) {
    const Lines log = {
        killLine("20:00:00", "Snoopy", "SOPWITH_CAMEL", "Snoopy", "SOPWITH_CAMEL"),
        // The same 16 characters in another aircraft is still the same pilot.
        killLine("20:10:00", "Snoopy", "SOPWITH_CAMEL", "Snoopy", "SPAD13"),
        // Two names alike in their first 11 characters but not in 16 are no self-kill.
        killLine("20:20:00", "Richthofen_M", "FOKKER_DVII", "Richthofen_L", "FOKKER_DVII"),
        // A killer text at the end of the line is padded to 16 before the test.
        logLine("20:30:00", "Kill of " + pad16("Bob") + "SPAD13 awarded to Bob"),
    };
    // Richthofen_L is found in Richthofen_M's record: same first 11, same team.
    EXPECT_EQ(scoresOf(log),
              scoresSection({pilotRow("Snoopy", -10, 0, 2), pilotRow("Bob", -5, 0, 1)},
                            totalsLine(kAllied, -15, 0, 3), {pilotRow("Richthofen_M", 5, 1, 1)},
                            totalsLine(kHun, 5, 1, 1)));
}

TEST(KillPass, PilotsAreMatchedByTheirFirst11Characters) {
    const Lines log = {
        killLine("20:00:00", "Richthofen_M", "ALBATROS_DIII", "Biggles", "SOPWITH_CAMEL"),
        killLine("20:05:00", "Richthofen_L", "FOKKER_DR1", "Biggles", "SE5A"),
        killLine("20:10:00", "Biggles", "SE5A", "Richthofen_W", "PFALZ_DIII"),
        // "Bigglesworth" differs from "Biggles" within 11 characters.
        killLine("20:20:00", "Bigglesworth", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"),
        // Letter case matters in names.
        killLine("20:30:00", "fritz", "FOKKER_DVII", "BIGGLES", "SOPWITH_CAMEL"),
    };
    EXPECT_EQ(scoresOf(log),
              scoresSection({pilotRow("Biggles", 15, 2, 1), pilotRow("Bigglesworth", -5, 0, 1),
                             pilotRow("BIGGLES", 10, 1, 0)},
                            totalsLine(kAllied, 20, 3, 2),
                            {pilotRow("Richthofen_M", 0, 1, 2), pilotRow("Fritz", 10, 1, 0),
                             pilotRow("fritz", -5, 0, 1)},
                            totalsLine(kHun, 5, 2, 3)));
}

// One record per pilot and team: a pilot who flew both sides owns two
// records, and every later kill or death goes to the record of its team.
TEST(KillPass, APilotOnBothSidesOwnsOneRecordPerTeam) {
    const Lines log = {
        killLine("20:00:00", "Flyboy", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:05:00", "Flyboy", "SPAD13", "Baron_Red", "FOKKER_DVII"),
        killLine("20:10:00", "Flyboy", "SPAD13", "Baron_Red", "FOKKER_DVII"),
        killLine("20:15:00", "Baron_Red", "FOKKER_DVII", "Flyboy", "SOPWITH_CAMEL"),
        killLine("20:20:00", "Snoopy", "SOPWITH_CAMEL", "Flyboy", "ALBATROS_DIII"),
        killLine("20:25:00", "Flyboy", "HALBERSTADT_CL2", "Snoopy", "NIEUPORT_17"),
    };
    // Slots: 1 Flyboy (Hun), 2 Snoopy, 3 Flyboy (Allied), 4 Baron_Red.
    EXPECT_EQ(scoresOf(log),
              scoresSection({pilotRow("Snoopy", 15, 2, 1), pilotRow("Flyboy", 0, 1, 2)},
                            totalsLine(kAllied, 15, 3, 3),
                            {pilotRow("Flyboy", 0, 1, 2), pilotRow("Baron_Red", 15, 2, 1)},
                            totalsLine(kHun, 15, 3, 3)));
}

// A killer text shorter than the name window is padded before it is
// compared, so a killer at the end of the line keeps one record.
TEST(KillPass, AShortKillerTextIsFoundInItsRecord) {
    const Lines log = {
        logLine("20:00:00", "Kill of " + pad16("Fritz") + "FOKKER_DVII awarded to Bob"),
        logLine("20:05:00", "Kill of " + pad16("Hans") + "FOKKER_DVII awarded to Bob"),
        logLine("20:10:00", "Kill of " + pad16("Karl") + "PFALZ_DIII awarded to Bob"),
    };
    EXPECT_EQ(scoresOf(log),
              scoresSection({}, totalsLine(kAllied, 0, 0, 0),
                            {pilotRow("Fritz", -5, 0, 1), pilotRow("Hans", -5, 0, 1),
                             pilotRow("Karl", -5, 0, 1)},
                            totalsLine(kHun, -15, 0, 3), {pilotRow("Bob", 30, 3, 0)}));
}

// A line that ends inside the victim window is padded like a short killer
// text, so the same short victim keeps one record.
TEST(KillPass, AShortVictimWindowIsFoundInItsRecord) {
    const Lines log = {
        logLine("20:00:00", "Kill of Bob"),
        logLine("20:05:00", "Kill of Bob"),
        logLine("20:10:00",
                "Kill of " + pad16("Bob") + " awarded to " + pad16("Snoopy") + "SOPWITH_CAMEL"),
    };
    EXPECT_EQ(scoresOf(log),
              scoresSection({pilotRow("Snoopy", 10, 1, 0)}, totalsLine(kAllied, 10, 1, 0), {},
                            totalsLine(kHun, 0, 0, 0), {pilotRow("Bob", -15, 0, 3)}));
}

TEST(KillPass, AKillLineWithoutAwardedToCountsTheDeathOnly) {
    const Lines log = {
        logLine("20:00:00", "Kill of " + pad16("Fritz") + "FOKKER_DVII"),
        logLine("20:05:00", "Kill of " + pad16("Hans") + "ALBATROS_DIII crashed into the ground"),
        // The search for "awarded to " ignores letter case.
        logLine("20:10:00", "Kill of " + pad16("Fritz") + "FOKKER_DVII AWARDED TO " +
                                pad16("Snoopy") + "SOPWITH_CAMEL"),
        logLine("20:20:00", "Kill of " + pad16("Hans") + "ALBATROS_DIII Awarded To " +
                                pad16("Snoopy") + "SOPWITH_CAMEL"),
    };
    EXPECT_EQ(scoresOf(log),
              scoresSection({pilotRow("Snoopy", 20, 2, 0)}, totalsLine(kAllied, 20, 2, 0),
                            {pilotRow("Fritz", -10, 0, 2), pilotRow("Hans", -10, 0, 2)},
                            totalsLine(kHun, -20, 0, 4)));
}

// The victim is entered before the killer, and the team of each comes from
// 26 characters: the padded name and the start of the aircraft.
TEST(KillPass, RecordsFollowFirstSightAndTheAircraftsTeam) {
    const Lines log = {
        killLine("20:00:00", "Jean", "BRISTOL_F2B", "Pierre", "DH4"),
        killLine("20:05:00", "Otto", "HALBERSTADT_CL2", "Otto2", "AIRCO_DH2"),
        killLine("20:10:00", "Pierre", "DH4", "Jean", "MORANE_N"),
        // A kill of a pilot of the killer's own team is credited all the same.
        killLine("20:15:00", "Otto2", "AIRCO_DH2", "Jean", "MORANE_N"),
    };
    // Slots: 1 Jean (0), 2 Pierre (0), 3 Otto (2), 4 Otto2 (1), 5 Jean (1).
    EXPECT_EQ(scoresOf(log),
              scoresSection({pilotRow("Otto2", 5, 1, 1), pilotRow("Jean", 20, 2, 0)},
                            totalsLine(kAllied, 25, 3, 1), {pilotRow("Otto", -5, 0, 1)},
                            totalsLine(kHun, -5, 0, 1),
                            {pilotRow("Jean", -5, 0, 1), pilotRow("Pierre", 5, 1, 1)}));
}

TEST(KillPass, TheLogsLineEndsDoNotMatter) {
    const Lines log = {
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        killLine("20:05:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"),
    };
    const RunResult crlfRun = runLog(log, standardIni(), allOff());
    for (const char* end : {"\n", "\r"}) {
        SCOPED_TRACE(end[0] == '\n' ? "LF" : "CR");
        const std::string bytes = log[0] + end + log[1] + end;
        const RunResult other =
            runGame({{"ux7server0.log", bytes}, {"vorskal.ini", standardIni()}}, allOff());
        EXPECT_EQ(other.report, crlfRun.report);
    }
    EXPECT_EQ(sectionOf(crlfRun.lines, Section::Scores),
              scoresSection({pilotRow("Snoopy", 5, 1, 1)}, totalsLine(kAllied, 5, 1, 1),
                            {pilotRow("Fritz", 5, 1, 1)}, totalsLine(kHun, 5, 1, 1)));
}

TEST(KillPass, ATimeOfDayThatIsNoNumberStopsTheRun) {
    const RunResult result =
        runGame({{"ux7server0.log",
                  crlf({logLine("20:00:00", "Server started"),
                        killLine("20:01:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL")})},
                 {"ux7server1.log",
                  crlf({killLine("2x:15:03", "Hans", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL")})},
                 {"vorskal.ini", standardIni()}},
                allOff());
    expectFailure(result, "ERROR -- ux7server.log line 3: ", "2x");
    // Pass 1 writes nothing: the report is the header and the error.
    Lines expected = expectedHeader();
    expected.push_back(result.lines.back());
    EXPECT_EQ(result.lines, expected);
}

}  // namespace
}  // namespace vorskal::testing
