// vorskal-tally --html FILE: the page after a complete run, relative to the
// current directory; a refusal before the run when it cannot be written; no
// page when the run does not complete.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

TEST(HtmlOption, WritesThePageOnlyAfterACompleteRun) {
    GameDir dir;
    dir.write("ux7server0.log",
              "12/06/26 20:00:00 Kill of Fritz           FOKKER_DVII awarded to Snoopy          "
              "SOPWITH_CAMEL\r\n");
    dir.write("vorskal.ini", "Map=Verdun\r\nVerdun\r\n\r\nKill=10\r\nDeath=-5\r\n");
    const ToolRun run = runProgram(dir.path(), VORSKAL_TALLY_BINARY, "--html game.html");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("Tally Complete\n")) << run.out;
    const std::string page = dir.read("game.html");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
    EXPECT_NE(page.find("<svg id=\"arena-chart\""), std::string::npos);
    // Snoopy's kill at 10 points, Fritz's death at -5: score, kills, deaths.
    EXPECT_NE(page.find("<th scope=\"row\">Snoopy</th><td class=\"n\">10</td>"
                        "<td class=\"n\">1</td><td class=\"n\">0</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<th scope=\"row\">Fritz</th><td class=\"n\">-5</td>"
                        "<td class=\"n\">0</td><td class=\"n\">1</td>"),
              std::string::npos);

    const ToolRun unwritable =
        runProgram(dir.path(), VORSKAL_TALLY_BINARY, "--html no-such-folder/game.html");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_EQ(unwritable.err,
              "vorskal-tally: no-such-folder/game.html: its folder no-such-folder does not exist "
              "(--html); nothing done\n");

    GameDir empty;
    const ToolRun missing = runProgram(empty.path(), VORSKAL_TALLY_BINARY, "--html game.html");
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(empty.exists("game.html"));
}

}  // namespace
}  // namespace vorskal::testing
