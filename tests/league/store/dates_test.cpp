// Days read right: the log's date texts read in each order the league may
// be set to (a table worked out on the calendar), the order a season's
// dates infer, and the recorder and the importer reading alike through the
// league's setting, a date no order reads leaving the day unknown.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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

// The sample game (12/06/26) recorded, the day-first game (20/08/26)
// imported from its report: one season, one order for both.
TEST(DatesTest, RecorderAndImporterReadTheSeasonAlike) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    copySampleGame(dir);
    ASSERT_EQ(tally({"--record", db, dir.path()}).status, 0);
    EXPECT_EQ(playedOn(db, 1), "2026-12-06");  // nothing tells the orders apart: month first

    dir.write("dayfirst.log", reportFile({"dates-day-first"}, {"21:00:00"}));
    ASSERT_EQ(league({db, "import", dir.path() + "/dayfirst.log"}).status, 0);
    EXPECT_EQ(playedOn(db, 2), "2026-08-20");
    EXPECT_EQ(playedOn(db, 1), "2026-06-12");  // the season's dates now say day first

    // Set month first: the day-first date reads no more, and says so.
    ASSERT_EQ(league({db, "set", "date-order", "mdy"}).status, 0);
    EXPECT_EQ(playedOn(db, 1), "2026-12-06");
    EXPECT_EQ(playedOn(db, 2), "?");
    const LeagueRun check = league({db, "check"});
    EXPECT_EQ(check.status, kExitFindings);
    EXPECT_NE(check.out.find("Day unknown: game 2: the log's date \"20/08/26\" does not read as "
                             "month/day/year (the league's date order): the game's day is unknown "
                             "(set date-order dmy or set date-order ymd reads it)"),
              std::string::npos)
        << check.out;
    EXPECT_EQ(
        league({db, "games", "--from", "2026-01-01", "--format", "json"}).out.find("\"id\": 2"),
        std::string::npos);
    EXPECT_EQ(league({db, "set", "date-order", "myd"}).status, kExitUsage);

    // A recorder meeting a date its order cannot read warns and leaves the day unknown.
    GameDir other;
    for (const char* name : {"ux7server0.log", "vorskal.ini"}) {
        other.write(name, bytesOf(std::string(VORSKAL_SOURCE_DIR) +
                                  "/tests/scenarios/dates-day-first/" + name));
    }
    // (--all-targets: another report than the one imported, so another game)
    const LeagueRun recorded = tally({"--all-targets", "--record", db, other.path()});
    EXPECT_EQ(recorded.status, 0) << recorded.err;
    EXPECT_NE(recorded.err.find("warning: " + db +
                                ": game 3: the log's date \"20/08/26\" does not "
                                "read as month/day/year"),
              std::string::npos)
        << recorded.err;
    EXPECT_EQ(playedOn(db, 3), "?");
}

}  // namespace
}  // namespace vorskal::testing
