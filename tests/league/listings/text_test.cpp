// A name is the same in every output. Each case is a pilot's name as the
// log's bytes, the text the one rule (docs/results.md, "Text") makes of it,
// and the CSV cell that text becomes (the formula guard and RFC 4180
// quoting), all worked out by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "html/game_page.h"
#include "results/csv_writer.h"
#include "results/json_writer.h"
#include "results/warning_line.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using namespace std::string_literals;
using results::Side;

struct NameCase {
    std::string bytes;  // as the log has it
    std::string text;   // as every output shows it
    std::string csv;    // the CSV cell of that text
};

const NameCase kNames[] = {
    {"Ren\xE9_Fonck", "Ren\xC3\xA9_Fonck", "Ren\xC3\xA9_Fonck"},      // code page 1252
    {"Ren\xC3\xA9_Fonck", "Ren\xC3\xA9_Fonck", "Ren\xC3\xA9_Fonck"},  // UTF-8: the same name
    {"Max\0Immel"s, "Max\\x00Immel", "Max\\x00Immel"},                // NUL
    {"\x1B]0;owned\x07Kurt", "\\x1B]0;owned\\x07Kurt", "\\x1B]0;owned\\x07Kurt"},  // a title escape
    {"\x9B"
     "2J\x81",
     "\xE2\x80\xBA"
     "2J\\x81",
     "\xE2\x80\xBA"
     "2J\\x81"},                // 0x9B is no CSI here
    {"=1+2", "=1+2", "'=1+2"},  // formulas are guarded
    {"-Ace", "-Ace", "'-Ace"},
    {"@SUM(A1)", "@SUM(A1)", "'@SUM(A1)"},
    {"+Lufbery", "+Lufbery", "'+Lufbery"},
    {" Red, Jr", " Red, Jr", "\" Red, Jr\""},  // quoted
    {"Von \"Rot\"", "Von \"Rot\"", "\"Von \"\"Rot\"\"\""},
    {"=1,2", "=1,2", "\"'=1,2\""},     // guarded, then quoted: the quotes go round the guard
    {"\"\"", "\"\"", "\"\"\"\"\"\""},  // nothing but quotes
    {"Ace\\Pilot", "Ace\\Pilot", "Ace\\Pilot"},  // a backslash, escaped in JSON only
};

// The text as HTML text: the five characters that markup gives meaning to.
std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '"' ? "&quot;" : c == '&' ? "&amp;" : c == '<' ? "&lt;" : std::string(1, c);
    }
    return out;
}

results::GameResults gameOf(const std::string& name) {
    results::GameResults game = handGame("Verdun", "12/06/26", {});
    game.pilots.push_back({name, results::Side::Allied, 1, 1, 0, 0, 0, {}, 10});
    game.allied = {1, 0, 0, 0, 10, 0, 10};
    game.warnings.push_back({"both-sides", "", 0, "\"" + name + "\" is listed on both sides"});
    return game;
}

TEST(TextInEveryOutput, ANameIsTheSameEverywhere) {
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.text);
        const results::GameResults game = gameOf(c.bytes);
        GameDir dir;

        // The results: JSON and pilots.csv (its second line is the pilot's row).
        const results::SpilledRows noRows;
        std::ostringstream json;
        results::writeJson(game, json, noRows);
        EXPECT_EQ(nlohmann::json::parse(json.str())["pilots"][0]["name"], c.text);
        results::writeCsv(game, dir.path() + "/csv", noRows);
        const std::string pilots = bytesOf(dir.path() + "/csv/pilots.csv");
        EXPECT_EQ(
            pilots.substr(pilots.find("\r\n") + 2).rfind(c.csv + ",Allied,1,1,0,0,0,,10\r\n", 0),
            0u)
            << pilots;

        // The game's page, and the warning as standard error shows it.
        EXPECT_NE(html::gamePage(game).find("<th scope=\"row\">" + escaped(c.text) + "</th>"),
                  std::string::npos);
        EXPECT_EQ(results::warningLine(game.warnings[0]),
                  "warning: \"" + c.text + "\" is listed on both sides [both-sides]");

        // The league's standings in every format.
        const std::string db = dir.path() + "/season.db";
        recordHand(db, game, "e5e5");
        const auto standings = [&](const char* format) {
            const LeagueRun run = league({db, "standings", "--format", format});
            EXPECT_EQ(run.status, 0) << run.err;
            return run.out;
        };
        const std::string text = standings("text");
        EXPECT_NE(text.find("\n" + c.text + "  "), std::string::npos) << text;
        EXPECT_EQ(text.find('\x1B'), std::string::npos);
        EXPECT_NE(standings("csv").find("\r\n" + c.csv + ",Allied,1,1,0,0,0,10\r\n"),
                  std::string::npos);
        EXPECT_EQ(nlohmann::json::parse(standings("json"))["pilots"][0]["name"], c.text);
        EXPECT_NE(standings("html").find("<td>" + escaped(c.text) + "</td>"), std::string::npos);
    }
}

// A season, a setting's value, a file's or a folder's name: "\xE9" is code
// page 1252's "é", "\xC3\xA9" in UTF-8. The cases run in order.
TEST(TextInEveryOutput, TheLeagueCommandsShowNamesByTheRule) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    struct Case {
        std::vector<std::string> args;
        std::string shown;  // a part of the output
    };
    std::vector<Case> cases = {
        {{db, "set", "season", "Saison\xE9"}, "Set season to Saison\xC3\xA9 in "},
        {{db, "set", "site-address", "https://ux7.example/\xE9"},
         "Set site-address to https://ux7.example/\xC3\xA9 in "},
        {{db, "set"}, "season Saison\xC3\xA9\n"},
        {{db, "set"}, "\nsite-address https://ux7.example/\xC3\xA9\n"},
        {{db, "site", dir.path() + "/site"}, "Wrote the site of season Saison\xC3\xA9 ("},
    };
#ifndef _WIN32  // a file name that is not UTF-8 is a POSIX one
    const std::string other = dir.path() + "/other\xE9.db";
    cases.push_back({{other, "set", "season", "1916"},
                     "Set season to 1916 in " + dir.path() + "/other\xC3\xA9.db\n"});
    cases.push_back({{db, "merge", other},
                     dir.path() + "/other\xC3\xA9.db: 0 games: 0 recorded, 0 already recorded\n"});
    cases.push_back(
        {{db, "site", dir.path() + "/site\xE9"}, " to " + dir.path() + "/site\xC3\xA9\n"});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const LeagueRun run = league(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(c.shown), std::string::npos) << run.out;
    }
}

// Names that name nothing are refused, and files that hold no report are
// named for what they are.
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
        // Admins copy the league file between servers: nothing lies beside it.
        EXPECT_FALSE(std::filesystem::exists(db + "-wal"));
        EXPECT_FALSE(std::filesystem::exists(db + "-shm"));
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

}  // namespace
}  // namespace vorskal::testing
