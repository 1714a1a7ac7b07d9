// vorskal-tally --follow as a program, ended by a real SIGTERM while it waits
// between two looks: the signal cuts the wait short and the final tally is
// made and appended. (The looks themselves: live_run_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

TEST(FollowSignal, SigtermEndsTheWaitWithTheFinalTally) {
    GameDir dir;
    dir.writeOneKill("ux7server0.log", "Kill=10");
    // Looks an hour apart: only the signal can end the wait in time.
    const std::string script =
        shellQuote(VORSKAL_TALLY_BINARY) +
        " --follow . --html live.html --every 3600 >out.txt 2>err.txt &\n"
        "pid=$!\n"
        "tries=0\n"
        "until grep -q '^live, as of' out.txt 2>/dev/null || [ $tries -gt 200 ]; do\n"
        "  sleep 0.05; tries=$((tries + 1))\n"
        "done\n"
        "kill -TERM $pid\n"
        "wait $pid\n"
        "echo $?\n";
    const ToolRun run = runProgram(dir.path(), "/bin/sh", "-c " + shellQuote(script));
    EXPECT_EQ(run.out, "0\n") << dir.read("err.txt");
    const std::string out = dir.read("out.txt");
    EXPECT_TRUE(out.starts_with("live, as of ")) << out;
    EXPECT_TRUE(
        out.ends_with(": Allied 10, Hun -5\n"
                      "following ended: asked to stop; the final tally\n"
                      "Tally Complete\n"
                      "Allied 10, Hun -5; report appended to vorskal.log\n"))
        << out;
    EXPECT_NE(dir.read("vorskal.log").find("Allied Total:...10\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vorskal::testing
