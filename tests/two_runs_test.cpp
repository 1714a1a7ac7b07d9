// Two tallies in one game folder at once (two windows, or a script and a
// window): the second waits for the first, and the report file holds two
// whole reports one after the other, never mixed. Tried with real processes
// of the headless runner.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/posix_files.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using Lines = std::vector<std::string>;

std::string field(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::string timeOfDay(int seconds) {
    const auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    return two(seconds / 3600 % 24) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

std::string stamp(int seconds) {
    return "12/06/26 " + timeOfDay(seconds) + " ";
}

std::string killLine(int seconds, const std::string& victim, const std::string& victimPlane,
                     const std::string& killer, const std::string& killerPlane) {
    return stamp(seconds) + "Kill of " + field(victim, 16) + victimPlane + " awarded to " +
           field(killer, 16) + killerPlane;
}

const char* const kIni =
    "Map=Verdun\r\nVerdun\r\n12-Bridge,2\r\n20-Depot,2\r\n\r\nKill=10\r\nDeath=-5\r\n"
    "Bridge=15\r\nDepot=7\r\nTank=3\r\nGun=4\r\nTrain=6\r\nTruck=2\r\nHangar=9\r\n";

// A long night of a few megabytes in three numbered logs: chatter, kills
// 40 seconds apart for each victim, and many unmarked destructions that
// sections 3 and 5 list, so that each report is megabytes long and reaches
// the file in many pieces over the run.
std::vector<std::string> bigGame() {
    std::vector<std::string> pieces(3);
    int t = 19 * 3600;
    constexpr int kLines = 30000;
    for (int i = 0; i < kLines; ++i) {
        std::string& piece = pieces[static_cast<std::size_t>(i) * 3 / kLines];
        ++t;
        if (i % 20 == 5) {
            piece += killLine(
                t, i % 40 == 5 ? "Fritz" : "Snoopy", i % 40 == 5 ? "FOKKER_DVII" : "SOPWITH_CAMEL",
                i % 40 == 5 ? "Snoopy" : "Fritz", i % 40 == 5 ? "SOPWITH_CAMEL" : "FOKKER_DVII");
        } else if (i % 2 == 0) {
            piece += stamp(t) + "Target Bridge #12 destroyed by Fritz.";
        } else {
            piece += stamp(t) + "Chat: " + std::string(60, static_cast<char>('a' + i % 26));
        }
        piece += "\r\n";
    }
    return pieces;
}

void writeGame(const GameDir& dir, const std::vector<std::string>& pieces) {
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        dir.write("ux7server" + std::to_string(n) + ".log", pieces[n]);
    }
    dir.write("vorskal.ini", kIni);
}

void writeSmallGame(const GameDir& dir) {
    dir.write("ux7server0.log",
              crlf({killLine(72903, "Fritz", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL")}));
    dir.write("vorskal.ini", kIni);
}

// The time line comes from the real clock; every other line is compared.
Lines masked(const std::string& report) {
    Lines lines = linesOf(report);
    for (std::string& line : lines) {
        if (line.rfind("Current time is ", 0) == 0) {
            line = "Current time is (masked)";
        }
    }
    return lines;
}

// A headless runner started in its own process, its output kept in files.
class Runner {
  public:
    // With a `gate` (a pipe), the process waits until the gate's writing end
    // is closed everywhere, so several runners can be let go at one moment.
    explicit Runner(const std::string& gameDir, const int* gate = nullptr) {
        const std::string out = outputs_.path() + "/out";
        const std::string err = outputs_.path() + "/err";
        pid_ = ::fork();
        if (pid_ == 0) {
            if (gate != nullptr) {
                ::close(gate[1]);
                char byte;
                while (::read(gate[0], &byte, 1) > 0) {
                }
                ::close(gate[0]);
            }
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(o, 1);
            ::dup2(e, 2);
            ::execl(VORSKAL_TALLY_BINARY, VORSKAL_TALLY_BINARY, "-C", gameDir.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Runner() {
        if (pid_ > 0 && running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    bool started() const { return pid_ > 0; }
    bool running() {
        if (done_) {
            return false;
        }
        int raw = 0;
        const pid_t ended = ::waitpid(pid_, &raw, WNOHANG);
        if (ended == 0) {
            return true;
        }
        done_ = true;
        status_ = ended == pid_ && WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
        return false;
    }
    // Waits for the end, at most 30 seconds: a runner that hangs is killed
    // and reported as status -2.
    int wait() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (running()) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
                done_ = true;
                status_ = -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return status_;
    }
    std::string out() const { return outputs_.read("out"); }
    std::string err() const { return outputs_.read("err"); }

  private:
    GameDir outputs_;
    pid_t pid_ = -1;
    bool done_ = false;
    int status_ = -1;
};

void expectOneCompleteReport(const Lines& report) {
    ASSERT_GE(report.size(), 10u);
    EXPECT_EQ(report[0], "");
    EXPECT_EQ(report[1], "");
    EXPECT_EQ(report[2], "UX7SERVER Log Tally (VORSKAL.LOG)");
    EXPECT_EQ(report[report.size() - 2], "Map used was Verdun");
    EXPECT_EQ(report.back(), " ");
}

TEST(TwoRuns, TwoRunnersAtOnceWriteTwoWholeReportsOneAfterTheOther) {
    const std::vector<std::string> pieces = bigGame();
    std::string merged;
    for (const std::string& piece : pieces) {
        merged += piece;
    }
    ASSERT_GT(merged.size(), 2u << 20);

    // One run alone gives the report that each of the two must append.
    GameDir alone;
    writeGame(alone, pieces);
    {
        Runner solo(alone.path());
        ASSERT_TRUE(solo.started());
        ASSERT_EQ(solo.wait(), 0) << solo.err();
    }
    const Lines one = masked(alone.read("vorskal.log"));
    expectOneCompleteReport(one);
    ASSERT_GT(one.size(), 4000u);

    GameDir dir;
    writeGame(dir, pieces);
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    Runner first(dir.path(), gate);
    Runner second(dir.path(), gate);
    ::close(gate[0]);
    ::close(gate[1]);  // both start now
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(second.started());
    EXPECT_EQ(first.wait(), 0) << first.err();
    EXPECT_EQ(second.wait(), 0) << second.err();
    EXPECT_EQ(first.out().rfind("Tally Complete\n", 0), 0u) << first.out();
    EXPECT_EQ(second.out().rfind("Tally Complete\n", 0), 0u) << second.out();

    Lines twice = one;
    twice.insert(twice.end(), one.begin(), one.end());
    const Lines report = masked(dir.read("vorskal.log"));
    EXPECT_EQ(report.size(), twice.size());
    std::size_t differ = 0;
    while (differ < report.size() && differ < twice.size() && report[differ] == twice[differ]) {
        ++differ;
    }
    EXPECT_EQ(differ, twice.size()) << "the reports differ from line " << differ + 1 << ": \""
                                    << (differ < report.size() ? report[differ] : "") << "\"";
    EXPECT_EQ(dir.read("ux7server.log"), merged);
}

// The runner must not touch the folder while another tally holds it.
void expectWaiting(Runner& runner, const GameDir& dir) {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(runner.running()) << "the runner finished while the folder was locked";
    EXPECT_FALSE(dir.exists("vorskal.log"));
    EXPECT_FALSE(dir.exists("ux7server.log"));
}

void expectDone(Runner& runner, const GameDir& dir) {
    EXPECT_EQ(runner.wait(), 0) << runner.err();
    EXPECT_EQ(runner.out().rfind("Tally Complete\n", 0), 0u) << runner.out();
    expectOneCompleteReport(masked(dir.read("vorskal.log")));
}

TEST(TwoRuns, ARunnerWaitsForTheLockOfThisProcess) {
    GameDir dir;
    writeSmallGame(dir);
    auto lock = std::make_unique<DirectoryLock>(dir.path());
    Runner runner(dir.path());
    ASSERT_TRUE(runner.started());
    expectWaiting(runner, dir);
    lock.reset();
    expectDone(runner, dir);
}

TEST(TwoRuns, TheLockGoesWithAProcessThatDies) {
    GameDir dir;
    writeSmallGame(dir);
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    const std::string path = dir.path();
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ::close(held[0]);
        DirectoryLock lock(path);
        const char byte = 'x';
        (void)!::write(held[1], &byte, 1);
        for (;;) {
            ::pause();
        }
    }
    ::close(held[1]);
    char byte = 0;
    ASSERT_EQ(::read(held[0], &byte, 1), 1);  // the holder has the lock
    ::close(held[0]);

    Runner runner(dir.path());
    ASSERT_TRUE(runner.started());
    expectWaiting(runner, dir);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    expectDone(runner, dir);
}

}  // namespace
}  // namespace vorskal::testing
