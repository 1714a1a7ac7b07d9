// Bad input that stops a tally: every fault that the run cannot score past,
// each in a small game folder of its own. The run must stop with a message
// naming the file, the line and the offending text; the report keeps what it
// held and every line written before the fault, then one "ERROR -- " line;
// no other file changes and nothing is left behind; the headless runner
// exits with status 2 and prints the message.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/game_dir.h"
#include "tests/support/log_lines.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

using namespace lines;

// ---- the game ---------------------------------------------------------------

// Line numbers of the point-value file are 1-based: line 7 is "Kill=10".
Lines goodIni() {
    return {"Map=Verdun", "Verdun",  "12-Bridge,2", "20-Depot,2", "45-Hangar,1",
            "",           "Kill=10", "Death=-5",    "Bridge=15",  "Depot=7",
            "Hangar=9",   "Tank=3",  "Gun=4",       "Train=6",    "Truck=2"};
}

Lines goodLog() {
    return {enterLine("20:00:00", "Snoopy", "SOPWITH_CAMEL"),
            killLine("20:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
            markerLine("20:16:00"), targetLine("20:16:00", "Bridge #12", "Fritz"),
            leaveLine("20:30:00", "Snoopy")};
}

// Sixteen Allied pilots enter; the seventeenth enters on a line whose time of
// day is not a number, and the run needs that time.
Lines seventeenthAtABadTime() {
    Lines log;
    for (int n = 1; n <= 16; ++n) {
        const std::string name = std::string("Pilot") + (n < 10 ? "0" : "") + std::to_string(n);
        log.push_back(enterLine("20:00:" + std::string(n < 10 ? "0" : "") + std::to_string(n), name,
                                "SOPWITH_CAMEL"));
    }
    log.push_back(enterLine("xx:00:00", "Pilot17", "SOPWITH_CAMEL"));
    return log;
}

Lines reportHeader() {
    return {"",
            "",
            "UX7SERVER Log Tally (VORSKAL.LOG)",
            "Rev 3.40 -- VORSKAL scoring tally for the ZORL league",
            "Current time is 20:15:03    Current date is 06/12/2026",
            "",
            ""};
}

Lines sectionOneHeading() {
    return {"1. Report pilot number greater than 16.", std::string(39, '-'), " "};
}

const std::string kOldReport = "an earlier report, kept as it is\r\n";
const std::string kOldMerged = "an earlier merged log\r\n";

struct Case {
    std::string name;
    Lines ini = goodIni();
    bool iniMissing = false;
    Lines log = goodLog();
    std::set<std::string> directories;  // names that are folders instead of files
    std::string file;                   // the file that the message names
    std::uint64_t line = 0;             // its line; 0 when the fault has none
    std::string offending;              // the text that the message shows
    // Report lines between the header and the ERROR line; none when the
    // report is never opened (the fault comes before it).
    std::optional<Lines> written;
    bool merged = true;  // the merge completed: "ux7server.log" holds the new merge
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

Lines with(Lines lines, std::size_t lineNumber, const std::string& text) {
    lines.at(lineNumber - 1) = text;
    return lines;
}

std::vector<Case> catalogue() {
    std::vector<Case> cases;
    Case c;

    c = {};
    c.name = "missing settings file";
    c.iniMissing = true;
    c.file = "vorskal.ini";
    c.offending = "vorskal.ini";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "settings file that cannot be read";
    c.directories = {"vorskal.ini"};
    c.file = "vorskal.ini";
    c.offending = "vorskal.ini";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "target number that is not a number";
    c.ini = with(goodIni(), 5, "forty5-Hangar,1");
    c.file = "vorskal.ini";
    c.line = 5;
    c.offending = "forty5";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "matching target line without a comma";
    c.ini = with(goodIni(), 3, "12-Bridge");
    c.file = "vorskal.ini";
    c.line = 3;
    c.offending = "12-Bridge";
    c.written = sectionOneHeading();  // target 12 is first looked up in pass 2
    cases.push_back(c);

    c = {};
    c.name = "team code that is not a number";
    c.ini = with(goodIni(), 4, "20-Depot,two");
    c.file = "vorskal.ini";
    c.line = 4;
    c.offending = "two";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "kill value that is not a number";
    c.ini = with(goodIni(), 7, "Kill=ten");
    c.file = "vorskal.ini";
    c.line = 7;
    c.offending = "ten";
    c.written = Lines{};
    cases.push_back(c);

    // A blank is the space character only: a tab makes the text no number.
    c = {};
    c.name = "kill value after a tab";
    c.ini = with(goodIni(), 7, "Kill=\t10");
    c.file = "vorskal.ini";
    c.line = 7;
    c.offending = "\\x0910";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "target number followed by a tab";
    c.ini = with(goodIni(), 4, "20\t-Depot,2");
    c.file = "vorskal.ini";
    c.line = 4;
    c.offending = "20\\x09";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "kill value above the 32-bit range";
    c.ini = with(goodIni(), 7, "Kill=3000000000");
    c.file = "vorskal.ini";
    c.line = 7;
    c.offending = "3000000000";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "death value below the 32-bit range";
    c.ini = with(goodIni(), 8, "Death=-2147483649");
    c.file = "vorskal.ini";
    c.line = 8;
    c.offending = "-2147483649";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "type value above the 32-bit range, read in pass 2";
    c.ini = with(goodIni(), 9, "Bridge=2147483648");
    c.file = "vorskal.ini";
    c.line = 9;
    c.offending = "2147483648";
    c.written = sectionOneHeading();
    cases.push_back(c);

    c = {};
    c.name = "target key without a number";
    c.log = with(goodLog(), 4, targetLine("20:16:00", "Depot abc", "Fritz"));
    c.file = "ux7server.log";
    c.line = 4;
    c.offending = "abc";
    c.written = sectionOneHeading();
    cases.push_back(c);

    c = {};
    c.name = "kill line whose time is not a number";
    c.log =
        with(goodLog(), 2, killLine("q7:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"));
    c.file = "ux7server.log";
    c.line = 2;
    c.offending = "q7";
    c.written = Lines{};  // pass 1 writes nothing
    cases.push_back(c);

    c = {};
    c.name = "kill line with a tab in its time";
    c.log = with(goodLog(), 2,
                 killLine("\t7:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"));
    c.file = "ux7server.log";
    c.line = 2;
    c.offending = "\\x097:15:03";
    c.written = Lines{};
    cases.push_back(c);

    // Pass 1 over many thousands of kill lines, failing early or late.
    for (const std::size_t bad : {100u, 35000u}) {
        Lines log(40000, killLine("20:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"));
        log[bad - 1] = killLine("q7:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
        c = {};
        c.name = "kill line " + std::to_string(bad) + " of 40000 whose time is not a number";
        c.log = log;
        c.file = "ux7server.log";
        c.line = bad;
        c.offending = "q7";
        c.written = Lines{};
        cases.push_back(c);
    }

    // Two faults: the one met first in the run's order is the one reported.
    const Lines badKillLog =
        with(goodLog(), 2, killLine("q7:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"));
    c = {};
    c.name = "settings fault before a kill line fault";
    c.ini = with(goodIni(), 7, "Kill=ten");
    c.log = badKillLog;
    c.file = "vorskal.ini";
    c.line = 7;
    c.offending = "ten";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "missing settings file and a kill line fault";
    c.iniMissing = true;
    c.log = badKillLog;
    c.file = "vorskal.ini";
    c.offending = "vorskal.ini";
    c.written = Lines{};
    cases.push_back(c);

    c = {};
    c.name = "arena time needed and not a number";
    c.log = seventeenthAtABadTime();
    c.file = "ux7server.log";
    c.line = 17;
    c.offending = "xx";
    c.written = sectionOneHeading();
    c.written->push_back("WARNING -- number of allied pilots in game = 17");
    c.written->push_back(c.log.back());
    cases.push_back(c);

    c = {};
    c.name = "merged log that cannot be replaced";
    c.directories = {"ux7server.log"};
    c.file = "ux7server.log";
    c.offending = "ux7server.log";
    c.merged = false;
    cases.push_back(c);

    c = {};
    c.name = "report that cannot be created";
    c.directories = {"vorskal.log"};
    c.file = "vorskal.log";
    c.offending = "vorskal.log";
    cases.push_back(c);

    return cases;
}

void setUpGame(const GameDir& dir, const Case& c) {
    if (c.directories.count("ux7server0.log") == 0) {
        dir.write("ux7server0.log", crlf(c.log));
    }
    if (!c.iniMissing && c.directories.count("vorskal.ini") == 0) {
        dir.write("vorskal.ini", crlf(c.ini));
    }
    if (c.directories.count("vorskal.log") == 0) {
        dir.write("vorskal.log", kOldReport);
    }
    if (c.directories.count("ux7server.log") == 0) {
        dir.write("ux7server.log", kOldMerged);
    }
    for (const std::string& name : c.directories) {
        fs::create_directory(dir.path() + "/" + name);
    }
}

// Every name in the folder, folders marked by a trailing "/".
std::set<std::string> namesIn(const GameDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.insert(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
    }
    return names;
}

std::map<std::string, std::string> inputsOf(const GameDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "vorskal.log" && name != "ux7server.log") {
            files[name] = dir.read(name);
        }
    }
    return files;
}

std::string linePrefix(const Case& c) {
    return c.file + " line " + std::to_string(c.line) + ": ";
}

void expectNamesTheFault(const std::string& message, const Case& c) {
    if (c.line != 0) {
        EXPECT_EQ(message.rfind(linePrefix(c), 0), 0u) << message;
    } else {
        EXPECT_NE(message.find(c.file), std::string::npos) << message;
    }
    EXPECT_NE(message.find(c.offending), std::string::npos) << message;
    EXPECT_NE(message, "Tally Complete");
}

class BadInput : public ::testing::TestWithParam<Case> {};

TEST_P(BadInput, StopsTheRunAndLosesNothing) {
    const Case& c = GetParam();
    GameDir dir;
    setUpGame(dir, c);
    const std::set<std::string> namesBefore = namesIn(dir);
    const auto inputsBefore = inputsOf(dir);

    const Outcome outcome = dir.tally();

    EXPECT_EQ(outcome.kind, OutcomeKind::Failed) << outcome.message;
    expectNamesTheFault(outcome.message, c);

    if (c.written) {
        EXPECT_EQ(dir.read("vorskal.log"), kOldReport + crlf(reportHeader()) + crlf(*c.written) +
                                               "ERROR -- " + outcome.message + "\r\n");
    } else if (c.directories.count("vorskal.log") != 0) {
        EXPECT_TRUE(fs::is_directory(dir.path() + "/vorskal.log"));
    } else {
        EXPECT_EQ(dir.read("vorskal.log"), kOldReport);
    }

    if (c.directories.count("ux7server.log") != 0) {
        EXPECT_TRUE(fs::is_directory(dir.path() + "/ux7server.log"));
        EXPECT_TRUE(fs::is_empty(dir.path() + "/ux7server.log"));
    } else if (c.merged) {
        EXPECT_EQ(dir.read("ux7server.log"), crlf(c.log));
    } else {
        EXPECT_EQ(dir.read("ux7server.log"), kOldMerged);
    }

    EXPECT_EQ(inputsOf(dir), inputsBefore);
    EXPECT_EQ(namesIn(dir), namesBefore) << "a file was left behind or removed";
}

// ---- the headless runner ------------------------------------------------------

ToolRun runTool(const std::string& gameDir) {
    return runProgram(".", VORSKAL_TALLY_BINARY, "-C " + shellQuote(gameDir));
}

TEST_P(BadInput, TheRunnerExitsWith2AndPrintsTheMessage) {
    const Case& c = GetParam();
    GameDir dir;
    setUpGame(dir, c);
    const ToolRun run = runTool(dir.path());
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out.find("Tally Complete"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.line != 0 ? linePrefix(c) : c.file), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.offending), std::string::npos) << run.err;
    if (c.written) {
        // The message on standard error is the one that ends the report.
        const std::string report = dir.read("vorskal.log");
        const std::size_t at = report.rfind("ERROR -- ");
        ASSERT_NE(at, std::string::npos) << report;
        std::string message = report.substr(at + 9);
        ASSERT_GE(message.size(), 2u);
        EXPECT_EQ(message.substr(message.size() - 2), "\r\n");
        message.resize(message.size() - 2);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

// "missing settings file" -> "MissingSettingsFile"
std::string testName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    bool upper = true;
    for (const char ch : info.param.name) {
        if (std::isalnum(static_cast<unsigned char>(ch)) != 0) {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInput, ::testing::ValuesIn(catalogue()), testName);

}  // namespace
}  // namespace vorskal::testing
