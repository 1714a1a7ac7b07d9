// Rebuilding the season's site: after one more game only the pages whose
// bytes change are written again (the others keep their file and time), and
// what a killed build left beside the site goes, unless its process still
// runs.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "base/system_files.h"
#include "league/site/season_site.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;
using results::Side;

std::string pilotPage(const char* name) {
    return "pilots/" + league::pilotPageName(name);
}

TEST(SiteRebuild, OnlyThePagesThatChangeAreWrittenAgain) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    const std::string site = dir.path() + "/site";
    recordHand(
        db,
        handGame("Verdun", "12/01/26",
                 {{"Alice", Side::Allied, 2, 1, 0, 0, 20}, {"Bruno", Side::Hun, 1, 2, 0, 0, 10}}),
        "k1");
    recordHand(
        db,
        handGame("Ypres", "12/02/26",
                 {{"Alice", Side::Allied, 0, 1, 1, 5, 15}, {"Carl", Side::Hun, 3, 0, 0, 0, 30}}),
        "k2");
    ASSERT_EQ(league({db, "site", site}).status, 0);

    // Every file dated long ago, so that a file written again shows.
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    for (const auto& entry : fs::recursive_directory_iterator(site)) {
        if (entry.is_regular_file()) {
            fs::last_write_time(entry.path(), longAgo);
        }
    }
    const std::vector<std::string> unchanged = {"games/game-1.html", "games/game-2.html",
                                                pilotPage("Alice"), pilotPage("Bruno")};
    const std::vector<std::string> changed = {
        "index.html",      pilotPage("Carl"), "data/standings.json", "data/standings.csv",
        "data/games.json", "data/games.csv",  ".vorskal-site"};  // it lists game 3's page
    std::vector<FileAt> before;
    for (const std::string& relative : unchanged) {
        before.push_back(fileAt(site + "/" + relative));
    }

    // Carl flies again, Dora for the first time.
    recordHand(
        db,
        handGame("Arras", "12/03/26",
                 {{"Carl", Side::Hun, 1, 0, 0, 0, 10}, {"Dora", Side::Allied, 0, 1, 0, 0, 0}}),
        "k3");
    const LeagueRun run = league({db, "site", site});
    ASSERT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 0; i < unchanged.size(); ++i) {
        SCOPED_TRACE(unchanged[i]);
        EXPECT_TRUE(fileAt(site + "/" + unchanged[i]).sameFileAs(before[i]));
        EXPECT_EQ(fs::last_write_time(site + "/" + unchanged[i]), longAgo);
    }
    for (const std::string& relative : changed) {
        SCOPED_TRACE(relative);
        EXPECT_GT(fs::last_write_time(site + "/" + relative), longAgo);
    }
    EXPECT_TRUE(fs::is_regular_file(site + "/games/game-3.html"));
    EXPECT_TRUE(fs::is_regular_file(site + "/" + pilotPage("Dora")));
}

TEST(SiteRebuild, WhatAKilledBuildLeftGoesUnlessItsProcessRuns) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    recordHand(db, handGame("Verdun", "12/01/26", {{"Alice", Side::Allied, 2, 1, 0, 0, 20}}), "k1");

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
        fs::create_directories(dir.path() + "/" + folder + "/games");
        dir.write(folder + "/games/game-1.html", "half a page");
    }
    // Not a build's leftover: another name, or no process number.
    fs::create_directory(dir.path() + "/.other.new-" + std::to_string(ended));
    fs::create_directory(dir.path() + "/.site.new-x1");

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

}  // namespace
}  // namespace vorskal::testing
