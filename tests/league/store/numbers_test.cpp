// A league file holds only numbers a tally makes, and vorskal-league reads
// only regular files: a game whose numbers do not hold is refused, by the
// recorder and by the importer; standings over a file that holds such a
// number (written by another program, or by hand) are refused naming the
// game; a report file or league file that is a device, a FIFO or a
// directory is refused naming it, by a real process that ends normally.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "league/store/game_numbers.h"
#include "league/store/game_store.h"
#include "league/store/league_file.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

using results::Side;

// Allied: Snoopy 3 kills, 1 death, 2 targets for 15 points, score 40, and a
// penalty of 6: final 34. Hun: Udet 2, 1, 0, 0, 15. Archie's team is unknown:
// he is in no total.
results::GameResults soundGame() {
    return handGame("Verdun", "12/06/26",
                    {{"Snoopy", Side::Allied, 3, 1, 2, 15, 40},
                     {"Udet", Side::Hun, 2, 1, 0, 0, 15},
                     {"Archie", Side::Unknown, 2, 0, 0, 0, 20}},
                    6);
}

struct Spoiled {
    const char* what;
    std::function<void(results::GameResults&)> spoil;
    std::string fault;
};

const Spoiled kSpoiledNumbers[] = {
    {"nothing", [](results::GameResults&) {}, ""},
    {"an unknown pilot's numbers, in no total",
     [](results::GameResults& g) {
         g.pilots[2].kills = 500;
         g.pilots[2].score = 5000;
     },
     ""},
    {"a negative count", [](results::GameResults& g) { g.pilots[0].kills = -1; },
     "pilot \"Snoopy\": kills -1 is negative"},
    {"18 digits", [](results::GameResults& g) { g.pilots[1].score = 999999999999999999; },
     "pilot \"Udet\": score 999999999999999999 lies beyond the 32-bit range the tally counts in"},
    // Snoopy's 3 kills at 10, 1 death at -5 and 15 target points make 40.
    {"a score that kills, deaths and targets do not make, its totals raised to match",
     [](results::GameResults& g) {
         g.pilots[0].score += 2000000;
         g.allied.score += 2000000;
         g.allied.final += 2000000;
     },
     "pilot \"Snoopy\": score 2000040 is not 3 kills at 10, 1 death at -5 and 15 target "
     "points"},
    {"a total that is not the rows' sum", [](results::GameResults& g) { g.allied.kills = 4; },
     "the Allied pilots' kills add up to 3, but the Allied totals say 4"},
    {"target points the rows do not have", [](results::GameResults& g) { g.hun.targetPoints = 12; },
     "the Hun pilots' target points add up to 0, but the Hun totals say 12"},
    {"a final total that is not score less penalty",
     [](results::GameResults& g) { g.allied.final = 40; },
     "the Allied final total 40 is not its score 40 less its penalty 6"},
    // The tally computes a side's penalty and final total in 64 bits: odd
    // time fields make a penalty negative, or huge.
    {"a negative penalty the tally makes",
     [](results::GameResults& g) {
         g.allied.overMaxPenalty = -6;
         g.allied.final = 46;
     },
     ""},
    {"a Hun final total beyond 32 bits the tally makes",
     [](results::GameResults& g) {
         g.hun.overMaxPenalty = -3000000000;
         g.hun.final = g.hun.score + 3000000000;
     },
     ""},
    {"a final total that leaves 64 bits",
     [](results::GameResults& g) {
         g.hun.overMaxPenalty = -9223372036854775807;
         g.hun.final = 0;
     },
     "the Hun final total 0 is not its score 15 less its penalty -9223372036854775807"},
    {"points per kill beyond 32 bits",
     [](results::GameResults& g) { g.settings.killPoints = 3000000000; },
     "the settings: points per kill 3000000000 lies beyond the 32-bit range the tally counts in"},
};

TEST(LeagueNumbers, AGameWhoseNumbersDoNotHoldIsNotRecorded) {
    for (const Spoiled& spoiled : kSpoiledNumbers) {
        SCOPED_TRACE(spoiled.what);
        results::GameResults game = soundGame();
        spoiled.spoil(game);
        EXPECT_EQ(league::numbersFault(game), spoiled.fault);

        GameDir dir;
        league::LeagueFile file(dir.path() + "/season.db", league::LeagueFile::Access::Write);
        try {
            league::recordGame(file, game, nullptr, handIdentity("a1a1"), {});
            EXPECT_EQ(spoiled.fault, "") << "recorded";
        } catch (const league::LeagueError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "the game's numbers do not hold (" + spoiled.fault + "); nothing recorded");
        }
        EXPECT_EQ(file.db().scalar("SELECT count(*) FROM games"), spoiled.fault.empty() ? 1 : 0);
    }
}

TEST(LeagueNumbers, ImportSkipsAReportWhoseTotalsDoNotAddUp) {
    GameDir dir;
    // The sample game's Allied pilots have 8 kills in all; the totals row
    // is made to say 9.
    std::string report = reportFile({"sample-game"}, {"20:15:03"});
    const std::string row = "Allied Totals:......85........8.......";
    ASSERT_NE(report.find(row), std::string::npos);
    report.replace(report.find(row), row.size(), "Allied Totals:......85........9.......");
    dir.write("vorskal.log", report);
    const LeagueRun run =
        league({dir.path() + "/season.db", "import", dir.path() + "/vorskal.log"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1 report: 0 recorded, 0 already recorded, 1 skipped"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find(": report 1: its numbers do not hold (the Allied pilots' kills add up "
                           "to 8, but the Allied totals say 9): skipped"),
              std::string::npos)
        << run.err;
}

// Numbers no tally makes, written into a league file behind the program's
// back, and what a sum over them would have been without the check.
const char* const kStoredBehindItsBack[] = {
    "UPDATE pilots SET kills = -5 WHERE name = 'Udet'",
    // A final total that is no whole number.
    "UPDATE team_totals SET final = 1.5 WHERE team = 'Hun'",
    "UPDATE pilots SET score = 'many' WHERE name = 'Snoopy'",
};

TEST(LeagueNumbers, StandingsRefuseAStoredNumberNoTallyMakesNamingTheGame) {
    for (const char* const update : kStoredBehindItsBack) {
        SCOPED_TRACE(update);
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        {
            league::LeagueFile file(db, league::LeagueFile::Access::Write);
            results::GameResults first = soundGame();
            results::GameResults second = soundGame();
            league::recordGame(file, first, nullptr, handIdentity("a1a1"), {});
            league::recordGame(file, second, nullptr, handIdentity("b2b2"), {});
            file.db().exec(std::string(update) + " AND game_id = 2");
        }
        const LeagueRun run = league({db, "standings"});
        EXPECT_EQ(run.status, kExitFailed);
        EXPECT_EQ(run.err, "vorskal-league: " + db +
                               ": game 2 holds a number that no tally makes (a negative count, "
                               "or one beyond the 32-bit range): the standings would be wrong; "
                               "remove it (vorskal-league " +
                               db + " remove 2) and record it again\n");
    }
}

// Entries that are not regular files, given to vorskal-league as a real
// process: refused naming the entry, exit status 2, no signal, no hang, no
// league file made.
TEST(LeagueNumbers, EntriesThatAreNotRegularFilesAreRefusedNamingThem) {
    GameDir dir;
    mkfifo((dir.path() + "/fifo").c_str(), 0644);
    std::filesystem::create_directory(dir.path() + "/folder");
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"season.db import /dev/zero", "/dev/zero: cannot open: a device, not a regular file"},
        {"season.db import folder", "folder: cannot open: a directory, not a regular file"},
        {"season.db import fifo", "fifo: cannot open: a FIFO, not a regular file"},
        {"folder standings", "folder: cannot open: a directory, not a regular file"},
        {"fifo games", "fifo: cannot open: a FIFO, not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = runProgram(dir.path(), "timeout",
                                       "20 " + shellQuote(VORSKAL_LEAGUE_BINARY) + " " + c.args);
        EXPECT_EQ(run.status, kExitFailed);
        EXPECT_EQ(run.err, "vorskal-league: " + c.message + "\n");
        EXPECT_FALSE(dir.exists("season.db"));
    }
}

}  // namespace
}  // namespace vorskal::testing
