// The headless runner vorskal-tally as a program: what it does with no
// directory given, the game's page, bad usage, help and version, outputs it
// cannot write, and --follow ended by a real SIGTERM while it waits between
// two looks (the looks themselves: live_run_test.cpp). Its statuses after a
// tally and its option switches are tried by the scenarios run on disk.
// The run's start as every output shows it (`run.startedAt`): local time,
// ISO 8601, with the offset from UTC worked out from the two readings of the
// moment. The offsets that cross a day or a year, and the ones of half and
// three quarters of an hour, are where that arithmetic can slip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "app/cli/session.h"
#include "tests/support/game_dir.h"
#include "tests/support/process.h"

namespace vorskal::testing {
namespace {

ToolRun runIn(const GameDir& dir, const std::string& args) {
    dir.writeOneKill("ux7server0.log", "Kill=10");
    return runProgram(dir.path(), VORSKAL_TALLY_BINARY, args);
}

// With no folder given the runner tallies the current one; --html FILE
// writes the page after a complete run, relative to the current directory;
// no page when the run does not complete.
TEST(Runner, TalliesTheCurrentDirectoryAndItsPageOnlyAfterACompleteRun) {
    GameDir dir;
    const ToolRun run = runIn(dir, "--html game.html");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Tally Complete\nAllied 10, Hun -5; report appended to vorskal.log\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(dir.read("ux7server.log"), dir.read("ux7server0.log"));
    EXPECT_NE(dir.read("vorskal.log").find("\r\nAllied Total:...10\r\nHun Total:......-5\r\n"),
              std::string::npos);
    const std::string page = dir.read("game.html");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
    EXPECT_NE(page.find("<svg id=\"arena-chart\""), std::string::npos);
    // Snoopy's kill at 10 points, Baron_Red's death at -5: score, kills, deaths.
    for (const char* row : {"Snoopy</th><td class=\"n\">10</td><td class=\"n\">1</td><td "
                            "class=\"n\">0</td>",
                            "Baron_Red</th><td class=\"n\">-5</td><td class=\"n\">0</td><td "
                            "class=\"n\">1</td>"}) {
        EXPECT_NE(page.find(std::string("<th scope=\"row\">") + row), std::string::npos) << row;
    }
    GameDir empty;
    EXPECT_EQ(runProgram(empty.path(), VORSKAL_TALLY_BINARY, "--html game.html").status, 1);
    EXPECT_FALSE(empty.exists("game.html"));
}

// Usage faults, help and version, and outputs that cannot be written
// (refused before the run) touch no file of the game: nothing merged and no
// report appended.
TEST(Runner, UsageHelpVersionAndUnwritableOutputsTallyNothing) {
    struct Case {
        std::string args;
        int status;
        std::string shown;  // in the output for 0, in the error output else
    };
    const Case cases[] = {
        {"--bogus", 64, "--bogus"},
        {"one two", 64, "two"},
        {"-C . other", 64, "once"},
        {"--check --json x.json", 64, "--check writes nothing"},
        {"-C", 64, "-C"},
        {"--help", 0, "--no-fighter-target-correction"},
        {"--version", 0, "vorskal-tally 3.40\n"},
        {"--json no-folder/r.json", 2, "no-folder/r.json: its folder no-folder does not exist"},
        {"--html no-folder/p.html", 2,
         "no-folder/p.html: its folder no-folder does not exist (--html); nothing done\n"},
        {"--csv ux7server0.log/tables", 2, "ux7server0.log is not a folder (--csv)"},
        {"--record no-folder/s.db", 2, "no-folder/s.db: cannot be made"},
        {"--record notes.txt", 2, "notes.txt: not a league file"},
        {"--follow", 64, "--follow needs --html FILE"},
        {"--follow --check --html x.html", 64, "--check writes nothing, so it takes no --follow"},
        {"--follow --html x.html --json -", 64, "it takes a file, not --json -"},
        {"--follow --html x.html --until 24:00", 64, "HH:MM, not 24:00"},
        {"--follow --html x.html --until 9:30", 64, "HH:MM, not 9:30"},
        {"--follow --html x.html --every 0", 64, "--every"},
        {"--html x.html --idle 5", 64, "--follow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        GameDir dir;
        dir.write("notes.txt", "not a league file\r\n");
        const ToolRun run = runIn(dir, c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.shown), std::string::npos)
            << run.out << run.err;
        EXPECT_TRUE(c.status != 2 || run.err.find("nothing done") != std::string::npos) << run.err;
        EXPECT_FALSE(dir.exists("vorskal.log"));
        EXPECT_FALSE(dir.exists("ux7server.log"));
    }
}

// The signal cuts the wait short and the final tally is made and appended.
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

// Puts TZ back as it was when the test ends.
struct SavedZone {
    const char* old = std::getenv("TZ");
    std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ~SavedZone() {
        saved ? setenv("TZ", saved->c_str(), 1) : unsetenv("TZ");
        tzset();
    }
};

TEST(StartedAt, OffsetIsTheZonesOnEitherSideOfADayAndAYear) {
    const SavedZone saved;
    struct Case {
        const char* zone;
        std::time_t moment;  // seconds since 1970-01-01T00:00:00Z
        const char* shown;
    };
    const Case cases[] = {
        {"UTC0", 0, "1970-01-01T00:00:00+00:00"},
        // Local time in the year before UTC's.
        {"EST5", 0, "1969-12-31T19:00:00-05:00"},
        {"IST-5:30", 0, "1970-01-01T05:30:00+05:30"},
        // 2026-12-31T12:00:00Z: local time already in the next year.
        {"<+14>-14", 1798718400, "2027-01-01T02:00:00+14:00"},
        // 2026-03-01T06:00:00Z: local time still on the day before.
        {"<-12>12", 1772344800, "2026-02-28T18:00:00-12:00"},
        // 2026-06-30T20:00:00Z: local time on the next day, 45 minutes in the offset.
        {"<+0545>-5:45", 1782849600, "2026-07-01T01:45:00+05:45"},
        // 2026-07-01T12:00:00Z in summer time.
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1782907200, "2026-07-01T14:00:00+02:00"},
    };
    for (const Case& c : cases) {
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(localTimeIso8601(c.moment), c.shown) << c.zone;
    }
}
}  // namespace
}  // namespace vorskal::testing
