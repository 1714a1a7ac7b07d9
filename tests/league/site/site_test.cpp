// The season's site, built from a league of the scenario folders' games,
// and a game's page (the tally's own below its header, its pilots' rows linked
// to the items behind their scores).
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "league/site/season_site.h"
#include "league/store/league_file.h"
#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Every href and src of a page.
std::vector<std::string> links(const std::string& page) {
    static const std::regex link(R"re((?:href|src)="([^"]*)")re");
    std::vector<std::string> found;
    for (std::sregex_iterator i(page.begin(), page.end(), link), end; i != end; ++i) {
        const std::string target = (*i)[1];
        found.push_back(target.substr(0, target.find('#')));  // the file, without its anchor
    }
    return found;
}

class SiteTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        work_ = new GameDir;
        for (const Scenario& s : completedScenarios()) {
            GameDir dir;
            copyInputs(s, dir);
            std::vector<std::string> args = s.switches;
            args.insert(args.end(), {"--record", db(), dir.path()});
            tally(args);  // a folder whose report another's is refused: one game
        }
    }
    static void TearDownTestSuite() {
        delete work_;
        work_ = nullptr;
    }
    static std::string db() { return work_->path() + "/season.db"; }
    static GameDir* work_;
};

GameDir* SiteTest::work_ = nullptr;

TEST_F(SiteTest, EveryLinkResolvesAndTheIndexShowsTheStandings) {
    const std::string site = work_->path() + "/site";
    const LeagueRun run = league({db(), "site", site});
    ASSERT_EQ(run.status, 0) << run.err;
    const json games = leagueJson({db(), "games", "--format", "json"})["games"];
    ASSERT_GT(games.size(), 30u);  // folders of one set of logs are one game

    // A crawl from the index over relative links only.
    std::set<fs::path> reached;
    std::vector<fs::path> pending = {fs::path(site) / "index.html"};
    while (!pending.empty()) {
        const fs::path page = pending.back();
        pending.pop_back();
        if (!reached.insert(page).second || page.extension() != ".html") {
            continue;
        }
        for (const std::string& target : links(bytesOf(page.string()))) {
            SCOPED_TRACE(page.string() + " -> " + target);
            ASSERT_EQ(target.find(':'), std::string::npos);  // no scheme: nothing fetched
            ASSERT_NE(target.front(), '/');
            const fs::path file = (page.parent_path() / target).lexically_normal();
            ASSERT_TRUE(fs::is_regular_file(file));
            ASSERT_EQ(file.string().rfind(fs::path(site).lexically_normal().string(), 0), 0u);
            pending.push_back(file);
        }
    }
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(site)) {
        if (entry.is_regular_file() && entry.path().filename() != ".vorskal-site") {
            ++files;
            EXPECT_TRUE(reached.count(entry.path().lexically_normal())) << entry.path();
        }
    }
    const json standings = leagueJson({db(), "standings", "--format", "json"});
    // index, matchups, ratings, 6 downloads, a page per game and per pilot
    // name, and the items of every game with pilots (all kept their lists).
    std::set<std::string> names;
    for (const json& p : standings["pilots"]) {
        names.insert(p["name"].get<std::string>());
    }
    std::size_t withPilots = 0;
    for (const json& g : games) {
        withPilots += g["pilots"].get<int>() > 0 ? 1 : 0;
    }
    EXPECT_EQ(files, 9 + games.size() + withPilots + names.size());

    // The ranked rows are the standings' on a side, each linking to its
    // name's page; the ones on no side are listed apart.
    const std::string index = bytesOf(site + "/index.html");
    const std::string pilots = index.substr(index.find("id=\"pilots\""));
    static const std::regex row(
        R"re(<tr><td class="n">(\d+)</td><td><a href="pilots/([0-9a-f]{16}\.html)">[^<]*</a></td>)re"
        R"re(<td>([^<]*)</td><td class="n">(-?\d+)</td><td class="n">(-?\d+)</td>)re"
        R"re(<td class="n">(-?\d+)</td><td class="n">-?\d+\.\d\d</td><td class="n">(-?\d+)</td>)re"
        R"re(<td class="n">(-?\d+)</td><td class="n">(-?\d+)</td></tr>)re");
    std::vector<json> ranked;
    std::vector<json> apart;
    for (const json& p : standings["pilots"]) {
        (p["team"] == "unknown" ? apart : ranked).push_back(p);
    }
    EXPECT_FALSE(apart.empty());  // the guns of the scenario folders
    std::size_t k = 0;
    for (std::sregex_iterator i(pilots.begin(), pilots.begin() + pilots.find("</table>"), row), end;
         i != end; ++i, ++k) {
        ASSERT_LT(k, ranked.size());
        const json& p = ranked[k];
        // Ranked by score: a rank is its place, or the rank above it for the same score.
        const std::int64_t rank = std::stoll((*i)[1]);
        EXPECT_TRUE(rank == static_cast<std::int64_t>(k) + 1 ||
                    (k > 0 && ranked[k - 1]["score"] == p["score"]))
            << k;
        EXPECT_EQ((*i)[2], league::pilotPageName(p["name"]));
        EXPECT_EQ((*i)[3], p["team"].get<std::string>());
        int column = 4;
        for (const char* field :
             {"games", "kills", "deaths", "targetsDestroyed", "targetPoints", "score"}) {
            EXPECT_EQ(std::stoll((*i)[column++]), p[field].get<std::int64_t>()) << field;
        }
    }
    EXPECT_EQ(k, ranked.size());
    const std::string notRanked = index.substr(index.find("id=\"not-ranked\""));
    std::size_t listed = 0;
    for (const json& p : apart) {
        const std::size_t at = notRanked.find("pilots/" + league::pilotPageName(p["name"]));
        listed += at < notRanked.find("</table>") ? 1 : 0;
    }
    EXPECT_EQ(listed, apart.size());
    EXPECT_EQ(json::parse(bytesOf(site + "/data/standings.json")), standings);
}

// A file of anyone else's is refused, named, or kept when asked; the mark of
// a build that listed nothing owns the site's own layout.
TEST_F(SiteTest, ABuildRemovesOnlyWhatBuildsWrote) {
    GameDir dir;
    const std::string site = dir.path() + "/site";
    ASSERT_EQ(league({db(), "site", site}).status, 0);
    dir.write("site/games/game-999.html", "a removed game's page");
    dir.write("site/.vorskal-site", dir.read("site/.vorskal-site") + "games/game-999.html\n");
    ASSERT_EQ(league({db(), "site", site + "/"}).status, 0);
    EXPECT_FALSE(dir.exists("site/games/game-999.html"));
    std::size_t beside = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        beside += entry.path().filename() != "site";
    }
    EXPECT_EQ(beside, 0u);

    dir.write("site/README.txt", "mine");
    dir.write("site/data/extra.csv", "mine too");
    const LeagueRun refused = league({db(), "site", site});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_NE(refused.err.find(": holds 2 files that no build of this site wrote (README.txt, "
                               "data/extra.csv), which a rebuild would delete"),
              std::string::npos)
        << refused.err;
    dir.write("site/.vorskal-site",
              "A site written by vorskal-league: replaced whole by its next build.\n");
    dir.write("site/games/game-998.html", "an earlier build's page");
    dir.write("site/pilots/notes.html", "not a page of the layout");
    ASSERT_EQ(league({db(), "site", site, "--keep-others"}).status, 0);
    EXPECT_FALSE(dir.exists("site/games/game-998.html"));
    EXPECT_EQ(dir.read("site/README.txt"), "mine");
    EXPECT_EQ(dir.read("site/data/extra.csv"), "mine too");
    EXPECT_EQ(dir.read("site/pilots/notes.html"), "not a page of the layout");
    EXPECT_TRUE(dir.exists("site/index.html"));
}

TEST_F(SiteTest, FoldersThatAreNoSiteOrCannotBeReplacedAreRefused) {
    GameDir dir;
    const std::string site = dir.path() + "/site";
    ASSERT_EQ(league({db(), "site", site}).status, 0);
    fs::copy_file(db(), site + "/season.db");
    fs::create_directory(dir.path() + "/mine");
    dir.write("mine/notes.txt", "mine");
    dir.write("file", "a file");
    std::vector<std::pair<std::string, const char*>> cases = {
        {dir.path() + "/mine", "no .vorskal-site in it"},
        {dir.path() + "/file", "is not a folder"},
        {site + "/.", "name the site's own folder"},
        {site + "/games/..", "name the site's own folder"},
    };
#ifndef _WIN32  // links and mount points as Linux has them
    fs::create_directory_symlink(site, dir.path() + "/link");
    cases.push_back({dir.path() + "/link", "is a symbolic link"});
    cases.push_back({"/proc", "is a mount point"});
#endif
    for (const auto& [folder, said] : cases) {
        SCOPED_TRACE(folder);
        const LeagueRun run = league({db(), "site", folder});
        EXPECT_EQ(run.status, kExitFailed);
        EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("; nothing written"), std::string::npos) << run.err;
    }
    const LeagueRun holding = league({site + "/season.db", "site", site});
    EXPECT_EQ(holding.status, kExitFailed);
    EXPECT_NE(holding.err.find(": holds the league file " + site + "/season.db"), std::string::npos)
        << holding.err;
    EXPECT_TRUE(fs::exists(site + "/season.db"));
    EXPECT_EQ(dir.read("mine/notes.txt"), "mine");
    EXPECT_EQ(dir.read("file"), "a file");
}

// A game's page: the league keeps what it draws, so the site's page is the
// tally's own --html page below its header.

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

}  // namespace
}  // namespace vorskal::testing
