// The league file as a database: recorders at once, a recorder killed
// inside its transaction, files this program cannot use, other users; and
// it holds only numbers a tally makes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "league/store/game_numbers.h"
#include "league/store/game_store.h"
#include "league/store/league_file.h"
#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

using league::LeagueFile;
using league::Statement;

std::int64_t gamesIn(const std::string& db) {
    LeagueFile file(db, LeagueFile::Access::Read);
    Statement check = file.db().prepare("PRAGMA integrity_check");
    EXPECT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
    return file.db().scalar("SELECT count(*) FROM games");
}

// The sample game's report at the times given (one game however often).
std::string reports(const std::vector<std::string>& times) {
    return reportFile(std::vector<std::string>(times.size(), "sample-game"), times);
}

// Eight games of their own: the reports of eight scenario folders.
const std::vector<std::string> kGames = {"sample-game",
                                         "sample-game-options-off",
                                         "frame-all-options-off",
                                         "frame-all-options-on",
                                         "frame-multi-death-and-red-boxed",
                                         "frame-over-max-only",
                                         "multi-death-window",
                                         "kill-self-kills"};

std::string gameReport(std::size_t k) {
    return reportFile({kGames[k]}, {"20:00:00"});
}

// On a league file that does not exist yet: one creates it, the others wait.
// In the first round each holds its transaction for 300 ms.
TEST(SafetyTest, EightRecordersOnANewFileAllLand) {
    GameDir dir;
    constexpr int kRecorders = 8;
    for (int k = 0; k < kRecorders; ++k) {
        dir.write("r" + std::to_string(k) + ".log", gameReport(static_cast<std::size_t>(k)));
    }
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        const std::string db = dir.path() + "/new" + std::to_string(round) + ".db";
        std::vector<pid_t> recorders;
        for (int k = 0; k < kRecorders; ++k) {
            const std::string log = dir.path() + "/r" + std::to_string(k) + ".log";
            recorders.push_back(
                round == 0 ? spawnPaused(dir.path() + "/mark", 300, {"league", db, "import", log})
                           : spawn({VORSKAL_LEAGUE_BINARY, db, "import", log}));
        }
        for (const pid_t recorder : recorders) {
            EXPECT_EQ(waitFor(recorder), 0);
        }
        EXPECT_EQ(gamesIn(db), kRecorders);
    }
}

// An import of another game, or another tally of the sample game (red-boxed
// filter off): neither its game nor, in vorskal.log, its report is left.
TEST(SafetyTest, RecorderKilledInsideItsTransactionLeavesASoundFileWithoutItsGame) {
    for (const bool byTally : {false, true}) {
        SCOPED_TRACE(byTally ? "tally" : "import");
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        copySampleGame(dir);
        dir.write("vorskal.log", reports({"19:00:00"}));
        dir.write("second.log", gameReport(1));
        ASSERT_EQ(league({db, "import", dir.path() + "/vorskal.log"}).status, 0);
        const std::string before = dir.read("vorskal.log");
        const std::vector<std::string> args =
            byTally ? std::vector<std::string>{"tally", "--all-targets", "--record", db, dir.path()}
                    : std::vector<std::string>{"league", db, "import", dir.path() + "/second.log"};
        const std::string mark = dir.path() + "/paused";
        const pid_t recorder = spawnPaused(mark, 60000, args);
        for (int i = 0; i < 3000 && !std::filesystem::exists(mark); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(std::filesystem::exists(mark));
        kill(recorder, SIGKILL);
        EXPECT_EQ(waitFor(recorder), -1);
        EXPECT_EQ(gamesIn(db), 1);
        EXPECT_EQ(dir.read("vorskal.log"), before);

        const std::vector<std::string> again(args.begin() + 1, args.end());
        const LeagueRun run = byTally ? tally(again) : league(again);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(gamesIn(db), 2);
        EXPECT_EQ(dir.read("vorskal.log").size() > before.size(), byTally);
    }
}

// Ways to spoil a good league file (SQL run on it, or a change of its
// bytes), and what the refusal says.
struct Spoiled {
    const char* what;
    const char* sql;
    void (*spoil)(const std::string& db);
    const char* message;
};

const Spoiled kSpoiled[] = {
    {"a text file", nullptr, [](const std::string& db) { writeBytes(db, "Kill=10\r\n"); },
     "not a league file (it is not an SQLite database)"},
    {"another program's database", nullptr,
     [](const std::string& db) {
         std::filesystem::remove(db);
         league::Connection(db, league::Connection::Mode::Create).exec("CREATE TABLE t (x)");
     },
     "an SQLite database of another program"},
    {"a newer schema", "PRAGMA user_version = 99", nullptr,
     "written by a newer VORSKAL (schema version 99"},
    // A league file's objects as a crafted file would have them: a query
    // over the games that never ends, code that runs on every insert, a
    // column of its own.
    {"an endless view in the games' place",
     "PRAGMA foreign_keys = OFF; DROP TABLE games; CREATE VIEW games AS WITH RECURSIVE n(i) AS "
     "(SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i AS id FROM n",
     nullptr,
     "not a league file as this program writes them (it holds the view \"games\", which a "
     "league file of schema version"},
    {"a trigger", "CREATE TRIGGER t AFTER INSERT ON pilots BEGIN SELECT 1; END", nullptr,
     "(it holds the trigger \"t\", which"},
    {"a column of its own", "ALTER TABLE pilots ADD COLUMN note TEXT", nullptr,
     "(its table \"pilots\" is not defined as schema version"},
    {"a damaged page", nullptr,
     [](const std::string& db) {
         std::string bytes = bytesOf(db);
         bytes.replace(2 * 4096, 4096, std::string(4096, 'U'));  // page 3, a table's root
         writeBytes(db, bytes);
     },
     "the league file is damaged"},
    {"nothing spoiled", nullptr, [](const std::string&) {}, nullptr},
};

TEST(SafetyTest, FilesThatCannotBeUsedAreRefusedAndLeftAsTheyWere) {
    for (const Spoiled& spoiled : kSpoiled) {
        SCOPED_TRACE(spoiled.what);
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        dir.write("vorskal.log", reports({"20:00:01", "20:00:02"}));
        ASSERT_EQ(league({db, "import", dir.path() + "/vorskal.log"}).status, 0);
        if (spoiled.sql != nullptr) {
            league::Connection(db, league::Connection::Mode::ReadWrite).exec(spoiled.sql);
        } else {
            spoiled.spoil(db);
        }
        const std::string before = bytesOf(db);

        // Readers never write, even to a good file; writers refuse a bad one.
        std::vector<std::vector<std::string>> commands = {
            {db, "standings"}, {db, "games", "--format", "json"}, {db, "show", "1"}};
        if (spoiled.message != nullptr) {
            commands.push_back({db, "import", dir.path() + "/vorskal.log"});
            commands.push_back({db, "remove", "1"});
        }
        for (const auto& command : commands) {
            const LeagueRun run = league(command);
            if (spoiled.message == nullptr) {
                EXPECT_EQ(run.status, 0) << run.err;
            } else {
                EXPECT_EQ(run.status, kExitFailed) << command[1];
                EXPECT_NE(run.err.find(spoiled.message), std::string::npos) << run.err;
            }
            EXPECT_EQ(bytesOf(db), before) << command[1];
        }
        // Merged into a sound league file: refused before anything is
        // written, both files as they were.
        if (spoiled.message != nullptr) {
            const std::string sound = dir.path() + "/sound.db";
            ASSERT_EQ(league({sound, "import", dir.path() + "/vorskal.log"}).status, 0);
            const std::string soundBefore = bytesOf(sound);
            const LeagueRun run = league({sound, "merge", db});
            EXPECT_EQ(run.status, kExitFailed);
            EXPECT_NE(run.err.find(spoiled.message), std::string::npos) << run.err;
            EXPECT_EQ(bytesOf(db), before);
            EXPECT_EQ(bytesOf(sound), soundBefore);
        }
    }
}

// In a folder he cannot write, or in one anybody can write (where a side
// file he made would be his, and would keep the owner from writing).
TEST(SafetyTest, ReadingCommandsOfAnotherUserWorkAndLeaveNoSideFile) {
    for (const mode_t folderMode : {0555, 0777}) {
        SCOPED_TRACE(folderMode);
        GameDir dir;
        const std::string folder = dir.path() + "/league";
        std::filesystem::create_directory(folder);
        const std::string db = folder + "/season.db";
        dir.write("vorskal.log", reports({"20:00:01"}));
        ASSERT_EQ(league({db, "import", dir.path() + "/vorskal.log"}).status, 0);
        ASSERT_EQ(chmod(folder.c_str(), folderMode), 0);
        const std::string before = bytesOf(db);

        for (const std::vector<std::string>& command : {std::vector<std::string>{"standings"},
                                                        {"games"},
                                                        {"show", "1"},
                                                        {"check"},
                                                        {"set"}}) {
            std::vector<std::string> argv = {VORSKAL_LEAGUE_BINARY, db};
            argv.insert(argv.end(), command.begin(), command.end());
            const LeagueRun run = runAsOrdinaryUser(argv);
            EXPECT_EQ(run.status, 0) << command[0] << ": " << run.err;
            EXPECT_FALSE(std::filesystem::exists(db + "-shm")) << command[0];
            EXPECT_FALSE(std::filesystem::exists(db + "-wal")) << command[0];
        }
        const LeagueRun remove = runAsOrdinaryUser({VORSKAL_LEAGUE_BINARY, db, "remove", "1"});
        EXPECT_EQ(remove.status, kExitFailed);
        EXPECT_NE(remove.err.find("season.db: cannot be written"), std::string::npos) << remove.err;
        EXPECT_EQ(bytesOf(db), before);
        chmod(folder.c_str(), 0755);
    }
}

TEST(SafetyTest, NoQueryRunsWithoutEndAndANameIsNeverAUri) {
    league::Connection memory(":memory:", league::Connection::Mode::Create);
    memory.limitSteps(1000000);
    try {
        memory.scalar(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
            "SELECT count(*) FROM n");
        ADD_FAILURE() << "not stopped";
    } catch (const league::SqliteError& error) {
        EXPECT_STREQ(error.what(), "interrupted");
    }
    EXPECT_EQ(memory.scalar("SELECT 6 * 7"), 42);

    GameDir dir;
    dir.write("vorskal.log", reports({"20:00:01"}));
    const ToolRun run = runProgram(dir.path(), VORSKAL_LEAGUE_BINARY,
                                   "'file:season.db?mode=memory' import vorskal.log");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(dir.exists("file:season.db?mode=memory"));
}

// A site build killed halfway leaves its folders beside the site.
TEST(SafetyTest, WhatAKilledSiteBuildLeftGoesUnlessItsProcessRuns) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    recordHand(db,
               handGame("Verdun", "12/01/26", {{"Alice", results::Side::Allied, 2, 1, 0, 0, 20}}),
               "k1");

    // A process that has ended (reaped, so no process has its number) and
    // one that still runs.
    const pid_t ended = fork();
    if (ended == 0) {
        _exit(0);
    }
    ASSERT_GT(ended, 0);
    waitpid(ended, nullptr, 0);
    const pid_t running = fork();
    if (running == 0) {
        pause();
        _exit(0);
    }
    ASSERT_GT(running, 0);

    const std::string deadNew = ".site.new-" + std::to_string(ended);
    const std::string deadOld = ".site.old-" + std::to_string(ended);
    const std::string liveNew = ".site.new-" + std::to_string(running);
    for (const std::string& folder : {deadNew, deadOld, liveNew}) {
        std::filesystem::create_directories(dir.path() + "/" + folder + "/games");
        dir.write(folder + "/games/game-1.html", "half a page");
    }
    // Not a build's leftover: another name, or no process number.
    std::filesystem::create_directory(dir.path() + "/.other.new-" + std::to_string(ended));
    std::filesystem::create_directory(dir.path() + "/.site.new-x1");

    const LeagueRun run = league({db, "site", dir.path() + "/site"});
    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(dir.exists(deadNew));
    EXPECT_FALSE(dir.exists(deadOld));
    EXPECT_EQ(dir.read(liveNew + "/games/game-1.html"), "half a page");
    EXPECT_TRUE(dir.exists(".other.new-" + std::to_string(ended)));
    EXPECT_TRUE(dir.exists(".site.new-x1"));
    EXPECT_TRUE(dir.exists("site/index.html"));
}

// A league file holds only numbers a tally makes.
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

struct SpoiledGame {
    const char* what;
    std::function<void(results::GameResults&)> spoil;
    std::string fault;
};

const SpoiledGame kSpoiledNumbers[] = {
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
    for (const SpoiledGame& spoiled : kSpoiledNumbers) {
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

// Given to vorskal-league as a real process: refused naming the entry, no
// signal, no hang, no league file made.
TEST(LeagueNumbers, EntriesThatAreNotRegularFilesAreRefusedNamingThem) {
    GameDir dir;
    mkfifo((dir.path() + "/fifo").c_str(), 0644);
    std::filesystem::create_directory(dir.path() + "/folder");
    const struct {
        std::string args;
        std::string message;  // how standard error begins after the program's name
    } cases[] = {
        {"season.db import /dev/zero", "/dev/zero: cannot open: a device, not a regular file\n"},
        {"season.db import folder", "folder: cannot open: a directory, not a regular file\n"},
        {"season.db import fifo", "fifo: cannot open: a FIFO, not a regular file\n"},
        {"folder standings", "folder: cannot open: a directory, not a regular file\n"},
        {"fifo games", "fifo: cannot open: a FIFO, not a regular file\n"},
        {"season.db import no-such.log", "no-such.log: cannot open"},
        {"season.db standings", "season.db: no such league file"},
        {"season.db remove 1", "season.db: no such league file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = runProgram(dir.path(), "timeout",
                                       "20 " + shellQuote(VORSKAL_LEAGUE_BINARY) + " " + c.args);
        EXPECT_EQ(run.status, kExitFailed);
        EXPECT_EQ(run.err.substr(0, 16 + c.message.size()), "vorskal-league: " + c.message);
        EXPECT_FALSE(dir.exists("season.db"));
    }
}

}  // namespace
}  // namespace vorskal::testing
