// Input that looks broken but is no fault: a last line without its end,
// lines cut short by a crash, odd bytes in names, lines of 100 000
// characters, an empty numbered log, and files with CR-only or LF-only line
// ends. The tally completes and every line of the report is the right one.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/game_dir.h"
#include "tests/support/log_lines.h"

namespace vorskal::testing {
namespace {

using Lines = std::vector<std::string>;

using namespace lines;

// ---- the point values -------------------------------------------------------

Lines ini() {
    return {"Map=Verdun", "Verdun",  "12-Bridge,2", "20-Depot,2", "45-Hangar,1",
            "",           "Kill=10", "Death=-5",    "Bridge=15",  "Depot=7",
            "Hangar=9",   "Tank=3",  "Gun=4",       "Train=6",    "Truck=2"};
}

// ---- the report, all four options on ------------------------------------------

std::string row(const std::string& name, int score, int kills, int deaths, int targets, int points,
                const std::string& locations) {
    return field(name, 16) + "....." + std::to_string(score) + "........." + std::to_string(kills) +
           "......." + std::to_string(deaths) + "........" + std::to_string(targets) + "..." +
           std::to_string(points) + "..." + locations;
}

std::string totals(const std::string& title, int score, int kills, int deaths, int targets,
                   int points) {
    return title + std::to_string(score) + "........" + std::to_string(kills) + "......." +
           std::to_string(deaths) + "........" + std::to_string(targets) + "..." +
           std::to_string(points) + "...";
}

struct Expected {
    int maxAllied = 0;
    int maxHun = 0;
    Lines multiDeath;   // body of section 2
    Lines fighter;      // body of section 3
    Lines nonRedBoxed;  // lines listed in section 5
    Lines alliedRows;
    std::string alliedTotals;
    Lines hunRows;
    std::string hunTotals;
    Lines unknownRows;
    int alliedFinal = 0;
    int hunFinal = 0;
};

void append(Lines& to, const Lines& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

Lines expectedReport(const Expected& e) {
    const std::string tableHeading =
        "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)";
    Lines r = {"",
               "",
               "UX7SERVER Log Tally (VORSKAL.LOG)",
               "Rev 3.40 -- VORSKAL scoring tally for the ZORL league",
               "Current time is 20:15:03    Current date is 06/12/2026",
               "",
               ""};
    append(r, {"1. Report pilot number greater than 16.", std::string(39, '-'), " ",
               "NOTICE -- Max number of Allied pilots at any one time = " +
                   std::to_string(e.maxAllied),
               "NOTICE -- Max number of Hun pilots at any one time = " + std::to_string(e.maxHun),
               " ", "NOTICE -- Points deducted from Allied for over max pilots = 0",
               "NOTICE -- Points deducted from Hun for over max pilots = 0", " ", " "});
    append(r, {"2. Report possible multi-death bugs.", std::string(36, '-'), " "});
    append(r, e.multiDeath);
    append(r, {" ", " "});
    append(r, {"3. Report fighter destroyed targets.", std::string(36, '-'), " "});
    append(r, e.fighter);
    append(r, {" ", " "});
    append(r, {"4. Report score corrections.", std::string(28, '-'), " ",
               "NOTICE -- Over Max Pilot penalty enabled ",
               "NOTICE -- Multiple Death bug correction enabled ",
               "NOTICE -- Fighter Destroyed Target correction enabled ", " ", " "});
    append(r, {"5. Report non-red boxed targets destroyed.", std::string(42, '-'), " ",
               "NOTICE -- Only red boxed targets have been tallied ", " "});
    append(r, e.nonRedBoxed);
    append(r, {" ", " "});
    append(r, {"6. Report scores.", std::string(17, '-'), " ", "*Allied*", " ", tableHeading,
               std::string(68, '-')});
    append(r, e.alliedRows);
    append(r, {" ", e.alliedTotals, " ", " ", "*Hun*", " ", tableHeading, std::string(68, '-')});
    append(r, e.hunRows);
    append(r, {" ", e.hunTotals});
    for (const std::string& unknown : e.unknownRows) {
        append(r, {" ", "Unable to determine team", unknown});
    }
    append(r, {" ", " "});
    append(r, {"ZORL Scoring Results (includes corrections if enabled)", std::string(59, '-'),
               "Allied Total:..." + std::to_string(e.alliedFinal),
               "Hun Total:......" + std::to_string(e.hunFinal), " ", " "});
    append(r, {" ", "7. ZORL Scoring Point Values", std::string(33, '-'), "Kill=10", "Death=-5",
               "Bridge=15", "Depot=7", "Hangar=9", "Tank=3", "Gun=4", "Train=6", "Truck=2", " ",
               "Map used was Verdun", " "});
    return r;
}

// Compares a report with its expected lines and names the first line that differs.
void expectReport(const std::string& actual, const Lines& expected) {
    const std::string wanted = crlf(expected);
    if (actual == wanted) {
        return;
    }
    const Lines got = linesOf(actual);
    std::size_t i = 0;
    while (i < got.size() && i < expected.size() && got[i] == expected[i]) {
        ++i;
    }
    ADD_FAILURE() << "report line " << i + 1 << " differs (" << got.size() << " lines, "
                  << expected.size() << " expected)\n  got:      "
                  << (i < got.size() ? "\"" + got[i] + "\"" : "(none)") << "\n  expected: "
                  << (i < expected.size() ? "\"" + expected[i] + "\"" : "(none)")
                  << "\nwhole report:\n"
                  << actual;
}

// Joins lines with `end` after each; `lastEnd` false leaves the last line open.
std::string joined(const Lines& lines, const std::string& end, bool lastEnd = true) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (lastEnd || i + 1 < lines.size()) {
            out += end;
        }
    }
    return out;
}

using Files = std::vector<std::pair<std::string, std::string>>;  // name, bytes

// Tallies the game twice, from the lines that the merge kept and from fresh
// reads of the merged log, and checks the merged log and the whole report.
void expectTally(const Files& files, const std::string& merged, const Lines& report) {
    for (const bool reread : {false, true}) {
        SCOPED_TRACE(reread ? "merged log read again for every pass" : "merged lines kept");
        GameDir dir;
        for (const auto& [name, bytes] : files) {
            dir.write(name, bytes);
        }
        RunConfig config;
        config.rereadMergedLog = reread;
        const Outcome outcome = dir.tally({}, config);
        EXPECT_EQ(outcome.kind, OutcomeKind::Completed) << outcome.message;
        EXPECT_EQ(outcome.message, "Tally Complete");
        EXPECT_EQ(dir.read("ux7server.log"), merged);
        expectReport(dir.read("vorskal.log"), report);
        for (const auto& [name, bytes] : files) {
            EXPECT_EQ(dir.read(name), bytes) << name << " changed";
        }
    }
}

// ---- the games ----------------------------------------------------------------

// Two pilots enter, kill each other once, and the Hun pilot destroys a red
// boxed Hun target while flying a fighter.
Lines plainGame() {
    return {enterLine("20:00:00", "Snoopy", "SOPWITH_CAMEL"),
            enterLine("20:01:00", "Fritz", "FOKKER_DVII"),
            "",
            killLine("20:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
            markerLine("20:16:00"),
            targetLine("20:16:00", "Bridge #12", "Fritz"),
            leaveLine("20:30:00", "Snoopy"),
            killLine("20:31:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII")};
}

Expected plainGameReport() {
    Expected e;
    e.maxAllied = 1;
    e.maxHun = 1;
    e.fighter = {"WARNING -- Fighter destroyed target", plainGame()[5]};
    e.alliedRows = {row("Snoopy", 5, 1, 1, 0, 0, "")};
    e.alliedTotals = totals("Allied Totals:......", 5, 1, 1, 0, 0);
    e.hunRows = {row("Fritz", 5, 1, 1, 0, 0, ",#12")};  // the target was taken back
    e.hunTotals = totals("Hun Totals:.........", 5, 1, 1, 0, 0);
    e.alliedFinal = 5;
    e.hunFinal = 5;
    return e;
}

TEST(OddInput, EveryKindOfLineEndGivesTheSameReport) {
    struct Form {
        const char* name;
        std::string end;
        bool lastEnd;
    };
    const Form forms[] = {
        {"CR LF", "\r\n", true}, {"CR LF, last line without its end", "\r\n", false},
        {"LF only", "\n", true}, {"LF only, last line without its end", "\n", false},
        {"CR only", "\r", true}, {"CR only, last line without its end", "\r", false}};
    for (const Form& form : forms) {
        SCOPED_TRACE(form.name);
        expectTally({{"ux7server0.log", joined(plainGame(), form.end, form.lastEnd)},
                     {"vorskal.ini", joined(ini(), form.end, form.lastEnd)}},
                    crlf(plainGame()), expectedReport(plainGameReport()));
    }
}

TEST(OddInput, LinesCutShortAreNoFault) {
    const Lines log = {
        killLine("20:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        "12/06/26 20:15:03 Kill of Bar",       // cut after the victim's name
        "12/06/26 20:15",                      // cut inside the time
        "12/06/26 20:15:09 Kil",               // cut inside "Kill of "
        "12/06/26 20:15:09 Target Bridge #1",  // cut before " destroyed by "
        "12/06/26 20:16:00 Player |Snoo",      // an entry line cut in the name
        killLine("20:20:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"),
        "12/06/26 20:21:00 Kill of Fritz           FOKKER_DVII awarded to Sno",  // the crash
    };
    Expected e;
    e.alliedRows = {row("Snoopy", 5, 1, 1, 0, 0, "")};
    e.alliedTotals = totals("Allied Totals:......", 5, 1, 1, 0, 0);
    e.hunRows = {row("Fritz", 0, 1, 2, 0, 0, "")};
    e.hunTotals = totals("Hun Totals:.........", 0, 1, 2, 0, 0);
    // "Bar" died without a killer; "Sno" is the killer text the crash left.
    e.unknownRows = {row("Bar", -5, 0, 1, 0, 0, ""), row("Sno", 10, 1, 0, 0, 0, "")};
    e.alliedFinal = 5;
    e.hunFinal = 0;
    expectTally({{"ux7server0.log", joined(log, "\r\n", false)}, {"vorskal.ini", crlf(ini())}},
                crlf(log), expectedReport(e));
}

TEST(OddInput, NulAndHighBytesInNamesAreKeptByteForByte) {
    const std::string hun = std::string("Fr") + '\0' + "itz" + '\xFC';
    const std::string allied = std::string("Sn") + '\xF6' + "opy";
    const Lines log = {killLine("20:15:03", hun, "FOKKER_DVII", allied, "SOPWITH_CAMEL"),
                       markerLine("20:16:00"), targetLine("20:16:00", "Bridge #12", hun),
                       killLine("20:25:03", allied, "SOPWITH_CAMEL", hun, "FOKKER_DVII")};
    Expected e;
    e.fighter = {"WARNING -- Unknown type destroyed target", log[2]};
    e.alliedRows = {row(allied, 5, 1, 1, 0, 0, "")};
    e.alliedTotals = totals("Allied Totals:......", 5, 1, 1, 0, 0);
    e.hunRows = {row(hun, 20, 1, 1, 1, 15, ",#12")};
    e.hunTotals = totals("Hun Totals:.........", 20, 1, 1, 1, 15);
    e.alliedFinal = 5;
    e.hunFinal = 20;
    expectTally({{"ux7server0.log", crlf(log)}, {"vorskal.ini", crlf(ini())}}, crlf(log),
                expectedReport(e));
}

TEST(OddInput, LinesOfAHundredThousandCharacters) {
    std::string chatter = stamp("20:10:00") + "Chat: ";
    chatter.resize(100000, 'x');
    const std::string first =
        killLine("20:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    std::string longKill =
        killLine("20:15:13", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL") + " ";
    longKill.resize(100000, 'y');
    const Lines log = {first, chatter, longKill,
                       killLine("20:40:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII")};
    Expected e;
    // Fritz's second death, 10 seconds after the first, is taken back with
    // Snoopy's second kill; both lines are shown as 128-character fields.
    e.multiDeath = {"WARNING -- Possible multiple death bug", field(first, 128),
                    longKill.substr(0, 128)};
    e.alliedRows = {row("Snoopy", 5, 1, 1, 0, 0, "")};
    e.alliedTotals = totals("Allied Totals:......", 5, 1, 1, 0, 0);
    e.hunRows = {row("Fritz", 5, 1, 1, 0, 0, "")};
    e.hunTotals = totals("Hun Totals:.........", 5, 1, 1, 0, 0);
    e.alliedFinal = 5;
    e.hunFinal = 5;
    expectTally({{"ux7server0.log", crlf(log)}, {"vorskal.ini", crlf(ini())}}, crlf(log),
                expectedReport(e));
}

TEST(OddInput, AnEmptyNumberedLogBetweenTwoOthers) {
    const std::string first =
        killLine("20:15:03", "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string second =
        killLine("20:31:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII");
    Expected e;
    e.alliedRows = {row("Snoopy", 5, 1, 1, 0, 0, "")};
    e.alliedTotals = totals("Allied Totals:......", 5, 1, 1, 0, 0);
    e.hunRows = {row("Fritz", 5, 1, 1, 0, 0, "")};
    e.hunTotals = totals("Hun Totals:.........", 5, 1, 1, 0, 0);
    e.alliedFinal = 5;
    e.hunFinal = 5;
    expectTally({{"ux7server0.log", crlf({first})},
                 {"ux7server1.log", ""},
                 {"ux7server2.log", crlf({second})},
                 {"vorskal.ini", crlf(ini())}},
                crlf({first, second}), expectedReport(e));
}

}  // namespace
}  // namespace vorskal::testing
