#pragma once
// Helpers for tests of whole tally runs: making the lines of a game (log
// lines, the point-value file), running a game in a fresh directory with both
// ways of reading the merged log, and cutting the report into its sections so
// that a test compares one whole section as a list of lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/game_dir.h"

namespace vorskal::testing {

using Lines = std::vector<std::string>;

// ---------------------------------------------------------------------------
// Lines of a game

// A server log line: columns 1-9 free, the time of day at 10-17, a blank at
// 18 and the event text from column 19.
inline std::string logLine(const std::string& time, const std::string& text) {
    return "12/06/26 " + time + " " + text;
}

// A pilot name as the server writes it: padded with blanks to 16 characters.
inline std::string pad16(const std::string& name) {
    std::string padded = name;
    if (padded.size() < 16) {
        padded.append(16 - padded.size(), ' ');
    }
    return padded;
}

// "Kill of " at column 19, the victim's padded name and aircraft from column
// 27, then " awarded to ", the killer's padded name and aircraft.
inline std::string killLine(const std::string& time, const std::string& victim,
                            const std::string& victimAircraft, const std::string& killer,
                            const std::string& killerAircraft) {
    return logLine(time, "Kill of " + pad16(victim) + victimAircraft + " awarded to " +
                             pad16(killer) + killerAircraft);
}

// The point lines of the usual settings file: the kill line and the eight
// lines after it.
inline Lines standardPointLines() {
    return {"Kill=10",   "Death=-5", "Bridge=15", "Depot=7", "Factory=20",
            "Hangar=12", "Tent=3",   "Train=9",   "Truck=4"};
}

// The usual settings file: one map, two targets (20 among them, the target of
// the run's first lookup), an exactly empty line, then the point lines.
inline Lines standardIniLines() {
    Lines lines = {"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", ""};
    for (const auto& line : standardPointLines()) {
        lines.push_back(line);
    }
    return lines;
}

inline std::string standardIni() {
    return crlf(standardIniLines());
}

// ---------------------------------------------------------------------------
// Running a game

using GameFiles = std::map<std::string, std::string>;

struct RunResult {
    Outcome outcome;
    std::string report;  // the bytes of "vorskal.log"
    Lines lines;         // the report's lines
};

// Runs the game in two fresh directories, once working from the lines the
// merge kept and once reading "ux7server.log" back for every pass; both must
// give the same outcome and the same report. Returns the first.
inline RunResult runGame(const GameFiles& files, const TallyOptions& options = {}) {
    RunResult results[2];
    for (int plain = 0; plain < 2; ++plain) {
        GameDir dir;
        for (const auto& [name, bytes] : files) {
            dir.write(name, bytes);
        }
        RunConfig config;
        config.rereadMergedLog = plain == 1;
        results[plain].outcome = dir.tally(options, config);
        results[plain].report = dir.read("vorskal.log");
        results[plain].lines = linesOf(results[plain].report);
    }
    EXPECT_EQ(results[0].outcome.kind, results[1].outcome.kind);
    EXPECT_EQ(results[0].outcome.message, results[1].outcome.message);
    EXPECT_EQ(results[0].report, results[1].report)
        << "re-reading the merged log changed the report";
    return results[0];
}

// A game of one numbered log and a settings file.
inline RunResult runLog(const Lines& logLines, const std::string& ini = standardIni(),
                        const TallyOptions& options = {}) {
    return runGame({{"ux7server0.log", crlf(logLines)}, {"vorskal.ini", ini}}, options);
}

inline TallyOptions allOff() {
    return {false, false, false, false};
}

// ---------------------------------------------------------------------------
// Cutting a report into sections

enum class Section {
    Header,          // the lines before section 1
    PilotNumber,     // 1.
    MultiDeath,      // 2.
    FighterTargets,  // 3.
    Corrections,     // 4.
    NonRedBoxed,     // 5.
    Scores,          // 6.
    Zorl,            // the unnumbered totals block
    PointValues,     // 7., from the spacer line before its heading
};

inline const std::vector<std::pair<Section, std::string>>& sectionHeadings() {
    static const std::vector<std::pair<Section, std::string>> headings = {
        {Section::PilotNumber, "1. Report pilot number greater than 16."},
        {Section::MultiDeath, "2. Report possible multi-death bugs."},
        {Section::FighterTargets, "3. Report fighter destroyed targets."},
        {Section::Corrections, "4. Report score corrections."},
        {Section::NonRedBoxed, "5. Report non-red boxed targets destroyed."},
        {Section::Scores, "6. Report scores."},
        {Section::Zorl, "ZORL Scoring Results (includes corrections if enabled)"},
        {Section::PointValues, "7. ZORL Scoring Point Values"},
    };
    return headings;
}

// Where each section starts in `report`; a section that is missing has no entry.
inline std::map<Section, std::size_t> sectionStarts(const Lines& report) {
    std::map<Section, std::size_t> starts;
    std::size_t from = 0;
    for (const auto& [section, heading] : sectionHeadings()) {
        const auto it =
            std::find(report.begin() + static_cast<std::ptrdiff_t>(from), report.end(), heading);
        if (it == report.end()) {
            continue;
        }
        std::size_t at = static_cast<std::size_t>(it - report.begin());
        from = at + 1;
        // Section 7 owns the spacer line written right before its heading.
        if (section == Section::PointValues && at > 0 && report[at - 1] == " ") {
            --at;
        }
        starts[section] = at;
    }
    return starts;
}

// The lines of one section, from its heading up to the next section (or the
// end of the report). Empty when the report lacks the section.
inline Lines sectionOf(const Lines& report, Section section) {
    const auto starts = sectionStarts(report);
    std::size_t begin = 0;
    if (section != Section::Header) {
        const auto it = starts.find(section);
        if (it == starts.end()) {
            return {};
        }
        begin = it->second;
    }
    std::size_t end = report.size();
    for (const auto& [other, at] : starts) {
        if (at > begin && at < end) {
            end = at;
        }
    }
    return Lines(report.begin() + static_cast<std::ptrdiff_t>(begin),
                 report.begin() + static_cast<std::ptrdiff_t>(end));
}

// ---------------------------------------------------------------------------
// Fixed lines of the report

inline Lines expectedHeader() {
    return {"",
            "",
            "UX7SERVER Log Tally (VORSKAL.LOG)",
            "Rev 3.40 -- VORSKAL scoring tally for the ZORL league",
            "Current time is 20:15:03    Current date is 06/12/2026",
            "",
            ""};
}

inline const std::string kTableHeading =
    "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)";
inline const std::string kTableRule = std::string(68, '-');

// One pilot row of section 6 for a pilot without targets: the name padded to
// 16, then score, kills and deaths with their runs of dots, then "0...0...".
inline std::string pilotRow(const std::string& name, long long score, long long kills,
                            long long deaths) {
    return pad16(name) + "....." + std::to_string(score) + "........." + std::to_string(kills) +
           "......." + std::to_string(deaths) + "........0...0...";
}

// A totals line for a team without targets; `label` is "Allied Totals:......"
// or "Hun Totals:.........".
inline std::string totalsLine(const std::string& label, long long score, long long kills,
                              long long deaths) {
    return label + std::to_string(score) + "........" + std::to_string(kills) + "......." +
           std::to_string(deaths) + "........0...0...";
}

// Section 6 around the given rows and totals lines.
inline Lines scoresSection(const Lines& alliedRows, const std::string& alliedTotals,
                           const Lines& hunRows, const std::string& hunTotals,
                           const Lines& unknownRows = {}) {
    Lines lines = {"6. Report scores.", std::string(17, '-'), " ", "*Allied*", " ", kTableHeading,
                   kTableRule};
    lines.insert(lines.end(), alliedRows.begin(), alliedRows.end());
    lines.insert(lines.end(),
                 {" ", alliedTotals, " ", " ", "*Hun*", " ", kTableHeading, kTableRule});
    lines.insert(lines.end(), hunRows.begin(), hunRows.end());
    lines.insert(lines.end(), {" ", hunTotals});
    for (const auto& row : unknownRows) {
        lines.insert(lines.end(), {" ", "Unable to determine team", row});
    }
    lines.insert(lines.end(), {" ", " "});
    return lines;
}

inline Lines zorlBlock(long long alliedTotal, long long hunTotal) {
    return {"ZORL Scoring Results (includes corrections if enabled)",
            std::string(59, '-'),
            "Allied Total:..." + std::to_string(alliedTotal),
            "Hun Total:......" + std::to_string(hunTotal),
            " ",
            " "};
}

// Section 7 with the copied lines and the map used.
inline Lines pointValuesSection(const Lines& copied, const std::string& mapName) {
    Lines lines = {" ", "7. ZORL Scoring Point Values", std::string(33, '-')};
    lines.insert(lines.end(), copied.begin(), copied.end());
    lines.insert(lines.end(), {" ", "Map used was " + mapName, " "});
    return lines;
}

// Counts the report's lines that start with "ERROR -- ".
inline int errorLineCount(const Lines& report) {
    return static_cast<int>(std::count_if(report.begin(), report.end(), [](const auto& line) {
        return line.rfind("ERROR -- ", 0) == 0;
    }));
}

// A failed run: its report ends in exactly one ERROR line that starts with
// `prefix` and holds `offending`, and the outcome carries the same message.
inline void expectFailure(const RunResult& result, const std::string& prefix,
                          const std::string& offending = "") {
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Failed);
    ASSERT_FALSE(result.lines.empty());
    const std::string& last = result.lines.back();
    EXPECT_EQ(last.rfind(prefix, 0), 0u) << "last line: " << last;
    EXPECT_NE(last.find(offending), std::string::npos)
        << "last line: " << last << "\nshould hold: " << offending;
    EXPECT_EQ(errorLineCount(result.lines), 1);
    EXPECT_EQ(last, "ERROR -- " + result.outcome.message);
}

}  // namespace vorskal::testing
