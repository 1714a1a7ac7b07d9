// The league file as a database must be safe: two recorders at once both
// succeed, a recorder killed inside its transaction leaves a sound file
// without its game, and a file this program cannot use is refused and left
// byte for byte as it was.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "league/league_file.h"
#include "league/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

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

// Each report its own game: the sample game's report at another time.
std::string reports(const std::vector<std::string>& times) {
    return reportFile(std::vector<std::string>(times.size(), "sample-game"), times);
}

TEST(SafetyTest, TwoRecordersAtOnceBothSucceed) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    dir.write("a.log", reports({"20:00:01", "20:00:02"}));
    dir.write("b.log", reports({"20:00:03", "20:00:04"}));
    // Each holds its transaction for 300 ms a game, so the two must take turns.
    const std::vector<std::string> slow = {"VORSKAL_LEAGUE_TEST_PAUSE_MS=300"};
    const pid_t a = spawn({VORSKAL_LEAGUE_BINARY, db, "import", dir.path() + "/a.log"}, slow);
    const pid_t b = spawn({VORSKAL_LEAGUE_BINARY, db, "import", dir.path() + "/b.log"}, slow);
    EXPECT_EQ(waitFor(a), 0);
    EXPECT_EQ(waitFor(b), 0);
    EXPECT_EQ(gamesIn(db), 4);
}

// Recorders that start together on a league file that does not exist yet:
// one creates it, the others wait for it, and every game lands.
TEST(SafetyTest, EightRecordersOnANewFileAllLand) {
    GameDir dir;
    constexpr int kRecorders = 8;
    for (int k = 0; k < kRecorders; ++k) {
        dir.write("r" + std::to_string(k) + ".log", reports({"20:00:1" + std::to_string(k)}));
    }
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        const std::string db = dir.path() + "/new" + std::to_string(round) + ".db";
        std::vector<pid_t> recorders;
        for (int k = 0; k < kRecorders; ++k) {
            recorders.push_back(spawn({VORSKAL_LEAGUE_BINARY, db, "import",
                                       dir.path() + "/r" + std::to_string(k) + ".log"},
                                      {}));
        }
        for (const pid_t recorder : recorders) {
            EXPECT_EQ(waitFor(recorder), 0);
        }
        EXPECT_EQ(gamesIn(db), kRecorders);
    }
}

TEST(SafetyTest, RecorderKilledInsideItsTransactionLeavesASoundFileWithoutItsGame) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    const std::string mark = dir.path() + "/paused";
    dir.write("first.log", reports({"20:00:01"}));
    dir.write("second.log", reports({"20:00:02"}));
    ASSERT_EQ(league({db, "import", dir.path() + "/first.log"}).status, 0);

    const pid_t recorder =
        spawn({VORSKAL_LEAGUE_BINARY, db, "import", dir.path() + "/second.log"},
              {"VORSKAL_LEAGUE_TEST_PAUSE_MS=60000", "VORSKAL_LEAGUE_TEST_PAUSE_MARK=" + mark});
    for (int i = 0; i < 1000 && !std::filesystem::exists(mark); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(std::filesystem::exists(mark));
    kill(recorder, SIGKILL);
    EXPECT_EQ(waitFor(recorder), -1);

    EXPECT_EQ(gamesIn(db), 1);
    EXPECT_EQ(league({db, "import", dir.path() + "/second.log"}).status, 0);
    EXPECT_EQ(gamesIn(db), 2);
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
             .exec("PRAGMA user_version = 2");
     },
     "written by a newer VORSKAL (schema version 2"},
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
                EXPECT_EQ(run.status, kLeagueExitFailed) << command[1];
                EXPECT_NE(run.err.find(spoiled.message), std::string::npos) << run.err;
            }
            EXPECT_EQ(bytesOf(db), before) << command[1];
        }
    }
}

TEST(SafetyTest, CommandsThatCannotWorkMakeNoLeagueFile) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    for (const std::vector<std::string>& command : {std::vector<std::string>{db, "standings"},
                                                    {db, "remove", "1"},
                                                    {db, "import", dir.path() + "/no-such.log"}}) {
        const LeagueRun run = league(command);
        EXPECT_EQ(run.status, kLeagueExitFailed) << command[1];
        EXPECT_NE(run.err.find(command[1] == "import" ? "no-such.log: cannot open"
                                                      : "season.db: no such league file"),
                  std::string::npos)
            << run.err;
        EXPECT_FALSE(std::filesystem::exists(db)) << command[1];
    }
}

}  // namespace
}  // namespace vorskal::testing
