// Two tallies in one game folder (two windows, or a script and a window): the
// second waits on the folder's lock until the first lets it go, and the
// report file then holds two whole reports one after the other. The waiting
// is seen in the kernel's table of locks (/proc/locks), where a process
// blocked on a lock is listed with "->", so no test relies on timing.
// A run killed while it merges leaves nothing behind: the runner is killed
// with SIGKILL at points spread over its run, again and again; no file but
// the game's own may remain, and a temporary file of an earlier run whose
// process is gone is removed by the next run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <thread>

#include "base/system_files.h"
#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

// Waits until `pid` is listed as blocked on a lock; false after 60 s.
bool blockedOnALock(pid_t pid) {
    const std::string mark = " " + std::to_string(pid) + " ";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);) {
            if (line.find("->") != std::string::npos && line.find(mark) != std::string::npos) {
                return true;
            }
        }
        std::this_thread::yield();
    }
    return false;
}

// `kills` kill lines a minute apart (up to 59 minutes), the same second after.
void writeGame(const GameDir& dir, int kills) {
    std::string log;
    for (int i = 0; i < kills; ++i) {
        const int minute = i < 59 ? i : 59;
        log +=
            "12/06/26 20:" + std::string(minute < 10 ? "0" : "") + std::to_string(minute) +
            ":00 Kill of Fritz           FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL\r\n";
    }
    dir.write("ux7server0.log", log);
    dir.write("vorskal.ini", crlf({"Map=Verdun", "Verdun", "", "Kill=1", "Death=-1"}));
}

const std::string kTotals = "Allied Total:...3\r\nHun Total:......-3\r\n";

TEST(TwoRuns, ARunnerWaitsForTheLockOfThisProcess) {
    GameDir dir;
    writeGame(dir, 3);
    auto lock = std::make_unique<DirectoryLock>(dir.path());
    const pid_t runner = startRunner(dir.path());
    ASSERT_TRUE(blockedOnALock(runner));
    EXPECT_FALSE(dir.exists("ux7server.log"));
    EXPECT_FALSE(dir.exists("vorskal.log"));
    lock.reset();
    EXPECT_EQ(exitStatus(runner), 0);
    EXPECT_NE(dir.read("vorskal.log").find(kTotals), std::string::npos);
}

TEST(TwoRuns, TheLockGoesWithAProcessThatDies) {
    GameDir dir;
    writeGame(dir, 3);
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        DirectoryLock lock(dir.path());
        (void)!::write(held[1], "x", 1);
        for (;;) {
            ::pause();
        }
    }
    char byte;
    ASSERT_EQ(::read(held[0], &byte, 1), 1);  // the holder has the lock
    const pid_t runner = startRunner(dir.path());
    ASSERT_TRUE(blockedOnALock(runner));
    EXPECT_FALSE(dir.exists("vorskal.log"));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(exitStatus(runner), 0);
    EXPECT_NE(dir.read("vorskal.log").find(kTotals), std::string::npos);
}

// Both let go at one moment on a game long enough to be read in many pieces:
// the folder holds two whole reports, the second after the first.
TEST(TwoRuns, TwoRunnersAtOnceAppendTwoWholeReports) {
    GameDir dir;
    writeGame(dir, 5000);
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    const pid_t first = startRunner(dir.path(), gate);
    const pid_t second = startRunner(dir.path(), gate);
    ::close(gate[0]);
    ::close(gate[1]);
    EXPECT_EQ(exitStatus(first), 0);
    EXPECT_EQ(exitStatus(second), 0);
    const std::string report = dir.read("vorskal.log");
    const std::size_t half = report.size() / 2;  // the time lines are alike in length
    const std::regex timeLine("Current time is [^\r]*");
    EXPECT_EQ(std::regex_replace(report.substr(0, half), timeLine, ""),
              std::regex_replace(report.substr(half), timeLine, ""));
    EXPECT_EQ(report.rfind("\r\n\r\nUX7SERVER Log Tally", half), half);
    EXPECT_EQ(report.substr(half - 26, 26), "\r\nMap used was Verdun\r\n \r\n");
}

// The id of a process that has ended.
pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(0);
    }
    exitStatus(pid);
    return pid;
}

std::set<std::string> namesIn(const GameDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(InterruptedMerge, AKilledRunLeavesNothingBehind) {
    GameDir dir;
    // About 40 MB of lines ended by LF alone, so that the merge rewrites
    // every line end and takes a while.
    std::string log;
    std::string merged;
    for (int n = 0; n < 500000; ++n) {
        const std::string line = "[20:00:00] chatter line " + std::to_string(n) +
                                 " of a long game, nothing a pass acts on";
        log += line + "\n";
        merged += line + "\r\n";
    }
    dir.write("ux7server0.log", log);
    dir.write("vorskal.ini", "Map=Verdun\r\nVerdun\r\n20-Depot,2\r\n\r\nKill=10\r\nDeath=-5\r\n");
    const std::string leftover = ".ux7server.log.new-" + std::to_string(endedProcess()) + "-0";
    dir.write(leftover, "half a merge of a run killed long ago");

    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(exitStatus(startRunner(dir.path())), 0);
    const auto whole = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(dir.read("ux7server.log"), merged);
    EXPECT_FALSE(dir.exists(leftover));

    const std::set<std::string> game = {"ux7server0.log", "ux7server.log", "vorskal.ini",
                                        "vorskal.log"};
    constexpr int kKills = 8;
    for (int k = 1; k <= kKills; ++k) {
        const pid_t pid = startRunner(dir.path());
        std::this_thread::sleep_for(whole * k / (kKills + 1));
        ::kill(pid, SIGKILL);
        exitStatus(pid);
        EXPECT_EQ(namesIn(dir), game) << "after kill " << k;
        EXPECT_EQ(dir.read("ux7server.log").size(), merged.size()) << "after kill " << k;
    }
}

}  // namespace
}  // namespace vorskal::testing
