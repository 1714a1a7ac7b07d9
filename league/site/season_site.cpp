#include "league/site/season_site.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <vector>

#include "base/utf8_path.h"
#include "html/game_page.h"
#include "html/html_text.h"
#include "html/page_assets.h"
#include "html/page_parts.h"
#include "html/season_charts.h"
#include "league/listings/career_listing.h"
#include "league/listings/html_page.h"
#include "league/listings/listing.h"
#include "league/listings/matchups_listing.h"
#include "league/listings/pilot_mask.h"
#include "league/listings/queries.h"
#include "league/listings/ratings.h"
#include "league/listings/standings.h"
#include "league/rescore/explain.h"
#include "league/site/ratings_page.h"
#include "league/site/site_folder.h"
#include "league/site/site_search.h"
#include "league/site/site_text.h"
#include "league/store/settings.h"
#include "results/sha256.h"

namespace vorskal::league {

namespace {

using html::appendElement;
using html::appendNumberCell;
using html::appendText;

// The games listed near the top of the index.
constexpr std::size_t kLatestGames = 10;

std::string gamePageName(std::int64_t id) {
    return "game-" + std::to_string(id) + ".html";
}

// The page around `body` in the one page frame of html/ (its style, its
// script and the game page's Content-Security-Policy); `root` leads back to
// the site's folder ("" or "../").
std::string framed(const std::string& title, const std::string& root, const std::string& home,
                   const std::string& body) {
    std::string out;
    html::appendPageStart(
        out, title, leagueTool(),
        "<meta name=\"vorskal-site-format\" content=\"" + std::to_string(kSiteFormat) + "\">\n");
    out += "<nav><a href=\"" + root + "index.html\">";
    appendText(out, home);
    out += "</a></nav>\n";
    out += body;
    html::appendPageEnd(out, "Written by " + leagueTool() + " (site format " +
                                 std::to_string(kSiteFormat) + ") from the league file.");
    return out;
}

void appendHeadings(std::string& out, std::initializer_list<const char*> text,
                    std::initializer_list<const char*> numbers) {
    out += "<thead><tr>";
    for (const char* heading : text) {
        appendElement(out, "th", "scope=\"col\"", heading);
    }
    for (const char* heading : numbers) {
        appendElement(out, "th", "scope=\"col\" class=\"n\"", heading);
    }
    out += "</tr></thead><tbody>";
}

void appendLinkCell(std::string& out, const std::string& href, const std::string& text) {
    out += "<td><a href=\"";
    appendText(out, href);
    out += "\">";
    appendText(out, text);
    out += "</a></td>";
}

// A standings table of the index (standings.h); with `pages`, the
// first cell of a row links to the pilot's page in that folder.
void appendStandingsTable(std::string& out, const char* id, const TextTable& table,
                          const std::string& pages) {
    out += "<table class=\"sortable\" id=\"";
    out += id;
    out += "\"><thead><tr>";
    for (std::size_t i = 0; i < table.header.size(); ++i) {
        appendElement(out, "th", table.numeric[i] ? "scope=\"col\" class=\"n\"" : "scope=\"col\"",
                      table.header[i]);
    }
    out += "</tr></thead><tbody>";
    for (const std::vector<std::string>& row : table.rows) {
        out += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i == 0 && !pages.empty()) {
                appendLinkCell(out, pages + pilotPageName(row[i]), row[i]);
            } else {
                appendElement(out, "td", table.numeric[i] ? "class=\"n\"" : "", row[i]);
            }
        }
        out += "</tr>";
    }
    out += "</tbody></table>";
}

// One pilot's row of one game.
struct PilotGame {
    GameSummary game;
    results::PilotRow row;
};

std::string gameName(const GameSummary& game) {
    return "Game " + std::to_string(game.id) + " (" + readableDay(game.playedOn) + ", " + game.map +
           ")";
}

// The index's pilots: the ranked ones, with a rank and K/D (site_text.h).
// The entries on no side are listed apart, without a rank (docs/site.md).
void appendPilotTables(std::string& out, const std::vector<PilotStanding>& pilots) {
    std::vector<PilotStanding> ranked;
    std::vector<PilotStanding> apart;
    for (const PilotStanding& p : pilots) {
        (p.team == "unknown" ? apart : ranked).push_back(p);
    }
    std::vector<std::int64_t> scores;
    for (const PilotStanding& p : ranked) {
        scores.push_back(p.score);
    }
    const std::vector<std::int64_t> ranks = ranksOf(scores);
    out += "<table class=\"sortable\" id=\"pilots\">";
    out += "<thead><tr>";
    appendElement(out, "th", "scope=\"col\" class=\"n\"", "Rank");
    for (const char* heading : {"Pilot", "Side"}) {
        appendElement(out, "th", "scope=\"col\"", heading);
    }
    for (const char* heading :
         {"Games", "Kills", "Deaths", "K/D", "Targets", "Target points", "Score"}) {
        appendElement(out, "th", "scope=\"col\" class=\"n\"", heading);
    }
    out += "</tr></thead><tbody>";
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        const PilotStanding& p = ranked[i];
        out += "<tr>";
        appendNumberCell(out, ranks[i]);
        appendLinkCell(out, "pilots/" + pilotPageName(p.name), p.name);
        appendElement(out, "td", "", p.team);
        appendNumberCell(out, p.games);
        appendNumberCell(out, p.kills);
        appendNumberCell(out, p.deaths);
        appendElement(out, "td", "class=\"n\"", killsPerDeath(p.kills, p.deaths));
        for (const std::int64_t n : {p.targetsDestroyed, p.targetPoints, p.score}) {
            appendNumberCell(out, n);
        }
        out += "</tr>";
    }
    out += "</tbody></table>\n";
    if (apart.empty()) {
        return;
    }
    appendElement(out, "h2", "", "Not ranked: entries on no side");
    appendElement(out, "p", "",
                  "Names whose aircraft no team rule recognised in any game, such as the "
                  "anti-aircraft guns, whose kill lines name no aircraft.");
    appendStandingsTable(out, "not-ranked", pilotStandingsTable(apart), "pilots/");
    out += "\n";
}

// `pilotsOf[i]`: the names of the pilots of games[i], for the search.
std::string indexPage(const std::string& title, const std::string& season,
                      const Standings& standings, const std::vector<GameSummary>& games,
                      const std::vector<std::string>& pilotsOf, bool ratings) {
    std::string body = "<header>";
    appendElement(body, "h1", "", title);
    appendElement(body, "p", "",
                  (title == "Season " + season ? std::string() : "Season " + season + ", ") +
                      std::to_string(games.size()) + (games.size() == 1 ? " game" : " games"));
    body += "</header>\n";
    std::vector<SearchEntry> entries;
    for (const PilotStanding& p : standings.pilots) {
        entries.push_back({p.name, "pilots/" + pilotPageName(p.name), "pilot, " + p.team, ""});
    }
    for (std::size_t i = 0; i < games.size(); ++i) {
        entries.push_back(
            {gameName(games[i]), "games/" + gamePageName(games[i].id), "game", pilotsOf[i]});
    }
    body += searchSection(entries);
    // The latest games first: the days known from the last back, then the
    // games whose day is not known (listGames puts them last).
    std::vector<const GameSummary*> latest;
    for (auto g = games.rbegin(); g != games.rend(); ++g) {
        if (!g->playedOn.empty()) {
            latest.push_back(&*g);
        }
    }
    for (const GameSummary& g : games) {
        if (g.playedOn.empty()) {
            latest.push_back(&g);
        }
    }
    // The last few near the top, before the long list of pilots; all of
    // them after it.
    const auto appendGames = [&](const char* id, std::size_t most) {
        body += "<table class=\"sortable\" id=\"";
        body += id;
        body += "\">";
        appendHeadings(body, {"Game", "Day", "Map"}, {"Allied", "Hun", "Pilots"});
        for (std::size_t i = 0; i < latest.size() && i < most; ++i) {
            const GameSummary& g = *latest[i];
            body += "<tr>";
            appendLinkCell(body, "games/" + gamePageName(g.id), "Game " + std::to_string(g.id));
            appendElement(body, "td", "", readableDay(g.playedOn));
            appendElement(body, "td", "", g.map);
            for (const std::int64_t n : {g.alliedFinal, g.hunFinal, g.pilots}) {
                appendNumberCell(body, n);
            }
            body += "</tr>";
        }
        body += "</tbody></table>";
    };
    body += "<section id=\"latest\">";
    appendElement(body, "h2", "", "Latest games");
    appendGames("latest-games", kLatestGames);
    body += "</section>\n<section id=\"standings\">";
    appendElement(body, "h2", "", "Pilots");
    appendPilotTables(body, standings.pilots);
    appendElement(body, "h2", "", "Sides");
    appendStandingsTable(body, "sides", sideStandingsTable(standings.sides), "");
    body += "</section>\n<section id=\"matchups-link\">";
    appendElement(body, "h2", "", "Matchups");
    body +=
        "<p><a href=\"matchups.html\">Aircraft against aircraft, and the pilot pairs with "
        "most kills between them</a></p>";
    body += "</section>\n<section id=\"games-list\">";
    appendElement(body, "h2", "", "All games, latest first");
    appendGames("games", latest.size());
    if (ratings) {
        body += "</section>\n<section id=\"ratings\">";
        appendElement(body, "h2", "", "Ratings");
        body +=
            "<p><a href=\"ratings.html\">The pilots' ratings</a>, fighters and two-seaters "
            "apart, each with its uncertainty.</p>";
    }
    body += "</section>\n<section id=\"downloads\">";
    appendElement(body, "h2", "", "Downloads");
    body += "<ul>";
    for (const char* file : {"standings.json", "standings.csv", "games.json", "games.csv",
                             "matchups.json", "matchups.csv"}) {
        body += "<li><a href=\"data/" + std::string(file) + "\">" + file + "</a></li>";
    }
    body += "</ul></section>";
    return framed(title, "", title, body);
}

// His games, one column each in the order of the season's days (the rows
// come in that order): a game he flew on both sides is one column, with the
// numbers of both rows, "on both sides" in its name, in the colour of the
// side he first flew.
std::vector<html::PilotGameNumbers> chartedGames(const std::vector<PilotGame>& rows) {
    std::vector<html::PilotGameNumbers> charted;
    std::int64_t last = 0;
    for (const PilotGame& r : rows) {
        if (!charted.empty() && r.game.id == last) {
            html::PilotGameNumbers& g = charted.back();
            if (g.side != r.row.team) {
                g.name = gameName(r.game) + " on both sides";
            }
            g.kills += r.row.kills;
            g.deaths += r.row.deaths;
            g.score += r.row.score;
            continue;
        }
        last = r.game.id;
        charted.push_back({shortDay(r.game.playedOn), gameName(r.game), r.row.team, r.row.kills,
                           r.row.deaths, r.row.score});
    }
    return charted;
}

// "3 games in season 1", "1 game, both sides, in season 1", "3 games (1 on
// both sides) in season 1".
std::string gamesPlayed(const std::vector<html::PilotGameNumbers>& charted,
                        const std::string& season) {
    std::size_t both = 0;
    for (const html::PilotGameNumbers& g : charted) {
        both += g.name.ends_with(" on both sides") ? 1U : 0U;
    }
    std::string text = std::to_string(charted.size()) + (charted.size() == 1 ? " game" : " games");
    if (both > 0) {
        text +=
            charted.size() == 1 ? ", both sides," : " (" + std::to_string(both) + " on both sides)";
    }
    return text + " in season " + season;
}

// The career's numbers as a table of two columns, what and how many; the
// name left out (the page's own).
void appendCareerNumbers(std::string& out, const TextTable& numbers) {
    out += "<table id=\"career-numbers\"><tbody>";
    for (std::size_t i = 1; i < numbers.header.size(); ++i) {
        out += "<tr>";
        appendElement(out, "th", "scope=\"row\"", numbers.header[i]);
        appendElement(out, "td", numbers.numeric[i] ? "class=\"n\"" : "", numbers.rows[0][i]);
        out += "</tr>";
    }
    out += "</tbody></table>";
}

// His career in the season (the numbers of `vorskal-league pilot`).
void appendCareer(std::string& out, const Career& career) {
    out += "<section id=\"career\">";
    appendElement(out, "h2", "", "Career");
    if (career.gamesWithoutKills > 0) {
        appendElement(out, "p", "", withoutKillsText(career.gamesWithoutKills) + ".");
    }
    appendCareerNumbers(out, careerTable(career));
    if (!career.flown.empty()) {
        appendStandingsTable(out, "career-flown", flownTable(career), "");
    }
    if (!career.victims.empty()) {
        appendStandingsTable(out, "career-victims", victimsTable(career), "");
    }
    out += "</section>\n";
}

std::string pilotPage(const std::string& title, const std::string& season, const std::string& name,
                      const std::vector<PilotGame>& rows, const Career& career) {
    const std::vector<html::PilotGameNumbers> charted = chartedGames(rows);
    std::string body = "<header>";
    appendElement(body, "h1", "", name);
    appendElement(body, "p", "", gamesPlayed(charted, season));
    body += "</header>\n";
    body += "<section id=\"charts\">";
    appendElement(body, "h2", "", "Score per game");
    body += "<figure>";
    html::appendPilotScoreChart(body, charted);
    body += "</figure>";
    appendElement(body, "h2", "", "Kills and deaths per game");
    body += "<figure>";
    html::appendPilotActivityChart(body, charted);
    body += "</figure></section>\n";
    appendCareer(body, career);
    appendElement(body, "h2", "", "Games");
    body += "<table class=\"sortable\" id=\"pilot-games\">";
    appendHeadings(body, {"Game", "Day", "Map", "Side"},
                   {"Kills", "Deaths", "Targets", "Target points", "Score"});
    results::PilotRow total;
    for (const PilotGame& r : rows) {
        body += "<tr>";
        appendLinkCell(body, "../games/" + gamePageName(r.game.id),
                       "Game " + std::to_string(r.game.id));
        appendElement(body, "td", "", readableDay(r.game.playedOn));
        appendElement(body, "td", "", r.game.map);
        appendElement(body, "td", "", results::sideName(r.row.team));
        for (const std::int64_t n :
             {r.row.kills, r.row.deaths, r.row.targetsDestroyed, r.row.targetPoints, r.row.score}) {
            appendNumberCell(body, n);
        }
        body += "</tr>";
        total.kills += r.row.kills;
        total.deaths += r.row.deaths;
        total.targetsDestroyed += r.row.targetsDestroyed;
        total.targetPoints += r.row.targetPoints;
        total.score += r.row.score;
    }
    body += "</tbody><tfoot><tr><th scope=\"row\" colspan=\"4\">Total</th>";
    for (const std::int64_t n :
         {total.kills, total.deaths, total.targetsDestroyed, total.targetPoints, total.score}) {
        appendNumberCell(body, n);
    }
    body += "</tr></tfoot></table>";
    return framed(name + ", season " + season, "../", title, body);
}

std::string matchupsPage(const std::string& title, const std::string& season,
                         const Matchups& matchups) {
    std::string body = "<header>";
    appendElement(body, "h1", "", "Matchups");
    appendElement(body, "p", "",
                  "Season " + season + ", " + std::to_string(matchups.games) +
                      (matchups.games == 1 ? " game" : " games"));
    body += "</header>\n";
    if (matchups.gamesWithoutKills > 0) {
        appendElement(body, "p", "",
                      withoutKillsText(matchups.gamesWithoutKills) + ": not counted here.");
    }
    body += "<section id=\"aircraft-matchups\">";
    appendElement(body, "h2", "", "Aircraft against aircraft");
    appendStandingsTable(body, "aircraft", aircraftMatchupsTable(matchups), "");
    body += "</section>\n<section id=\"pilot-pairs\">";
    appendElement(body, "h2", "", "Pilot pairs with most kills between them");
    appendStandingsTable(body, "pairs", pilotPairsTable(matchups), "pilots/");
    body += "</section>";
    return framed("Matchups, season " + season, "", title, body);
}

// What the page of a game without its long lists says in place of them.
constexpr std::string_view kImportedGame =
    "This game was imported from its report, which holds no timeline: no charts are drawn, and "
    "the targets not credited are not listed.";
constexpr std::string_view kGameBeforeLists =
    "This game was recorded before the league kept what the charts draw: no charts are drawn, "
    "and the targets not credited are not listed.";

// The game's own page, with a way back to the season. A public page names
// no server folder but the game's own and no raw time (site_text.h).
std::string gamePage(const StoredGame& stored, const std::string& title) {
    results::GameResults shown = stored.results;
    shown.run.directory = lastFolderName(shown.run.directory);
    shown.run.startedAt = readableTime(shown.run.startedAt);
    std::string page =
        stored.listsKept
            ? html::gamePage(shown)
            : html::gamePageWithoutLists(
                  shown, stored.summary.origin == "import" ? kImportedGame : kGameBeforeLists);
    std::string nav = "<nav><a href=\"../index.html\">";
    appendText(nav, title);
    nav += "</a></nav>\n";
    const std::size_t body = page.find("<body>\n");
    if (body != std::string::npos) {
        page.insert(body + 7, nav);
    }
    return page;
}

std::string itemsPageName(std::int64_t id) {
    return "game-" + std::to_string(id) + "-items.html";
}

// The items behind every pilot's score in one game (`vorskal-league explain`),
// a section each, in the score tables' order.
std::string itemsPage(const std::string& title, const GameSummary& game,
                      const results::GameResults& results, const GameItems& items) {
    std::string body = "<h1>";
    appendText(body, "The items behind the scores of " + gameName(game));
    body += "</h1>\n<p><a href=\"" + gamePageName(game.id) + "\">";
    appendText(body, "Game " + std::to_string(game.id));
    body += "</a></p>\n";
    for (std::size_t i = 0; i < items.pilots.size(); ++i) {
        const PilotItems& p = items.pilots[i];
        body += "<section id=\"pilot-" + std::to_string(i + 1) + "\"><h2>";
        appendText(body, p.name + " (" + std::string(results::sideName(p.team)) + "): score " +
                             std::to_string(p.score));
        body += "</h2>";
        const std::string table = "items-" + std::to_string(i + 1);
        appendStandingsTable(body, table.c_str(), itemsTable(p.items), "");
        body += "<p>";
        appendText(body, "They add up to " + std::to_string(p.score) + ": " +
                             std::to_string(p.kills) + " kills at " +
                             std::to_string(results.settings.killPoints) + ", " +
                             std::to_string(p.deaths) + " deaths at " +
                             std::to_string(results.settings.deathPoints) + ", " +
                             std::to_string(p.targetPoints) + " target points.");
        body += "</p></section>\n";
    }
    return framed("Items of game " + std::to_string(game.id) + ": " + title, "../", title, body);
}

// The game page with each pilot's row of the score tables linked to his
// items (the rows stand in the order of the game's pilots); false, and the
// page as it was, unless every row is linked.
bool linkRows(std::string& page, const results::GameResults& game, const std::string& items) {
    std::string linkedPage = page;
    std::size_t at = linkedPage.find("<section id=\"scores\">");
    for (std::size_t i = 0; i < game.pilots.size(); ++i) {
        std::string name;
        appendText(name, game.pilots[i].name);
        const std::string cell = "<th scope=\"row\">" + name + "</th>";
        at = at == std::string::npos ? at : linkedPage.find(cell, at);
        if (at == std::string::npos) {
            return false;
        }
        const std::string linked = "<th scope=\"row\"><a href=\"" + items + "#pilot-" +
                                   std::to_string(i + 1) + "\">" + name + "</a></th>";
        linkedPage.replace(at, cell.size(), linked);
        at += linked.size();
    }
    page = std::move(linkedPage);
    return !game.pilots.empty();
}

std::string listing(const std::function<void(std::ostream&)>& write) {
    std::ostringstream out;
    write(out);
    return out.str();
}

// The files of the site's layout, which builds wrote before their mark
// listed them.
bool writtenByEarlierBuilds(const std::string& relative) {
    static const std::regex layout(
        "index\\.html|matchups\\.html|ratings\\.html|data/(standings|games|matchups)\\.(json|csv)|"
        "games/game-[0-9]+(-items)?\\.html|"
        "pilots/[0-9a-f]{16}\\.html");
    return std::regex_match(relative, layout);
}

}  // namespace

std::string pilotPageName(const std::string& name) {
    results::Sha256 digest;
    digest.update(name);
    return digest.hexDigest().substr(0, 16) + ".html";
}

SiteSummary writeSeasonSite(LeagueFile& file, const std::string& dir, const std::string& season,
                            bool allowEmpty, bool keepOthers) {
    SiteSummary summary;
    summary.season = season.empty() ? currentSeason(file.db()) : season;
    const GameFilter filter =
        checkedFilter(file, {std::nullopt, std::nullopt, std::nullopt, summary.season});
    // Hidden pilots under their pseudonyms in every file of the site.
    const PilotMask mask = PilotMask::of(file.db());
    Standings standings = computeStandings(file, filter);
    mask.apply(standings);
    const std::vector<GameSummary> games = listGames(file, filter);
    summary.games = static_cast<int>(games.size());
    std::error_code error;
    if (games.empty() && !allowEmpty && std::filesystem::exists(utf8Path(dir) / kSiteMark, error)) {
        throw LeagueError(dir + ": holds a site, and season " + summary.season +
                          " has no game: the site is left as it is (--allow-empty replaces "
                          "it with one without games)");
    }

    const std::string title =
        settingValue(file.db(), kLeagueNameSetting).value_or("Season " + summary.season);
    SiteFolder site(dir, {file.path(), keepOthers, writtenByEarlierBuilds});
    std::map<std::string, std::vector<PilotGame>> pilots;
    std::vector<std::string> pilotsOf;
    // Counted from the masked games: hidden pilots stand under their
    // pseudonyms among victims, killers and pairs too.
    CareerTally careers;
    MatchupTally matchups;
    for (const GameSummary& game : games) {
        StoredGame stored = loadGame(file, game.id, GameParts::All);
        mask.apply(stored.results);
        careers.add(game, stored.results);
        matchups.add(stored.results);
        std::string page = gamePage(stored, title);
        if (const std::optional<GameItems> items = explainedGame(stored.results, stored.listsKept);
            items && linkRows(page, stored.results, itemsPageName(game.id))) {
            site.write("games/" + itemsPageName(game.id),
                       itemsPage(title, game, stored.results, *items));
        }
        site.write("games/" + gamePageName(game.id), page);
        std::string names;
        for (const results::PilotRow& row : stored.results.pilots) {
            pilots[row.name].push_back({game, row});
            names += (names.empty() ? "" : " ") + row.name;
        }
        pilotsOf.push_back(std::move(names));
    }
    std::map<std::string, Career> careerOf;
    for (Career& career : careers.careers()) {
        careerOf[career.name] = std::move(career);
    }
    for (const auto& [name, rows] : pilots) {
        site.write("pilots/" + pilotPageName(name),
                   pilotPage(title, summary.season, name, rows, careerOf[name]));
    }
    const Matchups seasonMatchups = matchups.matchups();
    site.write("matchups.html", matchupsPage(title, summary.season, seasonMatchups));
    summary.pilots = static_cast<int>(pilots.size());
    // Ratings only from games whose kills the file keeps: without any, no page.
    const std::vector<RatedGame> rated = ratedGames(file, filter);
    if (!rated.empty()) {
        const auto pageOf = [&](const std::string& name) {
            return pilots.contains(name) ? "pilots/" + pilotPageName(name) : std::string();
        };
        site.write("ratings.html", framed("Ratings: " + title, "", title,
                                          ratingsBody(rateGames(rated), mask, pageOf)));
    }
    site.write("index.html",
               indexPage(title, summary.season, standings, games, pilotsOf, !rated.empty()));
    const std::string described = describeFilter(filter);
    site.write("data/standings.json", listing([&](std::ostream& out) {
                   writeStandings(out, standings, Format::Json, described);
               }));
    site.write("data/standings.csv", listing([&](std::ostream& out) {
                   writeStandings(out, standings, Format::Csv, described);
               }));
    site.write("data/games.json", listing([&](std::ostream& out) {
                   writeGames(out, games, Format::Json, described);
               }));
    site.write("data/games.csv",
               listing([&](std::ostream& out) { writeGames(out, games, Format::Csv, described); }));
    site.write("data/matchups.json", listing([&](std::ostream& out) {
                   writeMatchups(out, seasonMatchups, Format::Json, described);
               }));
    site.write("data/matchups.csv", listing([&](std::ostream& out) {
                   writeMatchups(out, seasonMatchups, Format::Csv, described);
               }));
    site.commit();
    return summary;
}

}  // namespace vorskal::league
