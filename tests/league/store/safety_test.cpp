// The league file as a database must be safe: two recorders at once both
// succeed, a recorder killed inside its transaction leaves a sound file
// without its game (and, for vorskal-tally --record, "vorskal.log" without
// its report), a file this program cannot use is refused and left byte for
// byte as it was, and the reading commands work where the folder cannot be
// written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

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

// Recorders that start together on a league file that does not exist yet:
// one creates it, the others wait for it, and every game lands. In the first
// round each holds its transaction for 300 ms, so they must take turns.
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

// A recorder stopped inside its transaction (an import of another game;
// another tally of the sample game, red-boxed filter off, whose earlier
// report is recorded): the file is sound and holds neither its game nor,
// in vorskal.log, its report; run again, it lands.
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

// Ways to spoil a good league file, and what the refusal says.
struct Spoiled {
    const char* what;
    void (*spoil)(const std::string& db);
    const char* message;
};

const Spoiled kSpoiled[] = {
    {"a text file", [](const std::string& db) { writeBytes(db, "Kill=10\r\n"); },
     "not a league file (it is not an SQLite database)"},
    {"another program's database",
     [](const std::string& db) {
         std::filesystem::remove(db);
         league::Connection(db, league::Connection::Mode::Create).exec("CREATE TABLE t (x)");
     },
     "an SQLite database of another program"},
    {"a newer schema",
     [](const std::string& db) {
         league::Connection(db, league::Connection::Mode::ReadWrite)
             .exec("PRAGMA user_version = 99");
     },
     "written by a newer VORSKAL (schema version 99"},
    // A league file's objects as a crafted file would have them: a query
    // over the games that never ends, code that runs on every insert, a
    // column of its own.
    {"an endless view in the games' place",
     [](const std::string& db) {
         league::Connection(db, league::Connection::Mode::ReadWrite)
             .exec(
                 "PRAGMA foreign_keys = OFF; DROP TABLE games; CREATE VIEW games AS WITH "
                 "RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i AS id "
                 "FROM n");
     },
     "not a league file as this program writes them (it holds the view \"games\", which a "
     "league file of schema version"},
    {"a trigger",
     [](const std::string& db) {
         league::Connection(db, league::Connection::Mode::ReadWrite)
             .exec("CREATE TRIGGER t AFTER INSERT ON pilots BEGIN SELECT 1; END");
     },
     "(it holds the trigger \"t\", which"},
    {"a column of its own",
     [](const std::string& db) {
         league::Connection(db, league::Connection::Mode::ReadWrite)
             .exec("ALTER TABLE pilots ADD COLUMN note TEXT");
     },
     "(its table \"pilots\" is not defined as schema version"},
    {"a damaged page",
     [](const std::string& db) {
         std::string bytes = bytesOf(db);
         bytes.replace(2 * 4096, 4096, std::string(4096, 'U'));  // page 3, a table's root
         writeBytes(db, bytes);
     },
     "the league file is damaged"},
    {"nothing spoiled", [](const std::string&) {}, nullptr},
};

TEST(SafetyTest, FilesThatCannotBeUsedAreRefusedAndLeftAsTheyWere) {
    for (const Spoiled& spoiled : kSpoiled) {
        SCOPED_TRACE(spoiled.what);
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        dir.write("vorskal.log", reports({"20:00:01", "20:00:02"}));
        ASSERT_EQ(league({db, "import", dir.path() + "/vorskal.log"}).status, 0);
        spoiled.spoil(db);
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

// A league file another user reads: in a folder he cannot write, or in one
// anybody can write (where a side file he made would be his, and would keep
// the owner from writing the file). The reading commands work and leave no
// side file; the writing ones refuse and leave the file as it was.
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

// A query that never ends is stopped by the step limit, and the next one
// runs; a league file named like an SQLite URI is a file of that name.
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

TEST(SafetyTest, CommandsThatCannotWorkMakeNoLeagueFile) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    for (const std::vector<std::string>& command : {std::vector<std::string>{db, "standings"},
                                                    {db, "remove", "1"},
                                                    {db, "import", dir.path() + "/no-such.log"}}) {
        const LeagueRun run = league(command);
        EXPECT_EQ(run.status, kExitFailed) << command[1];
        EXPECT_NE(run.err.find(command[1] == "import" ? "no-such.log: cannot open"
                                                      : "season.db: no such league file"),
                  std::string::npos)
            << run.err;
        EXPECT_FALSE(std::filesystem::exists(db)) << command[1];
    }
}

}  // namespace
}  // namespace vorskal::testing
