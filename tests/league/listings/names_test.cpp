// A name that names nothing is refused instead of answered with "0 games";
// a file given to import that holds no report is named for what it is; and
// after every command the league file stands alone, without side files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using namespace std::string_literals;
using results::Side;

struct Step {
    std::vector<std::string> args;  // after the league file; "SITE" and "NEW" stand for folders
    int status;
    std::string out;  // how standard output begins
    std::string err;
};

std::vector<std::string> withPaths(const std::vector<std::string>& args, const std::string& db,
                                   const std::string& site, const std::string& fresh) {
    std::vector<std::string> full = {db};
    for (const std::string& arg : args) {
        full.push_back(arg == "SITE" ? site : arg == "NEW" ? fresh : arg);
    }
    return full;
}

// Game 1, Verdun, season "1"; game 2, Ypres, season "2026" (one pilot);
// then the current season becomes "2027", which has no game yet. The steps
// run in order: the site that the first one writes is the one the later
// ones must keep or replace.
TEST(NamesTest, NamesThatNameNothingAreRefusedAcrossTheCommands) {
    GameDir dir;
    const std::string db = dir.path() + "/league.db";
    const std::string site = dir.path() + "/site";
    const std::string fresh = dir.path() + "/fresh";
    recordHand(
        db,
        handGame("Verdun", "12/06/26",
                 {{"Snoopy", Side::Allied, 1, 0, 0, 0, 10}, {"Udet", Side::Hun, 0, 1, 0, 0, 0}}),
        "aaaa1111");
    ASSERT_EQ(league({db, "set", "season", "2026"}).status, 0);
    recordHand(db, handGame("Ypres", "12/13/26", {{"Udet", Side::Hun, 2, 0, 0, 0, 20}}),
               "bbbb2222");

    const auto noSeason = [&db](const std::string& name) {
        return "vorskal-league: " + db + ": no season \"" + name +
               "\" (the seasons: \"1\", \"2026\")\n";
    };
    const std::vector<Step> before = {
        {{"site", "SITE", "--season", "2026"},
         0,
         "Wrote the site of season 2026 (1 game, 1 pilot)",
         ""},
        {{"standings", "--season", "2025"}, 64, "", noSeason("2025")},
        {{"site", "SITE", "--season", "2062"}, 64, "", noSeason("2062")},
        {{"games", "--all-seasons", "--map", "Verdunn"},
         64,
         "",
         "vorskal-league: " + db +
             ": no game on a map \"Verdunn\" (the maps: \"Verdun\", \"Ypres\")\n"},
        // A map of another season is a map: its games are none of this one's.
        {{"games", "--map", "Verdun"}, 0, "Games (season 2026, map Verdun): 0\n", ""},
        // Any letter case; the file's spelling is shown.
        {{"games", "--all-seasons", "--map", "vERDUN", "--from", "2026-12-06", "--to",
          "2026-12-06"},
         0,
         "Games (all seasons, map Verdun, from 2026-12-06, to 2026-12-06): 1\n",
         ""},
        {{"standings", "--from", "2026-12-07", "--to", "2026-12-06"},
         64,
         "",
         "vorskal-league: --from 2026-12-07 is after --to 2026-12-06: no day is both\n"},
        {{"set", "season", "2027"}, 0, "Set season to 2027", ""},
        // The current season exists before its first game.
        {{"standings", "--season", "2027"}, 0, "Standings (season 2027): 0 games\n", ""},
        {{"site", "SITE"},
         2,
         "",
         "vorskal-league: " + site +
             ": holds a site, and season 2027 has no game: the site is left as it is "
             "(--allow-empty replaces it with one without games)\n"},
        {{"site", "NEW"}, 0, "Wrote the site of season 2027 (0 games, 0 pilots)", ""},
    };
    for (const Step& step : before) {
        SCOPED_TRACE(step.args[0] + " " + step.args[1]);
        const LeagueRun run = league(withPaths(step.args, db, site, fresh));
        EXPECT_EQ(run.status, step.status);
        EXPECT_EQ(run.out.substr(0, step.out.size()), step.out);
        EXPECT_EQ(run.err, step.err);
    }
    // The refused site kept season 2026's game page.
    EXPECT_TRUE(std::filesystem::exists(site + "/games/game-2.html"));
    const LeagueRun empty = league({db, "site", site, "--allow-empty"});
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_FALSE(std::filesystem::exists(site + "/games/game-2.html"));

    // --replace names a season a game is in; refused before the tally runs.
    copySampleGame(dir);
    const LeagueRun replace = tally({"--record", db, "--replace", "--season", "2062", dir.path()});
    EXPECT_EQ(replace.status, 64);
    EXPECT_EQ(replace.err, "vorskal-tally: " + db +
                               ": no season \"2062\" (the seasons: \"1\", \"2026\", \"2027\"); "
                               "nothing done\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/vorskal.log"));
}

// Each file holds no report: import names what it is, exits 2 and records
// nothing, while the report file given with it is still imported.
TEST(NamesTest, ImportNamesAFileThatHoldsNoReport) {
    GameDir dir;
    const std::string db = dir.path() + "/league.db";
    const std::string other = dir.path() + "/server.db";
    recordHand(other, handGame("Verdun", "12/06/26", {{"Udet", Side::Hun, 0, 0, 0, 0, 0}}),
               "cccc3333");
    const std::string takes =
        "; import takes a report file (vorskal.log) or a game's results JSON (vorskal-tally "
        "--json)\n";
    const struct {
        const char* name;
        std::string bytes;  // none: the league file above
        std::string says;
    } cases[] = {
        {"server.db", "",
         ": a league file, not a report file: merge records its games (vorskal-league LEAGUE.db "
         "merge FILE)\n"},
        {"other.sqlite", "SQLite format 3\0"s + std::string(84, '\0'),
         ": an SQLite database, not a report file" + takes},
        {"game.html", "\xEF\xBB\xBF \r\n<!DOCTYPE html>\n<html><body>Verdun</body></html>\n",
         ": a page (HTML), not a report file" + takes},
        {"games.csv", "Game,Key,Played,Map\r\n1,aaaa1111,2026-12-06,Verdun\r\n",
         ": a CSV file, not a report file" + takes},
        {"vorskal.log", "", ": an empty file: no report in it\n"},
        {"notes.txt", "\n\nThe Verdun game, Sunday\n14 pilots, 2 hours\n",
         ": no report in it" + takes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path() + "/" + c.name;
        if (path != other) {
            writeBytes(path, c.bytes);
        }
        const LeagueRun run = league({db, "import", path});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "vorskal-league: " + path + c.says);
    }
    const std::string report = dir.path() + "/r.log";
    writeBytes(report, reportFile({"sample-game"}, {"20:00:00"}));
    const LeagueRun both = league({db, "import", dir.path() + "/game.html", report});
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.out, report + ": 1 report: 1 recorded, 0 already recorded, 0 skipped\n");
    EXPECT_EQ(leagueJson({db, "games", "--format", "json"})["games"].size(), 1u);
}

// Admins copy the league file between servers: after each command, the
// reading ones too, it holds everything and nothing lies beside it.
TEST(NamesTest, NoSideFilesAfterAnyCommand) {
    GameDir dir;
    const std::string db = dir.path() + "/league.db";
    const std::string report = dir.path() + "/r.log";
    writeBytes(report, reportFile({"sample-game"}, {"20:00:00"}));
    const std::vector<std::vector<std::string>> commands = {
        {"import", report},
        {"standings"},
        {"games"},
        {"show", "1"},
        {"check"},
        {"remove", "1"},
        {"restore", "1"},
        {"set", "season", "2027"},
        {"set"},
        {"site", dir.path() + "/site", "--allow-empty"},
    };
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command[0]);
        std::vector<std::string> args = {db};
        args.insert(args.end(), command.begin(), command.end());
        const LeagueRun run = league(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_FALSE(std::filesystem::exists(db + "-wal"));
        EXPECT_FALSE(std::filesystem::exists(db + "-shm"));
    }
    EXPECT_EQ(leagueJson({db, "games", "--format", "json", "--all-seasons"})["games"].size(), 1u);
}

}  // namespace
}  // namespace vorskal::testing
