// The bundled sample game against its checked-in reports: a whole tally of a
// fresh copy of examples/sample-game, compared line by line with
// tests/golden/*.report (whose time line is masked), through the engine with
// the fixed clock and through the headless runner with the real one.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using Lines = std::vector<std::string>;

const std::string kSourceDir = VORSKAL_SOURCE_DIR;
const std::string kMaskedTimeLine = "Current time is <TIME>    Current date is <DATE>";
const std::string kFixedTimeLine = "Current time is 20:15:03    Current date is 06/12/2026";

std::string readSourceFile(const std::string& relative) {
    std::ifstream in(kSourceDir + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << relative;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Copies every file of the sample game into the (fresh) game directory.
void copySampleGame(const GameDir& dir) {
    const std::filesystem::path sample = kSourceDir + "/examples/sample-game";
    int copied = 0;
    for (const auto& entry : std::filesystem::directory_iterator(sample)) {
        if (entry.is_regular_file()) {
            const std::string name = entry.path().filename().string();
            dir.write(name, readSourceFile("examples/sample-game/" + name));
            ++copied;
        }
    }
    ASSERT_EQ(copied, 4) << "the sample game is three numbered logs and vorskal.ini";
    ASSERT_FALSE(dir.exists("vorskal.log"));
}

// Lines of a report with its time line replaced by the masked one.
Lines maskedLines(const std::string& report, const std::regex& timeLine) {
    Lines lines = linesOf(report);
    for (auto& line : lines) {
        if (std::regex_match(line, timeLine)) {
            line = kMaskedTimeLine;
        }
    }
    return lines;
}

// Compares whole reports: the first differing line for a quick look, then the
// whole vector so that the full difference is in the failure message.
void expectSameReport(const Lines& actual, const Lines& expected) {
    const std::size_t common = std::min(actual.size(), expected.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << "first difference at report line " << (i + 1) << "\n  expected: \""
                          << expected[i] << "\"\n  actual:   \"" << actual[i] << "\"";
            break;
        }
    }
    if (actual.size() != expected.size()) {
        ADD_FAILURE() << "report has " << actual.size() << " lines, expected " << expected.size();
    }
    EXPECT_EQ(actual, expected);
}

// Every line of a report the program writes ends in CR LF.
void expectCrlfOnly(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "lone LF at byte " << i;
        } else if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "lone CR at byte " << i;
        }
    }
}

TallyOptions allOff() {
    TallyOptions options;
    options.overMaxPilotCorrection = false;
    options.multiDeathCorrection = false;
    options.fighterTargetCorrection = false;
    options.redBoxedOnly = false;
    return options;
}

struct GoldenCase {
    const char* label;
    TallyOptions options;
    const char* runnerArgs;
    const char* golden;
};

const GoldenCase kCases[] = {
    {"all options on", TallyOptions{}, "", "tests/golden/sample-game.report"},
    {"all options off", allOff(),
     "--no-over-max-correction --no-multi-death-correction --no-fighter-target-correction "
     "--all-targets",
     "tests/golden/sample-game-options-off.report"},
};

TEST(GoldenSampleGame, GoldenFilesEndEveryLineInCrlf) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.golden);
        expectCrlfOnly(readSourceFile(c.golden));
    }
}

TEST(GoldenSampleGame, EngineReportMatchesGoldenFile) {
    const std::regex fixedTime("^" + kFixedTimeLine + "$");
    for (const auto& c : kCases) {
        for (const bool reread : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (reread ? ", merged log re-read" : ""));
            GameDir dir;
            ASSERT_NO_FATAL_FAILURE(copySampleGame(dir));
            RunConfig config;
            config.rereadMergedLog = reread;
            const Outcome outcome = dir.tally(c.options, config);
            EXPECT_EQ(outcome.kind, OutcomeKind::Completed) << outcome.message;

            const std::string report = dir.read("vorskal.log");
            expectCrlfOnly(report);
            const Lines expected = linesOf(readSourceFile(c.golden));
            expectSameReport(maskedLines(report, fixedTime), expected);
            // The time line is the fixed clock's, and only it is masked.
            const Lines raw = linesOf(report);
            ASSERT_GE(raw.size(), 5u);
            EXPECT_EQ(raw[4], kFixedTimeLine);
        }
    }
}

TEST(GoldenSampleGame, MergedLogIsTheThreeLogsInOrder) {
    GameDir dir;
    ASSERT_NO_FATAL_FAILURE(copySampleGame(dir));
    ASSERT_EQ(dir.tally().kind, OutcomeKind::Completed);
    EXPECT_EQ(dir.read("ux7server.log"),
              dir.read("ux7server0.log") + dir.read("ux7server1.log") + dir.read("ux7server2.log"));
}

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

TEST(GoldenSampleGame, HeadlessRunnerReportMatchesGoldenFile) {
    const std::regex realTime("^Current time is .*    Current date is .*$");
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.label);
        GameDir dir;
        ASSERT_NO_FATAL_FAILURE(copySampleGame(dir));
        GameDir outputs;
        const std::string command = shellQuote(VORSKAL_TALLY_BINARY) + " -C " +
                                    shellQuote(dir.path()) + " " + c.runnerArgs + " </dev/null >" +
                                    shellQuote(outputs.path() + "/out") + " 2>" +
                                    shellQuote(outputs.path() + "/err");
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << outputs.read("err");
        std::string out = outputs.read("out");
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
            out.pop_back();
        }
        EXPECT_EQ(out.substr(0, out.find('\n')), "Tally Complete");

        const std::string report = dir.read("vorskal.log");
        expectCrlfOnly(report);
        expectSameReport(maskedLines(report, realTime), linesOf(readSourceFile(c.golden)));
    }
}

}  // namespace
}  // namespace vorskal::testing
