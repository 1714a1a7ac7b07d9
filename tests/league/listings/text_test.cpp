// A name is the same in every output. Each case is a pilot's name as the
// log's bytes, the text the one rule (docs/results.md, "Text") makes of it,
// and the CSV cell that text becomes (the formula guard and RFC 4180 quoting),
// all worked out by hand; the name then goes through the results' JSON and
// CSV, the game's page, the warning line on standard error, and every format
// of the league's standings.
#include <gtest/gtest.h>

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

// vorskal-league's own lines show the names they print (a season, a
// setting's value, a file's or a folder's name) by the same rule: "\xE9" is
// code page 1252's "é", "\xC3\xA9" in UTF-8. The cases run in order.
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

}  // namespace
}  // namespace vorskal::testing
