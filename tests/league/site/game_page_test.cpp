// The site's page of a game shows the game. The league keeps what the page
// draws (every target, every arena event, the stretches over the limit, the
// kills and deaths per minute), so the sample's page in the site is the
// tally's own --html page of the same run below its header, whichever road
// the game took into the league; a version kept by --replace keeps them and
// brings them back when restored; a game whose lists are not known says so
// in words instead of drawing charts of nothing. The site links each
// pilot's row to the items behind his score, and changes nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "league/store/league_file.h"
#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

// The page below its header: the site's header holds its own way back and
// its own words for the run.
std::string belowHeader(const std::string& page) {
    const std::size_t end = page.find("</header>");
    EXPECT_NE(end, std::string::npos);
    return end == std::string::npos ? std::string() : page.substr(end);
}

// Every row of the four lists of game `id`, one text per table, a line a
// row, its columns separated by "|".
std::vector<std::string> listsOf(const std::string& db, std::int64_t id) {
    league::LeagueFile file(db, league::LeagueFile::Access::Read);
    std::vector<std::string> tables;
    for (const char* query :
         {"SELECT position||'|'||line||'|'||text||'|'||location||'|'||target_type||'|'||team||'|'||"
          "team_code||'|'||points||'|'||red_boxed||'|'||pilot||'|'||reason FROM targets WHERE "
          "game_id = ? ORDER BY position",
          "SELECT position||'|'||line||'|'||time||'|'||seconds||'|'||side||'|'||event||'|'||pilot||"
          "'|'||in_game_after FROM arena_events WHERE game_id = ? ORDER BY position",
          "SELECT position||'|'||side||'|'||pilot_number||'|'||start_time||'|'||end_time||'|'||"
          "minutes||'|'||points FROM over_max_stretches WHERE game_id = ? ORDER BY position",
          "SELECT minute||'|'||allied_kills||'|'||hun_kills||'|'||allied_deaths||'|'||hun_deaths||"
          "'|'||allied_kills_taken_back||'|'||hun_kills_taken_back||'|'||allied_deaths_taken_back||"
          "'|'||hun_deaths_taken_back FROM minute_counts WHERE game_id = ? ORDER BY minute"}) {
        league::Statement rows = file.db().prepare(query);
        rows.bind(1, id);
        std::string text;
        while (rows.step()) {
            text += rows.text(0) + "\n";
        }
        tables.push_back(text);
    }
    return tables;
}

// Who game `id` credited with the target at `location`.
std::string creditedAt(const std::string& db, std::int64_t id, const std::string& location) {
    league::LeagueFile file(db, league::LeagueFile::Access::Read);
    league::Statement row =
        file.db().prepare("SELECT pilot FROM targets WHERE game_id = ? AND location = ?");
    row.bind(1, id).bind(2, location);
    return row.step() ? row.text(0) : "no row";
}

// The site's page of game `id` without the links of its pilots' rows to
// the game's items: one a row, numbered in the rows' order, each to a
// section of the items page.
std::string sitePage(const std::string& db, const std::string& site, std::int64_t id) {
    const LeagueRun run = league({db, "site", site});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string game = "game-" + std::to_string(id);
    const std::string page = bytesOf(site + "/games/" + game + ".html");
    const std::string items = bytesOf(site + "/games/" + game + "-items.html");
    static const std::regex link(
        R"re(<th scope="row"><a href="(game-[0-9]+)-items\.html#pilot-([0-9]+)">([^<]*)</a></th>)re");
    std::string out;
    int rows = 0;
    auto last = page.cbegin();
    for (std::sregex_iterator i(page.begin(), page.end(), link), end; i != end; ++i) {
        const std::smatch& m = *i;
        EXPECT_EQ(m[1], game);
        EXPECT_EQ(m[2], std::to_string(++rows));
        EXPECT_NE(items.find("<section id=\"pilot-" + m[2].str() + "\"><h2>" + m[3].str() + " ("),
                  std::string::npos);
        out.append(last, m[0].first);
        out += "<th scope=\"row\">" + m[3].str() + "</th>";
        last = m[0].second;
    }
    out.append(last, page.cend());
    return out;
}

class GamePageTest : public ::testing::Test {
  protected:
    // The sample tallied once, with its page, its results JSON and the
    // game recorded.
    static void SetUpTestSuite() {
        work_ = new GameDir;
        game_ = new GameDir;
        copySampleGame(*game_);
        const LeagueRun run = tally({"--html", path("page.html"), "--json", path("r.json"),
                                     "--record", path("tally.db"), game_->path()});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    static void TearDownTestSuite() {
        delete game_;
        delete work_;
    }
    static std::string path(const std::string& name) { return work_->path() + "/" + name; }
    static GameDir* work_;
    static GameDir* game_;
};

GameDir* GamePageTest::work_ = nullptr;
GameDir* GamePageTest::game_ = nullptr;

TEST_F(GamePageTest, TheSitesPageIsTheTallysWhicheverRoadTheGameTook) {
    const std::vector<std::string> recorded = listsOf(path("tally.db"), 1);
    // The sample's eight destruction lines, in log order, each a row (a
    // one-digit location keeps the blank before its "#"); and at 20:15
    // (minute 1215) Snoopy's two kills of Baron_Red as logged, the second
    // taken back by the multi-death correction.
    std::string keys;
    std::istringstream rows(recorded[0]);
    for (std::string row; std::getline(rows, row);) {
        std::istringstream fields(row);
        std::string key;
        for (int field = 0; field <= 3; ++field) {
            std::getline(fields, key, '|');
        }
        keys += key + ",";
    }
    EXPECT_EQ(keys, "#25,#12, #7,#40,#123, #3,#58,#205,");
    EXPECT_NE(recorded[3].find("\n1215|2|0|0|2|1|0|0|1\n"), std::string::npos) << recorded[3];
    EXPECT_NE(recorded[1], "");

    const std::string page = belowHeader(bytesOf(path("page.html")));
    EXPECT_NE(page.find("<svg id=\"arena-chart\""), std::string::npos);
    const struct {
        const char* road;
        std::vector<std::string> args;  // after the league file; none: the tally's own file
    } roads[] = {
        {"recorded by the tally", {}},
        {"imported from its results JSON", {"import", path("r.json")}},
        {"merged from the tally's league file", {"merge", path("tally.db")}},
    };
    int n = 0;
    for (const auto& road : roads) {
        SCOPED_TRACE(road.road);
        std::string db = path("tally.db");
        if (!road.args.empty()) {
            db = path("road" + std::to_string(++n) + ".db");
            std::vector<std::string> args = {db};
            args.insert(args.end(), road.args.begin(), road.args.end());
            const LeagueRun run = league(args);
            ASSERT_EQ(run.status, 0) << run.err;
        }
        EXPECT_EQ(listsOf(db, 1), recorded);
        EXPECT_EQ(belowHeader(sitePage(db, path("site" + std::to_string(n)), 1)), page);
    }
}

TEST_F(GamePageTest, AVersionKeepsItsListsAndBringsThemBack) {
    const std::string db = path("versions.db");
    std::filesystem::copy_file(path("tally.db"), db);
    const std::vector<std::string> first = listsOf(db, 1);
    // The same logs again with every target counted: game 1 anew, the first
    // version kept as game 2.
    GameDir again;
    copySampleGame(again);
    const LeagueRun replaced = tally({"--all-targets", "--record", db, "--replace", again.path()});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(listsOf(db, 2), first);
    // Depot #3 fell with no red box before it: Coppens has it now only.
    EXPECT_EQ(creditedAt(db, 2, " #3"), "");
    EXPECT_EQ(creditedAt(db, 1, " #3"), "Coppens");

    const LeagueRun restored = league({db, "restore", "2"});
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(listsOf(db, 1), first);
    EXPECT_EQ(belowHeader(sitePage(db, path("versions-site"), 1)),
              belowHeader(bytesOf(path("page.html"))));
}

TEST_F(GamePageTest, AGameImportedFromItsReportSaysItHasNoCharts) {
    const std::string db = path("report.db");
    const LeagueRun run = league({db, "import", game_->path() + "/vorskal.log"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string page = sitePage(db, path("report-site"), 1);
    EXPECT_NE(page.find("<section id=\"no-lists\"><h2>Over the game&#39;s time</h2><p>This game "
                        "was imported from its report, which holds no timeline: no charts are "
                        "drawn, and the targets not credited are not listed.</p></section>"),
              std::string::npos)
        << page;
    for (const char* drawn : {"<svg", "id=\"red-box\"", "At most 0"}) {
        EXPECT_EQ(page.find(drawn), std::string::npos) << drawn;
    }
    EXPECT_NE(page.find("id=\"scores\""), std::string::npos);  // what the report holds stays
}

}  // namespace
}  // namespace vorskal::testing
