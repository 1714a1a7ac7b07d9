// The report's frame on a game without events: the header, all seven sections
// with their headings, rules, notices and spacer lines, byte for byte, with
// the options all on, all off and one at a time; appending to an existing
// report; CR LF line ends.
#include <gtest/gtest.h>

#include <string>

#include "tests/report_sections.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

// A log with a few lines that are no events of any pass.
Lines quietLog() {
    return {logLine("20:00:00", "Server started on port 2300"),
            logLine("20:00:05", "Mission loaded"), logLine("20:45:00", "Server shutting down")};
}

GameFiles quietGame() {
    return {{"ux7server0.log", crlf(quietLog())}, {"vorskal.ini", standardIni()}};
}

// Sections 6, the totals block and 7 of a game without pilots and with the
// usual settings file: the same whatever the options.
Lines quietTail() {
    return {"6. Report scores.",
            "-----------------",
            " ",
            "*Allied*",
            " ",
            "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)",
            "--------------------------------------------------------------------",
            " ",
            "Allied Totals:......0........0.......0........0...0...",
            " ",
            " ",
            "*Hun*",
            " ",
            "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)",
            "--------------------------------------------------------------------",
            " ",
            "Hun Totals:.........0........0.......0........0...0...",
            " ",
            " ",
            "ZORL Scoring Results (includes corrections if enabled)",
            "-----------------------------------------------------------",
            "Allied Total:...0",
            "Hun Total:......0",
            " ",
            " ",
            " ",
            "7. ZORL Scoring Point Values",
            "---------------------------------",
            "Kill=10",
            "Death=-5",
            "Bridge=15",
            "Depot=7",
            "Factory=20",
            "Hangar=12",
            "Tent=3",
            "Train=9",
            "Truck=4",
            " ",
            "Map used was Verdun",
            " "};
}

Lines join(Lines head, const Lines& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Lines allOnReport() {
    return join(
        {
            "",
            "",
            "UX7SERVER Log Tally (VORSKAL.LOG)",
            "Rev 3.40 -- VORSKAL scoring tally for the ZORL league",
            "Current time is 20:15:03    Current date is 06/12/2026",
            "",
            "",
            "1. Report pilot number greater than 16.",
            "---------------------------------------",
            " ",
            "NOTICE -- Max number of Allied pilots at any one time = 0",
            "NOTICE -- Max number of Hun pilots at any one time = 0",
            " ",
            "NOTICE -- Points deducted from Allied for over max pilots = 0",
            "NOTICE -- Points deducted from Hun for over max pilots = 0",
            " ",
            " ",
            "2. Report possible multi-death bugs.",
            "------------------------------------",
            " ",
            " ",
            " ",
            "3. Report fighter destroyed targets.",
            "------------------------------------",
            " ",
            " ",
            " ",
            "4. Report score corrections.",
            "----------------------------",
            " ",
            "NOTICE -- Over Max Pilot penalty enabled ",
            "NOTICE -- Multiple Death bug correction enabled ",
            "NOTICE -- Fighter Destroyed Target correction enabled ",
            " ",
            " ",
            "5. Report non-red boxed targets destroyed.",
            "------------------------------------------",
            " ",
            "NOTICE -- Only red boxed targets have been tallied ",
            " ",
            " ",
            " ",
        },
        quietTail());
}

Lines allOffReport() {
    return join(
        {
            "",
            "",
            "UX7SERVER Log Tally (VORSKAL.LOG)",
            "Rev 3.40 -- VORSKAL scoring tally for the ZORL league",
            "Current time is 20:15:03    Current date is 06/12/2026",
            "",
            "",
            "1. Report pilot number greater than 16.",
            "---------------------------------------",
            " ",
            " ",
            " ",
            "2. Report possible multi-death bugs.",
            "------------------------------------",
            " ",
            "3. Report fighter destroyed targets.",
            "------------------------------------",
            " ",
            " ",
            " ",
            "4. Report score corrections.",
            "----------------------------",
            " ",
            " ",
            " ",
            "5. Report non-red boxed targets destroyed.",
            "------------------------------------------",
            " ",
            "NOTICE -- Non-red boxed targets have been tallied ",
            " ",
            " ",
            " ",
        },
        quietTail());
}

TEST(ReportFrame, AllOptionsOnByteForByte) {
    const RunResult result = runGame(quietGame());
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed);
    EXPECT_EQ(result.outcome.message, "Tally Complete");
    EXPECT_EQ(result.lines, allOnReport());
    EXPECT_EQ(result.report, crlf(allOnReport()));
}

TEST(ReportFrame, AllOptionsOffByteForByte) {
    const RunResult result = runGame(quietGame(), allOff());
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed);
    EXPECT_EQ(result.lines, allOffReport());
    EXPECT_EQ(result.report, crlf(allOffReport()));
}

TEST(ReportFrame, AnEmptyLogGivesTheSameFrame) {
    const RunResult result =
        runGame({{"ux7server0.log", ""}, {"vorskal.ini", standardIni()}}, allOff());
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed);
    EXPECT_EQ(result.report, crlf(allOffReport()));
}

// Each option on its own changes only its own lines.
TEST(ReportFrame, EachOptionAlone) {
    const Lines overMaxOn = {"1. Report pilot number greater than 16.",
                             "---------------------------------------",
                             " ",
                             "NOTICE -- Max number of Allied pilots at any one time = 0",
                             "NOTICE -- Max number of Hun pilots at any one time = 0",
                             " ",
                             "NOTICE -- Points deducted from Allied for over max pilots = 0",
                             "NOTICE -- Points deducted from Hun for over max pilots = 0",
                             " ",
                             " "};
    const Lines overMaxOff = {"1. Report pilot number greater than 16.",
                              "---------------------------------------", " ", " ", " "};
    const Lines multiDeathOn = {"2. Report possible multi-death bugs.",
                                "------------------------------------", " ", " ", " "};
    const Lines multiDeathOff = {"2. Report possible multi-death bugs.",
                                 "------------------------------------", " "};
    const Lines fighter = {"3. Report fighter destroyed targets.",
                           "------------------------------------", " ", " ", " "};
    const auto corrections = [](const Lines& notices) {
        Lines lines = {"4. Report score corrections.", "----------------------------", " "};
        lines.insert(lines.end(), notices.begin(), notices.end());
        lines.insert(lines.end(), {" ", " "});
        return lines;
    };
    const auto nonRedBoxed = [](const std::string& notice) {
        return Lines{"5. Report non-red boxed targets destroyed.",
                     "------------------------------------------",
                     " ",
                     notice,
                     " ",
                     " ",
                     " "};
    };
    const std::string onlyRed = "NOTICE -- Only red boxed targets have been tallied ";
    const std::string nonRed = "NOTICE -- Non-red boxed targets have been tallied ";

    struct Case {
        const char* name;
        TallyOptions options;
        Lines section1, section2, notices;
        std::string section5Notice;
    };
    const Case cases[] = {
        {"over max only",
         {true, false, false, false},
         overMaxOn,
         multiDeathOff,
         {"NOTICE -- Over Max Pilot penalty enabled "},
         nonRed},
        {"multi-death only",
         {false, true, false, false},
         overMaxOff,
         multiDeathOn,
         {"NOTICE -- Multiple Death bug correction enabled "},
         nonRed},
        {"fighter target only",
         {false, false, true, false},
         overMaxOff,
         multiDeathOff,
         {"NOTICE -- Fighter Destroyed Target correction enabled "},
         nonRed},
        {"red boxed only", {false, false, false, true}, overMaxOff, multiDeathOff, {}, onlyRed},
        {"all but red boxed",
         {true, true, true, false},
         overMaxOn,
         multiDeathOn,
         {"NOTICE -- Over Max Pilot penalty enabled ",
          "NOTICE -- Multiple Death bug correction enabled ",
          "NOTICE -- Fighter Destroyed Target correction enabled "},
         nonRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult result = runGame(quietGame(), c.options);
        EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed);
        EXPECT_EQ(sectionOf(result.lines, Section::Header), expectedHeader());
        EXPECT_EQ(sectionOf(result.lines, Section::PilotNumber), c.section1);
        EXPECT_EQ(sectionOf(result.lines, Section::MultiDeath), c.section2);
        EXPECT_EQ(sectionOf(result.lines, Section::FighterTargets), fighter);
        EXPECT_EQ(sectionOf(result.lines, Section::Corrections), corrections(c.notices));
        EXPECT_EQ(sectionOf(result.lines, Section::NonRedBoxed), nonRedBoxed(c.section5Notice));
        const Lines tail(result.lines.end() - static_cast<std::ptrdiff_t>(quietTail().size()),
                         result.lines.end());
        EXPECT_EQ(tail, quietTail());
    }
}

TEST(ReportFrame, AppendsToAnExistingReport) {
    const std::string earlier = "an earlier report\r\n \r\nMap used was Arras\r\n \r\n";
    GameDir dir;
    dir.write("ux7server0.log", crlf(quietLog()));
    dir.write("vorskal.ini", standardIni());
    dir.write("vorskal.log", earlier);

    EXPECT_EQ(dir.tally(allOff()).kind, OutcomeKind::Completed);
    EXPECT_EQ(dir.read("vorskal.log"), earlier + crlf(allOffReport()));

    // A second run adds a second whole report after the first.
    EXPECT_EQ(dir.tally(allOff()).kind, OutcomeKind::Completed);
    EXPECT_EQ(dir.read("vorskal.log"), earlier + crlf(allOffReport()) + crlf(allOffReport()));
}

TEST(ReportFrame, CreatesTheReportWhenMissing) {
    GameDir dir;
    dir.write("ux7server0.log", crlf(quietLog()));
    dir.write("vorskal.ini", standardIni());
    EXPECT_FALSE(dir.exists("vorskal.log"));
    EXPECT_EQ(dir.tally().kind, OutcomeKind::Completed);
    EXPECT_EQ(dir.read("vorskal.log"), crlf(allOnReport()));
}

// Every line of the report ends in CR LF, also when the game's files end
// their lines otherwise.
TEST(ReportFrame, EveryLineEndsInCrLf) {
    std::string lfIni;
    for (const auto& line : standardIniLines()) {
        lfIni += line + "\n";
    }
    std::string crLog;
    for (const auto& line : quietLog()) {
        crLog += line + "\r";
    }
    const RunResult result = runGame({{"ux7server0.log", crLog}, {"vorskal.ini", lfIni}});
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed);
    EXPECT_EQ(result.report, crlf(allOnReport()));
    std::size_t crs = 0, lfs = 0, pairs = 0;
    for (std::size_t i = 0; i < result.report.size(); ++i) {
        crs += result.report[i] == '\r';
        lfs += result.report[i] == '\n';
        pairs += result.report.compare(i, 2, "\r\n") == 0;
    }
    EXPECT_EQ(crs, pairs);
    EXPECT_EQ(lfs, pairs);
    ASSERT_GE(result.report.size(), 2u);
    EXPECT_EQ(result.report.substr(result.report.size() - 2), "\r\n");
}

MemoryFiles quietFiles() {
    MemoryFiles files;
    files.files["ux7server0.log"] = crlf(quietLog());
    files.files["vorskal.ini"] = standardIni();
    return files;
}

// An option is on whenever its flag is nonzero.
TEST(ReportFrame, AnyNonzeroFlagIsOn) {
    for (const Count flag : {Count{2}, Count{-1}, Count{32767}}) {
        SCOPED_TRACE(flag);
        MemoryFiles files = quietFiles();
        TallyState state;
        state.overMaxPilotCorrection = flag;
        state.multiDeathCorrection = flag;
        state.fighterTargetCorrection = flag;
        state.redBoxedOnly = flag;
        FixedClock clock;
        EXPECT_EQ(runTally(state, files, clock).kind, OutcomeKind::Completed);
        EXPECT_EQ(files.files["vorskal.log"], crlf(allOnReport()));
    }
}

TEST(ReportFrame, AReportThatCannotBeOpenedStopsTheRun) {
    MemoryFiles files = quietFiles();
    files.uncreatable.insert("vorskal.log");
    TallyState state;
    applyOptions(state, {});
    FixedClock clock;
    const Outcome outcome = runTally(state, files, clock);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_NE(outcome.message.find("vorskal.log"), std::string::npos) << outcome.message;
    // The merge before it stays done.
    EXPECT_EQ(files.files["ux7server.log"], crlf(quietLog()));
}

TEST(ReportFrame, AReportThatCannotBeWrittenStopsTheRun) {
    MemoryFiles files = quietFiles();
    files.writeLimit["vorskal.log"] = 300;
    TallyState state;
    applyOptions(state, {});
    FixedClock clock;
    const Outcome outcome = runTally(state, files, clock);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_NE(outcome.message, "Tally Complete");
    EXPECT_NE(outcome.message.find("vorskal.log"), std::string::npos) << outcome.message;
    // What reached the file is the start of the report.
    const std::string& written = files.files["vorskal.log"];
    EXPECT_LE(written.size(), 300u);
    EXPECT_EQ(crlf(allOnReport()).compare(0, written.size(), written), 0);
}

}  // namespace
}  // namespace vorskal::testing
