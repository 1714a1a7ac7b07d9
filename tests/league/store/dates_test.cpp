// Days read right: the log's date texts in each order the league may be
// set to (a table worked out on the calendar), and the order a season's
// dates infer; and league files of older schemas, brought up to date.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "league/store/game_day.h"
#include "league/store/league_file.h"
#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using vorskal::DateOrder;

struct DateCase {
    const char* text;
    const char* monthFirst;  // "" where the text does not read in that order
    const char* dayFirst;
    const char* yearFirst;
};

const DateCase kDates[] = {
    {"12/06/26", "2026-12-06", "2026-06-12", "2012-06-26"},
    {"08/07/26", "2026-08-07", "2026-07-08", "2008-07-26"},
    {"20/08/26", "", "2026-08-20", "2020-08-26"},
    {"08/20/26", "2026-08-20", "", ""},
    {"2026/08/07", "", "", "2026-08-07"},
    {"7.8.2026", "2026-07-08", "2026-08-07", ""},
    {"2026-12-06", "", "", "2026-12-06"},
    {" 1/2/26 ", "2026-01-02", "2026-02-01", ""},
    {"02/29/28", "2028-02-29", "", ""},  // 2028 is a leap year
    {"02/29/26", "", "", ""},            // 2026 is not
    {"31/04/26", "", "", "2031-04-26"},  // April has 30 days
    {"12/06/126", "", "", ""},           // a year of three digits
    {"12/06-26", "", "", ""},            // two separators
    {"12/06", "", "", ""},
    {"", "", "", ""},
    {"ab/cd/ef", "", "", ""},
};

TEST(DatesTest, TextsReadInEachOrder) {
    for (const DateCase& c : kDates) {
        SCOPED_TRACE(c.text);
        const std::pair<DateOrder, const char*> expected[] = {
            {DateOrder::MonthDayYear, c.monthFirst},
            {DateOrder::DayMonthYear, c.dayFirst},
            {DateOrder::YearMonthDay, c.yearFirst}};
        for (const auto& [order, day] : expected) {
            EXPECT_EQ(dayOf(c.text, order).value_or(""), day) << dateOrderName(order);
        }
    }
}

// A season's dates and the order they infer.
const std::pair<std::vector<std::string>, DateOrder> kSeasons[] = {
    {{}, DateOrder::MonthDayYear},                            // nothing to go by
    {{"08/07/26", "09/07/26"}, DateOrder::MonthDayYear},      // both orders read all
    {{"08/07/26", "20/07/26"}, DateOrder::DayMonthYear},      // no month 20
    {{"20/07/26", "07/20/26"}, DateOrder::MonthDayYear},      // no order reads both
    {{"2026/07/08", "2026/07/20"}, DateOrder::YearMonthDay},  // four-digit years first
    {{"2026/07/08", "08/07/26"}, DateOrder::MonthDayYear},    // mixed
    {{"garbage", "", "13/01/26"}, DateOrder::DayMonthYear},   // unreadable ones tell nothing
};

TEST(DatesTest, TheSeasonsDatesInferTheOrder) {
    for (const auto& [dates, inferred] : kSeasons) {
        EXPECT_EQ(inferDateOrder(dates), inferred) << ::testing::PrintToString(dates);
    }
}

std::string playedOn(const std::string& db, int game) {
    const nlohmann::json shown = leagueJson({db, "show", std::to_string(game), "--format", "json"});
    return shown["league"]["playedOn"].is_null() ? "?"
                                                 : shown["league"]["playedOn"].get<std::string>();
}

// A folder of the day-first game (20/08/26), its date written as `date`.
void dayFirstGame(GameDir& dir, const std::string& date) {
    const std::string folder =
        std::string(VORSKAL_SOURCE_DIR) + "/tests/scenarios/dates-day-first/";
    std::string log = bytesOf(folder + "ux7server0.log");
    for (std::size_t at = 0; (at = log.find("20/08/26", at)) != std::string::npos; at += 8) {
        log.replace(at, 8, date);
    }
    dir.write("ux7server0.log", log);
    dir.write("vorskal.ini", bytesOf(folder + "vorskal.ini"));
}

// Only a day never read is read again.
TEST(DatesTest, EachGameKeepsTheDayItWasRecordedWith) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    copySampleGame(dir);
    ASSERT_EQ(tally({"--record", db, dir.path()}).status, 0);
    EXPECT_EQ(playedOn(db, 1), "2026-12-06");  // nothing tells the orders apart: month first

    // A day-first server's ambiguous date, recorded with its order.
    GameDir ambiguous;
    dayFirstGame(ambiguous, "05/03/26");
    ASSERT_EQ(tally({"--record", db, "--date-order", "dmy", ambiguous.path()}).status, 0);
    // Its report imported: the season's dates now infer day first, but
    // only the new game is read so.
    dir.write("dayfirst.log", reportFile({"dates-day-first"}, {"21:00:00"}));
    ASSERT_EQ(league({db, "import", dir.path() + "/dayfirst.log"}).status, 0);
    for (const auto& [game, day] :
         {std::pair{1, "2026-12-06"}, {2, "2026-03-05"}, {3, "2026-08-20"}}) {
        EXPECT_EQ(playedOn(db, game), day) << game;
    }

    // Month first set: a day-first date recorded now reads no more, warns,
    // and names only the order that reads it (not year first for "20/08/26").
    ASSERT_EQ(league({db, "set", "date-order", "mdy"}).out,
              "Set date-order to mdy in " + db + "\n");
    GameDir late;
    dayFirstGame(late, "20/08/26");
    const LeagueRun recorded = tally({"--all-targets", "--record", db, late.path()});
    EXPECT_EQ(recorded.status, 0) << recorded.err;
    const std::string unknown =
        "the log's date \"20/08/26\" does not read as month/day/year (the "
        "league's date order): the game's day is unknown (set date-order "
        "dmy reads it)";
    EXPECT_NE(recorded.err.find("warning: " + db + ": game 4: " + unknown), std::string::npos)
        << recorded.err;
    const LeagueRun check = league({db, "check"});
    EXPECT_EQ(check.status, kExitFindings);
    EXPECT_NE(check.out.find("Day unknown: game 4: " + unknown), std::string::npos) << check.out;

    // Day first set again: game 4 is read and said; games 1 to 3 stay.
    const LeagueRun set = league({db, "set", "date-order", "dmy"});
    EXPECT_EQ(set.out, "Set date-order to dmy in " + db +
                           "\nGame 4 is now played 2026-08-20 (its log's date \"20/08/26\")\n");
    EXPECT_EQ(playedOn(db, 1), "2026-12-06");
    EXPECT_EQ(league({db, "set", "date-order", "myd"}).status, kExitUsage);

    // A day given by hand; a text that is no day is refused.
    EXPECT_EQ(league({db, "set-day", "1", "2026-12-07"}).status, 0);
    EXPECT_EQ(playedOn(db, 1), "2026-12-07");
    for (const char* wrong : {"2026-02-30", "07/12/2026", "2026-12-7"}) {
        EXPECT_EQ(league({db, "set-day", "1", wrong}).status, kExitUsage) << wrong;
    }

    // Merged into a month-first league of its own games: the other file's
    // days stay as that file read them, and this file's own stay too.
    GameDir home;
    const std::string own = home.path() + "/own.db";
    ASSERT_EQ(league({own, "set", "date-order", "mdy"}).status, 0);
    GameDir own1;
    dayFirstGame(own1, "03/05/26");  // month first: 5 March
    ASSERT_EQ(tally({"--record", own, own1.path()}).status, 0);
    ASSERT_EQ(league({own, "merge", db}).status, 0);
    EXPECT_EQ(playedOn(own, 1), "2026-03-05");
    const nlohmann::json games = leagueJson({own, "games", "--format", "json"})["games"];
    std::multiset<std::string> days;
    for (const nlohmann::json& game : games) {
        days.insert(game["playedOn"].is_null() ? "?" : game["playedOn"].get<std::string>());
    }
    EXPECT_EQ(days, (std::multiset<std::string>{"2026-03-05", "2026-03-05", "2026-08-20",
                                                "2026-08-20", "2026-12-07"}));
}

// Both files keep one over-max correction whose first evidence line is
// Pips entering from 192.0.2.95, port 2300: that address is masked.
void expectAddressMasked(league::LeagueFile& file) {
    league::Statement line = file.db().prepare(
        "SELECT text FROM correction_lines WHERE correction_id = 2 AND position = 0");
    ASSERT_TRUE(line.step());
    EXPECT_EQ(line.text(0),
              "12/06/26 20:40:00 Player |Pips (UDP:\xE2\x80\xA6) has entered the arena, flying a "
              "SPAD_XIII");
    EXPECT_EQ(file.db().scalar("SELECT count(*) FROM correction_lines WHERE text LIKE '%UDP:1%'"),
              0);
}

// What the page of a game says without its targets, arena events and
// timeline, tallied or imported from its report, instead of drawing charts
// of nothing.
const char* const kTallied =
    "<p>This game was recorded before the league kept what the charts draw: no charts are "
    "drawn, and the targets not credited are not listed.</p>";
const char* const kImported =
    "<p>This game was imported from its report, which holds no timeline: no charts are drawn, "
    "and the targets not credited are not listed.</p>";

// Schema 1 is the schema before seasons; schema 3 re-dated a season's games
// whenever its dates changed (both kept as SQL, made by the programs of
// their time). Brought up to date, each file's games keep their day, rows
// and corrections, and are known by their logs; no address is left.
TEST(MigrationTest, AnOlderFileComesUpToDateAndKeepsItsGames) {
    const struct {
        const char* schema;
        std::vector<const char*> days;
        std::vector<const char*> pages;
    } files[] = {
        {"schema-1",
         {"2026-12-06", "2026-12-06"},
         {kTallied, kImported}},  // "12/06/26", month first
        {"schema-3", {"2026-06-12", "2026-08-20"}, {kTallied, kTallied}},  // as schema 3 left them
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.schema);
        const std::string fixture =
            std::string(VORSKAL_SOURCE_DIR) + "/tests/league/" + f.schema + "/";
        GameDir dir;
        const std::string db = dir.path() + "/season.db";
        league::Connection(db, league::Connection::Mode::Create)
            .exec(bytesOf(fixture + "season.sql"));
        GameDir game;
        copySampleGame(game);
        const bool one = std::string(f.schema) == "schema-1";
        if (one) {
            // Reading commands do not change an old file; they say what will.
            const LeagueRun old = league({db, "standings"});
            EXPECT_EQ(old.status, kExitFailed);
            EXPECT_NE(old.err.find("schema version 1 is older than this program's 6"),
                      std::string::npos)
                << old.err;
            // The report file of both games: known already, by their reports.
            const LeagueRun imported = league({db, "import", fixture + "vorskal.log"});
            EXPECT_EQ(imported.status, 0) << imported.err;
            EXPECT_NE(imported.out.find("2 reports: 0 recorded, 2 already recorded"),
                      std::string::npos)
                << imported.out;
            // The same logs tallied again with the same options: the same game.
            const LeagueRun again = tally({"--record", db, game.path()});
            EXPECT_EQ(again.status, 2);
            EXPECT_NE(again.err.find("recorded already (game 1)"), std::string::npos) << again.err;
            EXPECT_FALSE(game.exists("vorskal.log"));
        }
        // Other options on the same logs: the same game, known by the merged
        // log the old file kept among its inputs.
        const LeagueRun other = tally({"--record", db, "--all-targets", game.path()});
        EXPECT_EQ(other.status, 2);
        EXPECT_NE(other.err.find("these logs are game 1, recorded with other settings"),
                  std::string::npos)
            << other.err;

        league::LeagueFile file(db, league::LeagueFile::Access::Read);
        EXPECT_EQ(file.db().scalar("PRAGMA user_version"), 6);
        expectAddressMasked(file);
        const nlohmann::json games = leagueJson({db, "games", "--format", "json"})["games"];
        ASSERT_EQ(games.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(games[i]["season"], "1");
            EXPECT_EQ(games[i]["playedOn"], f.days[i]);
        }
        EXPECT_EQ(file.db().scalar("SELECT count(*) FROM games WHERE lists_kept = 1"), 0);
        ASSERT_EQ(league({db, "site", dir.path() + "/site"}).status, 0);
        for (std::size_t i = 0; i < 2; ++i) {
            const std::string page = dir.read("site/games/game-" + std::to_string(i + 1) + ".html");
            SCOPED_TRACE(i + 1);
            EXPECT_NE(page.find("<section id=\"no-lists\"><h2>Over the game&#39;s time</h2>" +
                                std::string(f.pages[i]) + "</section>"),
                      std::string::npos);
            for (const char* drawn : {"<svg", "id=\"red-box\"", "At most 0"}) {
                EXPECT_EQ(page.find(drawn), std::string::npos) << drawn;
            }
            EXPECT_NE(page.find("id=\"scores\""), std::string::npos);  // what the report holds
        }
        if (!one) {
            EXPECT_EQ(file.db().scalar("SELECT count(*) FROM hidden_pilots"),
                      0);  // none hidden yet
            // Recorded before kills were kept: none listed, which careers say.
            EXPECT_EQ(file.db().scalar("SELECT count(*) FROM games WHERE kills_listed = 0"), 2);
            EXPECT_EQ(file.db().scalar("SELECT count(*) FROM kills"), 0);
            continue;
        }
        EXPECT_EQ(games[0]["corrections"], 7);  // recorded with --html: its corrections were kept
        EXPECT_EQ(games[0]["warnings"], 2);     // kept before findings could be accepted: none is

        // Rows as they were; the locations, kept with commas before, one key each.
        const nlohmann::json shown = leagueJson({db, "show", "1", "--format", "json"});
        EXPECT_EQ(shown["pilots"].size(), 28u);
        EXPECT_EQ(shown["teams"]["Allied"]["final"], 79);
        for (const auto& warning : shown["warnings"]) {
            EXPECT_EQ(warning["accepted"], false);
            EXPECT_TRUE(warning["subject"].is_null());
        }
        for (const auto& pilot : shown["pilots"]) {
            if (pilot["name"] == "Nungesser") {
                EXPECT_EQ(pilot["locations"], nlohmann::json::parse(R"(["#123", "#58"])"));
            }
        }
    }
}

}  // namespace
}  // namespace vorskal::testing
