// The season's site, built from a league of the scenario folders' games:
// every link is relative and resolves, every page is reached from the
// index, the index's numbers are the standings', and a build replaces only
// the files builds wrote, never a folder that is not a site's.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <utility>
#include <vector>

#include "league/site/season_site.h"
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
        for (const ScenarioFolder& s : completedScenarios()) {
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

    // The index's ranked pilots' rows are the standings' on a side, row for
    // row, each linking to the page of its name; the ones on no side are
    // listed apart, in the standings' order too.
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

// A build replaces only what builds wrote: a page the last build listed and
// this one does not write goes; a file of anyone else's is refused, named,
// or kept when asked; the mark of a build that listed nothing owns the
// site's own layout.
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

// Places a build cannot replace: refused with what is wrong, left alone.
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

}  // namespace
}  // namespace vorskal::testing
