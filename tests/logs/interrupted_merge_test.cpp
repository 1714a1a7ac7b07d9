// A run killed while it merges leaves nothing behind: the headless runner,
// started as a real process, is killed with SIGKILL at points spread over
// its run, again and again; no file but the game's own may remain. A
// temporary file of an earlier run whose process is gone is removed by the
// next run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

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
    for (const auto& entry : fs::directory_iterator(dir.path())) {
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

    const auto start = Clock::now();
    ASSERT_EQ(exitStatus(startRunner(dir.path())), 0);
    const auto whole = Clock::now() - start;
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
