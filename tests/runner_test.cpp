// The headless runner vorskal-tally: exit statuses, what it prints, the
// directory it tallies in, and the four option switches.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/report_sections.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

// Runs the runner with `args` in the directory `cwd`.
ToolRun runTool(const std::string& cwd, const std::string& args) {
    return runProgram(cwd, VORSKAL_TALLY_BINARY, args);
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

void writeGame(const GameDir& dir) {
    dir.write("ux7server0.log",
              crlf({killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL")}));
    dir.write("vorskal.ini", standardIni());
}

Lines reportLines(const GameDir& dir) {
    return linesOf(dir.read("vorskal.log"));
}

TEST(Runner, SuccessInTheCurrentDirectory) {
    GameDir dir;
    writeGame(dir);
    const ToolRun run = runTool(dir.path(), "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(trimmed(run.out),
              "Tally Complete\nAllied 10, Hun -5; report appended to vorskal.log");
    EXPECT_EQ(run.err, "");
    const Lines report = reportLines(dir);
    EXPECT_EQ(sectionOf(report, Section::Zorl), zorlBlock(10, -5));
    EXPECT_EQ(sectionOf(report, Section::PointValues),
              pointValuesSection(standardPointLines(), "Verdun"));
    // The header's time line comes from the real clock.
    ASSERT_GE(report.size(), 7u);
    EXPECT_EQ(report[2], "UX7SERVER Log Tally (VORSKAL.LOG)");
    EXPECT_EQ(report[4].rfind("Current time is ", 0), 0u);
    EXPECT_NE(report[4].find("    Current date is "), std::string::npos);
    EXPECT_EQ(dir.read("ux7server.log"), dir.read("ux7server0.log"));
}

TEST(Runner, TalliesTheDirectoryGivenWithC) {
    for (const char* option : {"-C", "--directory"}) {
        SCOPED_TRACE(option);
        GameDir game;
        GameDir elsewhere;
        writeGame(game);
        const ToolRun run =
            runTool(elsewhere.path(), std::string(option) + " " + shellQuote(game.path()));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(trimmed(run.out),
                  "Tally Complete\nAllied 10, Hun -5; report appended to vorskal.log");
        EXPECT_TRUE(game.exists("vorskal.log"));
        EXPECT_TRUE(game.exists("ux7server.log"));
        EXPECT_FALSE(elsewhere.exists("vorskal.log"));
        EXPECT_FALSE(elsewhere.exists("ux7server.log"));
    }
}

TEST(Runner, AMissingFirstLogExitsWith1) {
    GameDir dir;
    dir.write("vorskal.ini", standardIni());
    dir.write("ux7server1.log", "one\r\n");
    const ToolRun run = runTool(dir.path(), "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(trimmed(run.err), "Could not find ux7server0.log");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(dir.exists("vorskal.log"));
    EXPECT_FALSE(dir.exists("ux7server.log"));
}

TEST(Runner, AFailureExitsWith2AndShowsTheMessage) {
    GameDir dir;
    dir.write("ux7server0.log", "12/06/26 20:00:00 Server started\r\n");
    const ToolRun run = runTool(dir.path(), "");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out.find("Tally Complete"), std::string::npos);
    const Lines report = reportLines(dir);
    ASSERT_FALSE(report.empty());
    ASSERT_EQ(report.back().rfind("ERROR -- ", 0), 0u) << report.back();
    const std::string message = report.back().substr(9);
    EXPECT_NE(message.find("vorskal.ini"), std::string::npos);
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
}

TEST(Runner, AFaultInTheSettingsFileExitsWith2) {
    GameDir dir;
    writeGame(dir);
    Lines ini = standardIniLines();
    ini[5] = "Kill=ten";
    dir.write("vorskal.ini", crlf(ini));
    const ToolRun run = runTool(dir.path(), "");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("vorskal.ini line 6: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("ten"), std::string::npos) << run.err;
}

TEST(Runner, BadUsageExitsWith64) {
    const std::vector<std::string> usages = {
        "--bogus", "-x", "one two", "-C", "--directory", "-C . other", "--check --json x.json"};
    for (const auto& args : usages) {
        SCOPED_TRACE(args);
        GameDir dir;
        writeGame(dir);
        const ToolRun run = runTool(dir.path(), args);
        EXPECT_EQ(run.status, 64);
        EXPECT_NE(trimmed(run.err), "");
        EXPECT_FALSE(dir.exists("vorskal.log"));
        EXPECT_FALSE(dir.exists("ux7server.log"));
    }
}

TEST(Runner, HelpAndVersion) {
    GameDir dir;
    writeGame(dir);
    const ToolRun help = runTool(dir.path(), "--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--directory", "--no-over-max-correction", "--no-multi-death-correction",
          "--no-fighter-target-correction", "--all-targets"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const ToolRun version = runTool(dir.path(), "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("3.40"), std::string::npos) << version.out;
    EXPECT_FALSE(dir.exists("vorskal.log"));
    EXPECT_FALSE(dir.exists("ux7server.log"));
}

TEST(Runner, TheOptionSwitches) {
    const std::string overMax = "NOTICE -- Over Max Pilot penalty enabled ";
    const std::string multiDeath = "NOTICE -- Multiple Death bug correction enabled ";
    const std::string fighter = "NOTICE -- Fighter Destroyed Target correction enabled ";
    const std::string onlyRed = "NOTICE -- Only red boxed targets have been tallied ";
    const std::string nonRed = "NOTICE -- Non-red boxed targets have been tallied ";
    struct Case {
        std::string args;
        Lines notices;
        std::string section5Notice;
    };
    const Case cases[] = {
        {"", {overMax, multiDeath, fighter}, onlyRed},
        {"--no-over-max-correction", {multiDeath, fighter}, onlyRed},
        {"--no-multi-death-correction", {overMax, fighter}, onlyRed},
        {"--no-fighter-target-correction", {overMax, multiDeath}, onlyRed},
        {"--all-targets", {overMax, multiDeath, fighter}, nonRed},
        {"--no-over-max-correction --no-multi-death-correction --no-fighter-target-correction "
         "--all-targets",
         {},
         nonRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("args: " + c.args);
        GameDir dir;
        writeGame(dir);
        const ToolRun run = runTool(dir.path(), c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        const Lines report = reportLines(dir);
        Lines section4 = {"4. Report score corrections.", "----------------------------", " "};
        section4.insert(section4.end(), c.notices.begin(), c.notices.end());
        section4.insert(section4.end(), {" ", " "});
        EXPECT_EQ(sectionOf(report, Section::Corrections), section4);
        EXPECT_EQ(sectionOf(report, Section::NonRedBoxed),
                  (Lines{"5. Report non-red boxed targets destroyed.",
                         "------------------------------------------", " ", c.section5Notice, " ",
                         " ", " "}));
    }
}

}  // namespace
}  // namespace vorskal::testing
