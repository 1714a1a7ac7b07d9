// The merge of the numbered server logs into "ux7server.log": number order
// without leading zeros, the first missing number ends it, empty pieces, the
// three line ends, empty lines and a last line without an end, replacement of
// an earlier merged log, and a missing first log.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/report_sections.h"
#include "tests/support/log_lines.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

using Pieces = std::vector<std::pair<std::string, std::string>>;  // file name, bytes

// Runs a tally over the given files (with the usual settings file) and returns
// the merged log's bytes.
std::string mergedOf(const Pieces& pieces) {
    GameDir dir;
    dir.write("vorskal.ini", standardIni());
    for (const auto& [name, bytes] : pieces) {
        dir.write(name, bytes);
    }
    const Outcome outcome = dir.tally();
    EXPECT_EQ(outcome.kind, OutcomeKind::Completed) << outcome.message;
    EXPECT_TRUE(dir.exists("ux7server.log"));
    return dir.read("ux7server.log");
}

TEST(Merge, JoinsPiecesInNumberOrderWithoutLeadingZeros) {
    Pieces pieces;
    std::string expected;
    for (int n = 0; n <= 10; ++n) {
        const std::string line = "piece " + std::to_string(n);
        pieces.emplace_back("ux7server" + std::to_string(n) + ".log", line + "\r\n");
        expected += line + "\r\n";
    }
    // Names with leading zeros are not numbered logs of the game.
    pieces.emplace_back("ux7server01.log", "leading zero\r\n");
    pieces.emplace_back("ux7server011.log", "leading zero eleven\r\n");
    pieces.emplace_back("ux7server00.log", "double zero\r\n");
    EXPECT_EQ(mergedOf(pieces), expected);
}

TEST(Merge, TheFirstMissingNumberEndsTheMerge) {
    EXPECT_EQ(mergedOf({{"ux7server0.log", "zero\r\n"}, {"ux7server2.log", "two\r\n"}}),
              "zero\r\n");
    EXPECT_EQ(mergedOf({{"ux7server0.log", "zero\r\n"},
                        {"ux7server1.log", "one\r\n"},
                        {"ux7server3.log", "three\r\n"},
                        {"ux7server4.log", "four\r\n"}}),
              "zero\r\none\r\n");
}

TEST(Merge, EmptyPiecesAddNothingAndTheMergeGoesOn) {
    EXPECT_EQ(mergedOf({{"ux7server0.log", "zero\r\n"},
                        {"ux7server1.log", ""},
                        {"ux7server2.log", "two\r\n"}}),
              "zero\r\ntwo\r\n");
    EXPECT_EQ(mergedOf({{"ux7server0.log", ""}, {"ux7server1.log", "one\r\n"}}), "one\r\n");
    EXPECT_EQ(mergedOf({{"ux7server0.log", ""}}), "");
}

TEST(Merge, EveryLineEndBecomesCrLf) {
    struct Case {
        const char* name;
        std::string piece;
        std::string merged;
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"lone LF", "a\nb\n", "a\r\nb\r\n"},
        {"lone CR", "a\rb\r", "a\r\nb\r\n"},
        {"mixed", "a\r\nb\rc\nd\r\n", "a\r\nb\r\nc\r\nd\r\n"},
        {"last line without an end", "a\r\nb", "a\r\nb\r\n"},
        {"only line without an end", "solo", "solo\r\n"},
        {"last line after a lone CR", "a\rb", "a\r\nb\r\n"},
        {"empty lines with CR LF", "\r\n\r\na\r\n\r\n", "\r\n\r\na\r\n\r\n"},
        {"empty lines with LF", "\n\na\n\n", "\r\n\r\na\r\n\r\n"},
        {"empty lines with CR", "\r\ra\r\r", "\r\n\r\na\r\n\r\n"},
        {"LF then CR is two ends", "a\n\rb\r\n", "a\r\n\r\nb\r\n"},
        {"CR CR LF", "a\r\r\nb", "a\r\n\r\nb\r\n"},
        {"blanks kept", "  a  \r\n \r\n", "  a  \r\n \r\n"},
        {"bytes kept", "caf\xe9\t\x01\xff\r\n", "caf\xe9\t\x01\xff\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(mergedOf({{"ux7server0.log", c.piece}}), c.merged);
    }
}

// Each piece is read on its own: a CR at the end of one piece and a LF at the
// start of the next are two line ends, and a piece whose last line has no end
// still ends that line before the next piece begins.
TEST(Merge, PiecesAreReadOneByOne) {
    EXPECT_EQ(mergedOf({{"ux7server0.log", "a\r"}, {"ux7server1.log", "\nb\r\n"}}),
              "a\r\n\r\nb\r\n");
    EXPECT_EQ(mergedOf({{"ux7server0.log", "first"}, {"ux7server1.log", "second"}}),
              "first\r\nsecond\r\n");
}

TEST(Merge, ALongLineIsCopiedWhole) {
    const std::string line(100000, 'x');
    EXPECT_EQ(mergedOf({{"ux7server0.log", line + "\n" + line}}), line + "\r\n" + line + "\r\n");
}

TEST(Merge, AnEarlierMergedLogIsReplaced) {
    const std::string old = "old line 1\r\nold line 2\r\nold line 3\r\nold line 4\r\n";
    EXPECT_EQ(mergedOf({{"ux7server.log", old}, {"ux7server0.log", "new\r\n"}}), "new\r\n");
    EXPECT_EQ(mergedOf({{"ux7server.log", old}, {"ux7server0.log", ""}}), "");
}

TEST(Merge, AMissingFirstLogStopsTheRunWithoutTouchingAnything) {
    GameDir dir;
    dir.write("vorskal.ini", standardIni());
    dir.write("ux7server1.log", "one\r\n");
    const Outcome outcome = dir.tally();
    EXPECT_EQ(outcome.kind, OutcomeKind::MissingFirstLog);
    EXPECT_EQ(outcome.message, "Could not find ux7server0.log");
    EXPECT_FALSE(dir.exists("ux7server.log"));
    EXPECT_FALSE(dir.exists("vorskal.log"));
}

TEST(Merge, AMissingFirstLogKeepsEarlierFiles) {
    GameDir dir;
    const std::string report = "an earlier report\r\n";
    const std::string merged = "an earlier merge\r\n";
    dir.write("vorskal.ini", standardIni());
    dir.write("vorskal.log", report);
    dir.write("ux7server.log", merged);
    dir.write("ux7server1.log", "one\r\n");
    const Outcome outcome = dir.tally(allOff());
    EXPECT_EQ(outcome.kind, OutcomeKind::MissingFirstLog);
    EXPECT_EQ(outcome.message, "Could not find ux7server0.log");
    EXPECT_EQ(dir.read("vorskal.log"), report);
    EXPECT_EQ(dir.read("ux7server.log"), merged);
}

// A numbered-log name that is a directory is no log: as the first, the run
// finds no first log; later, it ends the merge as a missing number does.
TEST(Merge, ADirectoryIsNoNumberedLog) {
    GameDir first;
    first.write("vorskal.ini", standardIni());
    std::filesystem::create_directory(first.path() + "/ux7server0.log");
    first.write("ux7server1.log", "one\r\n");
    const Outcome outcome = first.tally();
    EXPECT_EQ(outcome.kind, OutcomeKind::MissingFirstLog);
    EXPECT_EQ(outcome.message, "Could not find ux7server0.log");
    EXPECT_FALSE(first.exists("vorskal.log"));

    GameDir later;
    later.write("vorskal.ini", standardIni());
    later.write("ux7server0.log", "zero\r\n");
    std::filesystem::create_directory(later.path() + "/ux7server1.log");
    later.write("ux7server2.log", "two\r\n");
    EXPECT_EQ(later.tally().kind, OutcomeKind::Completed);
    EXPECT_EQ(later.read("ux7server.log"), "zero\r\n");
}

// The merge comes before the settings file is read: a run that fails on a
// missing settings file has still merged the logs.
TEST(Merge, HappensBeforeTheSettingsFileIsRead) {
    GameDir dir;
    dir.write("ux7server0.log", "zero\n");
    dir.write("ux7server1.log", "one");
    const Outcome outcome = dir.tally();
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_EQ(dir.read("ux7server.log"), "zero\r\none\r\n");
}

// The passes read the merged lines: a kill split over pieces with other line
// ends is scored like one in a single CR LF piece.
TEST(Merge, PassesReadTheMergedLines) {
    const std::string kill1 =
        killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string kill2 =
        killLine("20:10:00", "Hans", "ALBATROS_DIII", "Snoopy", "SOPWITH_CAMEL");
    const RunResult split = runGame({{"ux7server0.log", kill1 + "\n"},
                                     {"ux7server1.log", ""},
                                     {"ux7server2.log", kill2},
                                     {"vorskal.ini", standardIni()}},
                                    allOff());
    const RunResult whole = runLog({kill1, kill2}, standardIni(), allOff());
    EXPECT_EQ(split.outcome.kind, OutcomeKind::Completed);
    EXPECT_EQ(split.report, whole.report);
    EXPECT_EQ(
        sectionOf(split.lines, Section::Scores),
        scoresSection({pilotRow("Snoopy", 20, 2, 0)}, totalsLine("Allied Totals:......", 20, 2, 0),
                      {pilotRow("Fritz", -5, 0, 1), pilotRow("Hans", -5, 0, 1)},
                      totalsLine("Hun Totals:.........", -10, 0, 2)));
}

// Logs far longer than one read of the merge, with every kind of line and
// line end, and lines longer than a read: the merged log holds every line
// with CR LF, and the lines the merge noted for the passes give the report
// that reading the merged log line by line gives (runGame checks both).
TEST(Merge, LongLogsKeepEveryLineAndEveryEvent) {
    using lines::enterLine;
    using lines::leaveLine;
    using lines::markerLine;
    using lines::stamp;
    using lines::targetLine;
    std::mt19937 random(7);
    const std::string ends[] = {"\r\n", "\n", "\r"};
    Pieces pieces;
    std::string expected;
    GameFiles game{{"vorskal.ini", standardIni()}};
    int second = 0;
    for (int piece = 0; piece < 3; ++piece) {
        std::string bytes;
        while (bytes.size() < (1u << 20)) {
            char time[16];
            std::snprintf(time, sizeof time, "20:%02d:%02d", second / 60 % 60, second % 60);
            ++second;
            std::string line;
            switch (random() % 8) {
                case 0:
                    line = killLine(time, "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
                    break;
                case 1:
                    line = killLine(time, "Snoopy", "SOPWITH_CAMEL", "Hans", "ALBATROS_DIII");
                    break;
                case 2:
                    line = markerLine(time);
                    break;
                case 3:
                    line = targetLine(time, "Bridge #12", random() % 2 ? "Fritz" : "Snoopy");
                    break;
                case 4:
                    line = enterLine(time, random() % 2 ? "Hans" : "Snoopy", "SPAD");
                    break;
                case 5:
                    line = leaveLine(time, random() % 2 ? "Hans" : "Snoopy");
                    break;
                case 6:
                    line = std::string(random() % 2000 == 0 ? 300000 : 10, 'x');
                    break;
                default:
                    line = stamp(time) + "Chat Snoopy: the arena is quiet tonight";
                    break;
            }
            const unsigned end = random() % 10;  // mostly CR LF, as a server writes
            bytes += line + ends[end < 8 ? 0 : end - 7];
            expected += line + "\r\n";
        }
        const std::string name = "ux7server" + std::to_string(piece) + ".log";
        pieces.emplace_back(name, bytes);
        game[name] = bytes;
    }
    EXPECT_EQ(mergedOf(pieces), expected);
    const RunResult result = runGame(game);
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
}

// One run with the usual options on the files in memory.
Outcome tallyInMemory(MemoryFiles& files) {
    TallyState state;
    applyOptions(state, {});
    FixedClock clock;
    return runTally(state, files, clock);
}

// Faults of the merge stop the run before the report is opened.
TEST(Merge, APieceThatCannotBeReadStopsTheRun) {
    MemoryFiles files;
    files.files["ux7server0.log"] = "zero\r\n";
    files.files["ux7server1.log"] = "one\r\n";
    files.files["vorskal.ini"] = standardIni();
    files.unreadable.insert("ux7server1.log");
    const Outcome outcome = tallyInMemory(files);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_NE(outcome.message.find("ux7server1.log"), std::string::npos) << outcome.message;
    EXPECT_EQ(files.files.count("vorskal.log"), 0u);
}

// A merge fault comes before a fault of pass 1 in an earlier log: the merge
// is the run's first step.
TEST(Merge, AMergeFaultWinsOverAnEarlierKillLineFault) {
    MemoryFiles files;
    files.files["ux7server0.log"] =
        killLine("q7:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL") + "\r\n";
    files.files["ux7server1.log"] = "one\r\n";
    files.files["vorskal.ini"] = standardIni();
    files.unreadable.insert("ux7server1.log");
    const Outcome outcome = tallyInMemory(files);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_NE(outcome.message.find("ux7server1.log"), std::string::npos) << outcome.message;
    EXPECT_EQ(files.files.count("vorskal.log"), 0u);
}

// A numbered log that ends before the length it had when it was opened
// (cut short while the tally reads it) stops the run, naming it.
TEST(Merge, ALogCutShortWhileItIsReadStopsTheRun) {
    MemoryFiles files;
    files.files["ux7server0.log"] = "zero\r\n";
    for (int n = 0; n < 20000; ++n) {
        files.files["ux7server1.log"] += "line " + std::to_string(n) + "\r\n";
    }
    files.files["vorskal.ini"] = standardIni();
    files.cutShortTo["ux7server1.log"] = 100000;
    const Outcome outcome = tallyInMemory(files);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_EQ(outcome.message, "ux7server1.log: the file ended while it was read");
    EXPECT_EQ(files.files.count("vorskal.log"), 0u);
    EXPECT_EQ(files.files.count("ux7server.log"), 0u);
}

TEST(Merge, AMergedLogThatCannotBeCreatedStopsTheRun) {
    MemoryFiles files;
    files.files["ux7server0.log"] = "zero\r\n";
    files.files["vorskal.ini"] = standardIni();
    files.uncreatable.insert("ux7server.log");
    const Outcome outcome = tallyInMemory(files);
    EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
    EXPECT_NE(outcome.message.find("ux7server.log"), std::string::npos) << outcome.message;
    EXPECT_EQ(files.files.count("vorskal.log"), 0u);
}

}  // namespace
}  // namespace vorskal::testing
