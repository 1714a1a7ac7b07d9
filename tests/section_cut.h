#pragma once
// Pieces of a test game for whole runs: log lines in the server's shapes, a
// point-value file, one tally in a fresh game folder, and the report cut into
// its sections by their headings, with the score rows as the report writes them.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/tally_run.h"
#include "tests/support/game_dir.h"
#include "tests/support/log_lines.h"

namespace vorskal::testing::cut {

// ---- log lines ------------------------------------------------------------

using lines::enterLine;
using lines::field;
using lines::killLine;
using lines::leaveLine;
using lines::markerLine;
using lines::stamp;
using lines::targetLine;

// ---- the point-value file -------------------------------------------------

// Verdun: Hun targets 12 (Bridge, 15), 7 (Depot, 7), 123 (Factory, 20);
// Allied targets 45 (Hangar, 9), 9 (Truck, 2). A kill gives 10, a death -5.
inline std::string verdunIni() {
    return crlf({"Map=Verdun", "Verdun", "12-Bridge,2", "7-Depot,2", "123-Factory,2", "45-Hangar,1",
                 "9-Truck,1", "", "Kill=10", "Death=-5", "Bridge=15", "Depot=7", "Factory=20",
                 "Hangar=9", "Truck=2", "Tank=3", "Gun=4", "Train=6"});
}

// ---- the report -----------------------------------------------------------

struct Report {
    std::vector<std::string> lines;                   // the whole report
    std::array<std::vector<std::string>, 8> section;  // 1 to 7; [0] unused
    std::vector<std::string> zorl;                    // the ZORL totals block
};

inline const std::array<std::string, 8>& headings() {
    static const std::array<std::string, 8> names = {"",
                                                     "1. Report pilot number greater than 16.",
                                                     "2. Report possible multi-death bugs.",
                                                     "3. Report fighter destroyed targets.",
                                                     "4. Report score corrections.",
                                                     "5. Report non-red boxed targets destroyed.",
                                                     "6. Report scores.",
                                                     "7. ZORL Scoring Point Values"};
    return names;
}

inline const std::string& zorlHeading() {
    static const std::string name = "ZORL Scoring Results (includes corrections if enabled)";
    return name;
}

// Cuts a report at its headings. A section runs from its heading to the line
// before the next heading; section 7 starts with the spacer line before its
// heading, so the ZORL block ends with its own two spacer lines.
inline Report cutReport(const std::string& text) {
    Report report;
    report.lines = linesOf(text);
    const auto& all = report.lines;
    // Where sections 1 to 6, the ZORL block and section 7 begin, in order.
    const std::array<std::string, 8> marks = {headings()[1], headings()[2], headings()[3],
                                              headings()[4], headings()[5], headings()[6],
                                              zorlHeading(), headings()[7]};
    std::array<std::size_t, 9> starts{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        while (at < all.size() && all[at] != marks[i]) {
            ++at;
        }
        if (at == all.size()) {
            ADD_FAILURE() << "the report lacks \"" << marks[i] << "\":\n" << text;
        }
        starts[i] = at;
    }
    if (starts[7] < all.size() && starts[7] > starts[6]) {
        --starts[7];  // the spacer line before the heading of section 7
    }
    starts[8] = all.size();
    auto slice = [&](std::size_t i) {
        const auto begin = all.begin() + static_cast<std::ptrdiff_t>(starts[i]);
        const auto end = all.begin() + static_cast<std::ptrdiff_t>(starts[i + 1]);
        return std::vector<std::string>(begin, end);
    };
    for (std::size_t n = 1; n <= 6; ++n) {
        report.section[n] = slice(n - 1);
    }
    report.zorl = slice(6);
    report.section[7] = slice(7);
    return report;
}

// One tally in a fresh folder: "ux7server0.log" holds `log`, "vorskal.ini"
// holds `ini`. The run must complete, and give the same report when every
// pass reads the merged log back from the disk.
inline Report tallyGame(const std::vector<std::string>& log, const TallyOptions& options = {},
                        const std::string& ini = verdunIni()) {
    std::string reports[2];
    for (int plain = 0; plain < 2; ++plain) {
        GameDir dir;
        dir.write("ux7server0.log", crlf(log));
        dir.write("vorskal.ini", ini);
        RunConfig config;
        config.rereadMergedLog = plain == 1;
        const Outcome outcome = dir.tally(options, config);
        EXPECT_EQ(outcome.kind, OutcomeKind::Completed) << outcome.message;
        reports[plain] = dir.read("vorskal.log");
    }
    EXPECT_EQ(reports[0], reports[1]) << "the report differs when the merged log is re-read";
    return cutReport(reports[0]);
}

// ---- score rows -----------------------------------------------------------

struct Row {
    std::string name;
    int score = 0;
    int kills = 0;
    int deaths = 0;
    int targets = 0;
    int targetPoints = 0;
    std::string locations;
};

// The numbers of a totals row.
inline Row sum(int score, int kills, int deaths, int targets, int targetPoints) {
    return {"", score, kills, deaths, targets, targetPoints, ""};
}

inline std::string pilotRow(const Row& r) {
    return field(r.name, 16) + "....." + std::to_string(r.score) + "........." +
           std::to_string(r.kills) + "......." + std::to_string(r.deaths) + "........" +
           std::to_string(r.targets) + "..." + std::to_string(r.targetPoints) + "..." + r.locations;
}

inline std::string totalsRow(const std::string& label, const Row& t) {
    return label + std::to_string(t.score) + "........" + std::to_string(t.kills) + "......." +
           std::to_string(t.deaths) + "........" + std::to_string(t.targets) + "..." +
           std::to_string(t.targetPoints) + "...";
}

// Section 6 as the report must show it: the Allied rows, the Hun rows, the
// rows of unknown team, each team's totals.
inline std::vector<std::string> scoresSection(const std::vector<Row>& allied, const Row& alliedSum,
                                              const std::vector<Row>& hun, const Row& hunSum,
                                              const std::vector<Row>& unknown = {}) {
    const std::string heading =
        "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)";
    const std::string rule(68, '-');
    std::vector<std::string> out = {
        "6. Report scores.", std::string(17, '-'), " ", "*Allied*", " ", heading, rule};
    for (const auto& r : allied) {
        out.push_back(pilotRow(r));
    }
    out.push_back(" ");
    out.push_back(totalsRow("Allied Totals:......", alliedSum));
    out.insert(out.end(), {" ", " ", "*Hun*", " ", heading, rule});
    for (const auto& r : hun) {
        out.push_back(pilotRow(r));
    }
    out.push_back(" ");
    out.push_back(totalsRow("Hun Totals:.........", hunSum));
    for (const auto& r : unknown) {
        out.insert(out.end(), {" ", "Unable to determine team", pilotRow(r)});
    }
    out.insert(out.end(), {" ", " "});
    return out;
}

inline std::vector<std::string> zorlBlock(const std::string& allied, const std::string& hun) {
    return {zorlHeading(),
            std::string(59, '-'),
            "Allied Total:..." + allied,
            "Hun Total:......" + hun,
            " ",
            " "};
}

}  // namespace vorskal::testing::cut
