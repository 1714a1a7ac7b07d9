// The point-value file "vorskal.ini" as users meet it, through whole runs:
// the points per kill and per death show in a game of one kill (the killer's
// score is the kill value, the victim's the death value), the map and the
// copied point lines in section 7, and every fault as the report's ERROR line.
#include <gtest/gtest.h>

#include <string>

#include "tests/report_sections.h"

namespace vorskal::testing {
namespace {

// Snoopy (Allied) shoots down Fritz (Hun) once.
Lines oneKill() {
    return {killLine("20:00:00", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL")};
}

std::string joined(const Lines& lines, const std::string& end) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line + end;
    }
    return bytes;
}

RunResult runIni(const std::string& ini) {
    return runGame({{"ux7server0.log", crlf(oneKill())}, {"vorskal.ini", ini}}, allOff());
}

RunResult runIni(const Lines& ini) {
    return runIni(crlf(ini));
}

// A completed run whose kill and death values were `kill` and `death`, whose
// section 7 copied `copied` and named `mapName`.
void expectPoints(const RunResult& result, long long kill, long long death, const Lines& copied,
                  const std::string& mapName) {
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({pilotRow("Snoopy", kill, 1, 0)},
                            totalsLine("Allied Totals:......", kill, 1, 0),
                            {pilotRow("Fritz", death, 0, 1)},
                            totalsLine("Hun Totals:.........", death, 0, 1)));
    EXPECT_EQ(sectionOf(result.lines, Section::Zorl), zorlBlock(kill, death));
    EXPECT_EQ(sectionOf(result.lines, Section::PointValues), pointValuesSection(copied, mapName));
    ASSERT_FALSE(result.lines.empty());
    EXPECT_EQ(result.lines.back(), " ");
}

// A failed run that stopped at the run's first lookup: the report is the
// header and the ERROR line.
void expectLookupFailure(const RunResult& result, const std::string& prefix,
                         const std::string& offending) {
    expectFailure(result, prefix, offending);
    Lines expected = expectedHeader();
    expected.push_back(result.lines.empty() ? "" : result.lines.back());
    EXPECT_EQ(result.lines, expected);
}

Lines withPointLines(Lines head) {
    for (const auto& line : standardPointLines()) {
        head.push_back(line);
    }
    return head;
}

TEST(PointValues, TheUsualFile) {
    expectPoints(runIni(standardIni()), 10, -5, standardPointLines(), "Verdun");
}

TEST(PointValues, TheFilesLineEndsDoNotMatter) {
    for (const char* end : {"\n", "\r", "\r\n"}) {
        SCOPED_TRACE(end[0] == '\n' ? "LF" : end[1] == '\n' ? "CR LF" : "CR");
        expectPoints(runIni(joined(standardIniLines(), end)), 10, -5, standardPointLines(),
                     "Verdun");
    }
    // Mixed, and the last line without an end.
    const Lines lines = standardIniLines();
    std::string mixed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        mixed += lines[i];
        if (i + 1 < lines.size()) {
            mixed += (i % 3 == 0) ? "\n" : (i % 3 == 1) ? "\r" : "\r\n";
        }
    }
    expectPoints(runIni(mixed), 10, -5, standardPointLines(), "Verdun");
}

// Kill and death lines load their points whatever the lookups find: also when
// the block does not list the target of the first lookup, when the file names
// no map, and when the point lines come before the map line.
TEST(PointValues, KillAndDeathLinesAlwaysLoadThePoints) {
    SCOPED_TRACE("block without target 20");
    expectPoints(runIni(withPointLines({"Map=Verdun", "Verdun", "12-Bridge,2", ""})), 10, -5,
                 standardPointLines(), "Verdun");
    SCOPED_TRACE("no map line");
    expectPoints(runIni(withPointLines({"Verdun", "12-Bridge,2", "20-Depot,1", ""})), 10, -5,
                 standardPointLines(), "unknown");
    SCOPED_TRACE("point lines first");
    Lines first = standardPointLines();
    first.insert(first.end(), {"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", ""});
    expectPoints(runIni(first), 10, -5, standardPointLines(), "Verdun");
}

// A value line of the target's type that comes before the block is met while
// the type is not known yet: it is no value line then, so it is not read.
TEST(PointValues, AValueLineBeforeTheTypeIsKnownIsNotRead) {
    Lines ini = {"Depot=seven", "Map=Verdun", "Verdun", "20-Depot,1", ""};
    ini = withPointLines(ini);
    expectPoints(runIni(ini), 10, -5, standardPointLines(), "Verdun");
}

TEST(PointValues, ValuesAreRoundedDown) {
    struct Case {
        std::string kill, death;
        long long killValue, deathValue;
    };
    const Case cases[] = {
        {"2.9", "-1.5", 2, -2},
        {" 12 ", " -3 ", 12, -3},
        {"+4", "-.5", 4, -1},
        {"5.", "-0", 5, 0},
        {"7.0", "-7.0", 7, -7},
        {"0.5", "-0.01", 0, -1},
        {"  99.99", "-99.99  ", 99, -100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Kill=" + c.kill + " Death=" + c.death);
        Lines ini = standardIniLines();
        ini[5] = "Kill=" + c.kill;
        ini[6] = "Death=" + c.death;
        Lines copied = standardPointLines();
        copied[0] = ini[5];
        copied[1] = ini[6];
        expectPoints(runIni(ini), c.killValue, c.deathValue, copied, "Verdun");
    }
}

// The last kill line and the last death line of the file give the points.
TEST(PointValues, TheLastKillAndDeathLinesWin) {
    const Lines ini = {"Map=Verdun", "Verdun",    "20-Depot,1", "",        "Kill=10",
                       "Death=-5",   "Bridge=15", "Depot=7",    "Tent=3",  "Train=9",
                       "Truck=4",    "Barn=2",    "Mill=6",     "Kill=25", "Death=-8"};
    expectPoints(runIni(ini), 25, -8,
                 {"Kill=10", "Death=-5", "Bridge=15", "Depot=7", "Tent=3", "Train=9", "Truck=4",
                  "Barn=2", "Mill=6", "Kill=25", "Death=-8"},
                 "Verdun");
}

TEST(PointValues, TwoMapLines) {
    // The heading is looked for with the map name current at each line: Verdun
    // is no heading before the second map line, Arras none after it.
    const Lines ini = withPointLines(
        {"Map=Arras", "Arras", "20-Depot,1", "", "Verdun", "old targets, kept for reference", "",
         "Map=Verdun", "Verdun", "20-Depot,1", "", "Arras", "old targets, kept for reference", ""});
    expectPoints(runIni(ini), 10, -5, standardPointLines(), "Verdun");
}

TEST(PointValues, AnyLineHoldingTheMapNameOpensABlock) {
    SCOPED_TRACE("another map's heading");
    expectPoints(runIni(withPointLines({"Map=Verdun", "Verdun North", "5-Tent,2", "6-Barn,2", "",
                                        "Verdun", "20-Depot,1", ""})),
                 10, -5, standardPointLines(), "Verdun");
    expectLookupFailure(
        runIni(withPointLines({"Map=Verdun", "Verdun North", "old targets, kept for reference", "",
                               "Verdun", "20-Depot,1", ""})),
        "ERROR -- vorskal.ini line 3: ", "old targets");
    SCOPED_TRACE("a value line");
    expectLookupFailure(
        runIni({"Map=Verdun", "Verdun", "20-Depot,1", "", "Kill=10", "Death=-5", "Bridge=15",
                "Verdun_Depot=7", "Factory=20", "Hangar=12", "Tent=3", "Train=9", "Truck=4", ""}),
        "ERROR -- vorskal.ini line 9: ", "Factory=20");
}

// A map line with nothing after "=": every line holds the empty name, so the
// kill line opens a block and the death line after it is no target line.
TEST(PointValues, AnEmptyMapName) {
    Lines ini = standardIniLines();
    ini[0] = "Map=";
    expectLookupFailure(runIni(ini), "ERROR -- vorskal.ini line 7: ", "Death=");
}

TEST(PointValues, TheBlockAtTheEndOfTheFile) {
    const Lines points = standardPointLines();
    Lines lines = points;
    lines.insert(lines.end(), {"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1"});
    SCOPED_TRACE("last line with its end");
    expectPoints(runIni(crlf(lines)), 10, -5, points, "Verdun");
    SCOPED_TRACE("last line without an end");
    std::string bytes = crlf(lines);
    bytes.resize(bytes.size() - 2);
    expectPoints(runIni(bytes), 10, -5, points, "Verdun");
    SCOPED_TRACE("the heading as the last line");
    Lines headingLast = points;
    headingLast.insert(headingLast.end(), {"Map=Verdun", "Verdun"});
    expectPoints(runIni(crlf(headingLast)), 10, -5, points, "Verdun");
    std::string headingBytes = crlf(headingLast);
    headingBytes.resize(headingBytes.size() - 2);
    expectPoints(runIni(headingBytes), 10, -5, points, "Verdun");
}

// Section 7 copies the kill line and the eight lines after it, whatever they
// hold; a kill line among them starts no copy of its own, a later one does,
// and the copy stops early at the end of the file.
TEST(PointValues, SectionSevenCopiesTheKillLines) {
    const Lines ini = {"Map=Verdun", "Verdun",    "20-Depot,1", "",        "Kill=10",
                       "Death=-5",   "",          "Bridge=15",  "Kill=12", "Depot=7",
                       "Factory=20", "Hangar=12", "Tent=3",     "Train=9", "Truck=4",
                       "Kill=15",    "Death=-6",  "Barn=2"};
    std::string bytes = crlf(ini);
    bytes.resize(bytes.size() - 2);
    expectPoints(runIni(bytes), 15, -6,
                 {"Kill=10", "Death=-5", "", "Bridge=15", "Kill=12", "Depot=7", "Factory=20",
                  "Hangar=12", "Tent=3", "Kill=15", "Death=-6", "Barn=2"},
                 "Verdun");
}

TEST(PointValues, SectionSevenWithoutAKillLine) {
    const RunResult result =
        runIni({"Map=Verdun", "Verdun", "20-Depot,1", "", "Death=-5", "Depot=7"});
    // No kill line: kills are worth nothing.
    expectPoints(result, 0, -5, {}, "Verdun");
    EXPECT_EQ(sectionOf(result.lines, Section::PointValues),
              (Lines{" ", "7. ZORL Scoring Point Values", "---------------------------------", " ",
                     "Map used was Verdun", " "}));
}

TEST(PointValues, SectionSevenAtTheEndOfTheFile) {
    const Lines ini = {"Map=Verdun", "Verdun", "20-Depot,1", "", "Death=-5", "Kill=10", "Depot=7"};
    expectPoints(runIni(ini), 10, -5, {"Kill=10", "Depot=7"}, "Verdun");
    std::string bytes = crlf(ini);
    bytes.resize(bytes.size() - 2);
    expectPoints(runIni(bytes), 10, -5, {"Kill=10", "Depot=7"}, "Verdun");
    expectPoints(runIni(Lines{"Map=Verdun", "Verdun", "20-Depot,1", "", "Death=-5", "Kill=10"}), 10,
                 -5, {"Kill=10"}, "Verdun");
}

// Lines the run's lookups never read as numbers cannot fail it.
TEST(PointValues, LinesThatAreNeverReadAsNumbers) {
    SCOPED_TRACE("a block line without a comma, not looked up");
    expectPoints(runIni(withPointLines({"Map=Verdun", "Verdun", "15-Tent", "20-Depot,1", ""})), 10,
                 -5, standardPointLines(), "Verdun");
    SCOPED_TRACE("a block line without a hyphen");
    expectPoints(runIni(withPointLines({"Map=Verdun", "Verdun", "15", "20-Depot,1", ""})), 10, -5,
                 standardPointLines(), "Verdun");
    SCOPED_TRACE("a value line of another type");
    Lines other = standardPointLines();
    other[2] = "Bridge=many";
    Lines ini = {"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", ""};
    ini.insert(ini.end(), other.begin(), other.end());
    expectPoints(runIni(ini), 10, -5, other, "Verdun");
}

TEST(PointValues, FaultsStopTheRunWithTheirLine) {
    struct Case {
        const char* name;
        std::size_t line;  // 1-based line of `text` in the usual file
        std::string text;
        bool insert;  // insert the line there instead of replacing it
        std::string prefix;
        std::string offending;
    };
    const Case cases[] = {
        {"word in the block", 4, "Tent-7,1", true, "ERROR -- vorskal.ini line 4: ", "Tent"},
        {"comment in the block", 4, "; bridges", true,
         "ERROR -- vorskal.ini line 4: ", "; bridges"},
        {"blanks in the block", 4, "   ", true, "ERROR -- vorskal.ini line 4: ", ""},
        {"another heading in the block", 4, "Arras", true,
         "ERROR -- vorskal.ini line 4: ", "Arras"},
        {"matching target without comma", 4, "20-Depot", false,
         "ERROR -- vorskal.ini line 4: ", "Depot"},
        {"team not a number", 4, "20-Depot,one", false, "ERROR -- vorskal.ini line 4: ", "one"},
        {"team empty", 4, "20-Depot,", false, "ERROR -- vorskal.ini line 4: ", ""},
        {"team beyond 32 bits", 4, "20-Depot,4294967297", false,
         "ERROR -- vorskal.ini line 4: ", "4294967297"},
        {"kill not a number", 6, "Kill=ten", false, "ERROR -- vorskal.ini line 6: ", "ten"},
        {"kill with exponent", 6, "Kill=1e3", false, "ERROR -- vorskal.ini line 6: ", "1e3"},
        {"kill above 32 bits", 6, "Kill=2147483648", false,
         "ERROR -- vorskal.ini line 6: ", "2147483648"},
        {"death empty", 7, "Death=", false, "ERROR -- vorskal.ini line 7: ", ""},
        {"death with a word", 7, "Death=-5 points", false,
         "ERROR -- vorskal.ini line 7: ", "-5 points"},
        {"death below 32 bits", 7, "Death=-2147483649", false,
         "ERROR -- vorskal.ini line 7: ", "-2147483649"},
        {"type value not a number", 9, "Depot=seven", false,
         "ERROR -- vorskal.ini line 9: ", "seven"},
        {"type value far beyond", 9, "Depot=99999999999999999999", false,
         "ERROR -- vorskal.ini line 9: ", "99999999999999999999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lines ini = standardIniLines();
        const auto at = ini.begin() + static_cast<std::ptrdiff_t>(c.line - 1);
        if (c.insert) {
            ini.insert(at, c.text);
        } else {
            *at = c.text;
        }
        expectLookupFailure(runIni(ini), c.prefix, c.offending);
    }
}

// An empty file names no map, no target and no points: nothing fails.
TEST(PointValues, AnEmptyFile) {
    expectPoints(runIni(std::string()), 0, 0, {}, "unknown");
}

// A line holding "Kill=" anywhere is a kill line, with letter case.
TEST(PointValues, KillLinesAreFoundAnywhereInALine) {
    Lines ini = standardIniLines();
    ini.insert(ini.end(), {"kill=99", "BalloonKill=25", "Death=-6"});
    Lines copied = standardPointLines();
    copied.insert(copied.end(), {"BalloonKill=25", "Death=-6"});
    expectPoints(runIni(ini), 25, -6, copied, "Verdun");
}

// The map name is everything after "=", trailing blanks included.
TEST(PointValues, TheMapNameKeepsItsBlanks) {
    Lines ini = standardIniLines();
    ini[0] = "Map= Verdun  ";
    expectPoints(runIni(ini), 10, -5, standardPointLines(), " Verdun  ");
}

// Targets show what a lookup finds: each destroyer below is new, so his
// record takes the target's team from the lookup and its points from the
// type value lines. Red boxes play no part (all options off).
RunResult runTargets(const Lines& ini, const Lines& targetTexts) {
    Lines log;
    for (const auto& text : targetTexts) {
        log.push_back(logLine("20:16:00", text));
    }
    return runGame({{"ux7server0.log", crlf(log)}, {"vorskal.ini", crlf(ini)}}, allOff());
}

std::string targetRow(const std::string& name, long long points, const std::string& key) {
    return pad16(name) + "....." + std::to_string(points) + ".........0.......0........1..." +
           std::to_string(points) + "..." + key;
}

TEST(PointValues, TwoMapLinesWithTargets) {
    // Both blocks are read: Arras's while Arras is the map, Verdun's after.
    const Lines ini =
        withPointLines({"Map=Arras", "Arras", "20-Depot,1", "21-Tent,1", "", "Map=Verdun", "Verdun",
                        "20-Depot,2", "12-Bridge,2", "", "Arras", "12-Bridge,1", ""});
    const RunResult result = runTargets(
        ini, {"Target Depot #20 destroyed by Otto.", "Target Tent #21 destroyed by Jean.",
              "Target Bridge #12 destroyed by Hans."});
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({targetRow("Jean", 3, ",#21")},
                            "Allied Totals:......3........0.......0........1...3...",
                            {targetRow("Otto", 7, ",#20"), targetRow("Hans", 15, ",#12")},
                            "Hun Totals:.........22........0.......0........2...22..."));
}

TEST(PointValues, TargetsOfABlockOpenedByAnotherHeading) {
    const Lines ini = withPointLines(
        {"Map=Verdun", "Verdun North", "30-Barn,2", "", "Verdun", "20-Depot,1", "", "Barn=4"});
    const RunResult result = runTargets(ini, {"Target Barn #30 destroyed by Otto."});
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({}, "Allied Totals:......0........0.......0........0...0...",
                            {targetRow("Otto", 4, ",#30")},
                            "Hun Totals:.........4........0.......0........1...4..."));
}

// Within one lookup the last matching line wins: a later line of the block
// with the same number, and the last value line holding "Type=".
TEST(PointValues, TheLastMatchingLinesWin) {
    const Lines ini = {"Map=Verdun",   "Verdun",  "12-Bridge,2", "07-Tent,2",
                       "12-Bridge,1",  "",        "Kill=10",     "Death=-5",
                       "Bridge=15",    "Depot=7", "Tent=3",      "Train=9",
                       "RailBridge=5", "Truck=4", "Barn=2",      "Mill=6"};
    const RunResult result = runTargets(
        ini, {"Target Bridge #12 destroyed by Jean.", "Target Tent #7 destroyed by Otto."});
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Completed) << result.outcome.message;
    // Target 7 is written 07 in the block: numbers are compared as numbers.
    EXPECT_EQ(sectionOf(result.lines, Section::Scores),
              scoresSection({targetRow("Jean", 5, ",#12")},
                            "Allied Totals:......5........0.......0........1...5...",
                            {targetRow("Otto", 3, ", #7")},
                            "Hun Totals:.........3........0.......0........1...3..."));
}

TEST(PointValues, AMissingFileStopsTheRun) {
    const RunResult result = runGame({{"ux7server0.log", crlf(oneKill())}}, allOff());
    expectLookupFailure(result, "ERROR -- ", "vorskal.ini");
}

}  // namespace
}  // namespace vorskal::testing
