// Days read right: the log's date texts read in each order the league may
// be set to (a table worked out on the calendar), the order a season's
// dates infer, and the recorder and the importer reading alike through the
// league's setting, a date no order reads leaving the day unknown.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "league/store/game_day.h"
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

struct SeasonCase {
    std::vector<std::string> dates;
    DateOrder inferred;
};

const SeasonCase kSeasons[] = {
    {{}, DateOrder::MonthDayYear},                            // nothing to go by
    {{"08/07/26", "09/07/26"}, DateOrder::MonthDayYear},      // both orders read all
    {{"08/07/26", "20/07/26"}, DateOrder::DayMonthYear},      // no month 20
    {{"20/07/26", "07/20/26"}, DateOrder::MonthDayYear},      // no order reads both
    {{"2026/07/08", "2026/07/20"}, DateOrder::YearMonthDay},  // four-digit years first
    {{"2026/07/08", "08/07/26"}, DateOrder::MonthDayYear},    // mixed
    {{"garbage", "", "13/01/26"}, DateOrder::DayMonthYear},   // unreadable ones tell nothing
};

TEST(DatesTest, TheSeasonsDatesInferTheOrder) {
    for (const SeasonCase& c : kSeasons) {
        EXPECT_EQ(inferDateOrder(c.dates), c.inferred) << ::testing::PrintToString(c.dates);
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

// Each game keeps the day it was read with: nothing recorded, imported,
// set or merged later re-dates it; only a day never read is read again.
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

}  // namespace
}  // namespace vorskal::testing
