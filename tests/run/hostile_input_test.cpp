// Game folders that a crashed server or a careless admin leaves, run through
// the headless runner as a real process (its descriptor limit set with
// setrlimit): a log without line ends, a line far longer than the merge reads
// at once, a log larger than the address space the runner may use, thousands
// of numbered logs under a low descriptor limit, and too few descriptors to
// read a log at all. Each must end as stated: a complete
// tally with the merged log byte for byte, or a failure whose report ends in
// its ERROR line, and never a warning about a log that is there. Peak memory
// is measured in bench/hostile.sh, not here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

// Runs the runner on `dir` with at most `descriptors` open files and
// `addressSpace` bytes of address space (0: as it is).
ToolRun runLimited(const GameDir& dir, rlim_t descriptors, rlim_t addressSpace) {
    GameDir outputs;
    const std::string out = outputs.path() + "/out";
    const std::string err = outputs.path() + "/err";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        // Only the three standard ones: what the runner inherits (a test
        // driver's own) would take from the limit below.
        ::close_range(3, ~0u, 0);
        if (descriptors != 0) {
            const rlimit limit{descriptors, descriptors};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        if (addressSpace != 0) {
            const rlimit limit{addressSpace, addressSpace};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::execl(VORSKAL_TALLY_BINARY, "vorskal-tally", "-C", dir.path().c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, outputs.read("out"), outputs.read("err")};
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

constexpr std::string_view kPointFile =
    "Map=Verdun\r\nVerdun\r\n7-Depot,1\r\n\r\nKill=10\r\nDeath=-5\r\nDepot=5\r\n";
const std::string kEntry =
    "12/06/26 20:00:00 Player |Snoopy has entered the arena, flying a SOPWITH_CAMEL\r\n";

struct Case {
    const char* name;
    std::function<void(const GameDir&)> make;
    rlim_t descriptors;
    rlim_t addressSpace;
    int status;
    std::string merged;      // the merged log, when the run completes
    std::string reportHas;   // a text the report holds
    std::string reportEnds;  // what the report ends in
};

TEST(HostileInput, EachEndsAsStated) {
    // A NUL-filled log of 16 MiB (far more than the merge reads at once)
    // without a line end: one line of no kind, ended by CR LF when merged.
    const std::string nuls(16u << 20, '\0');
    // A log of 96 MiB under 80 MiB of address space: read through the
    // system where it cannot be mapped.
    const std::string larger(96u << 20, '\0');
    // A destruction line of 1 MiB, not red boxed: section 5 shows it whole.
    const std::string longTarget =
        "12/06/26 20:16:00 Target Depot " + std::string(1u << 20, 'x') + " #7 destroyed by Snoopy.";
    // 10,000 logs of one line each: far more than 1,024 descriptors.
    std::string manyMerged;
    for (int n = 0; n < 10000; ++n) {
        manyMerged += "12/06/26 20:00:00 line " + std::to_string(n) + "\r\n";
    }
    const Case cases[] = {
        {"a log without line ends",
         [&](const GameDir& dir) {
             dir.write("ux7server0.log", kEntry);
             dir.write("ux7server1.log", nuls);
         },
         0, 0, 0, kEntry + nuls + "\r\n", "", "Map used was Verdun\r\n \r\n"},
        {"a log larger than the address space",
         [&](const GameDir& dir) {
             dir.write("ux7server0.log", kEntry);
             dir.write("ux7server1.log", larger);
         },
         0, 80u << 20, 0, kEntry + larger + "\r\n", "", "Map used was Verdun\r\n \r\n"},
        {"a destruction line of 1 MiB",
         [&](const GameDir& dir) { dir.write("ux7server0.log", kEntry + longTarget + "\n"); }, 0, 0,
         0, kEntry + longTarget + "\r\n",
         "NOTICE -- Only red boxed targets have been tallied \r\n \r\n" + longTarget + "\r\n \r\n",
         "Map used was Verdun\r\n \r\n"},
        {"10,000 logs under 1,024 descriptors",
         [](const GameDir& dir) {
             for (int n = 0; n < 10000; ++n) {
                 dir.write("ux7server" + std::to_string(n) + ".log",
                           "12/06/26 20:00:00 line " + std::to_string(n) + "\n");
             }
         },
         1024, 0, 0, manyMerged, "", "Map used was Verdun\r\n \r\n"},
        // Standard input, output and error, the folder's lock and the new
        // merged log take five: no descriptor is left to read a log with.
        // (A sanitizer's checks need descriptors and address space of their
        // own: its builds leave out the cases that limit them to fail.)
        {"no descriptor left to read a log",
         [](const GameDir& dir) { dir.write("ux7server0.log", kEntry); }, 5, 0, 2, "", "",
         "ERROR -- ux7server0.log: cannot open: Too many open files\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (kSanitized && ((c.descriptors != 0 && c.status != 0) || c.addressSpace != 0)) {
            continue;
        }
        GameDir dir;
        dir.write("vorskal.ini", std::string(kPointFile));
        c.make(dir);
        const ToolRun run = runLimited(dir, c.descriptors, c.addressSpace);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err.find("missing"), std::string::npos) << run.err;
        if (c.status == 0) {
            EXPECT_EQ(run.out.rfind("Tally Complete\n", 0), 0u) << run.out;
            EXPECT_EQ(dir.read("ux7server.log") == c.merged, true) << "the merged log differs";
        } else {
            EXPECT_FALSE(dir.exists("ux7server.log"));
        }
        const std::string report = dir.read("vorskal.log");
        EXPECT_NE(report.find(c.reportHas), std::string::npos);
        ASSERT_GE(report.size(), c.reportEnds.size());
        EXPECT_EQ(report.substr(report.size() - c.reportEnds.size()), c.reportEnds);
    }
}

}  // namespace
}  // namespace vorskal::testing
