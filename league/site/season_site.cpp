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
#include "league/listings/html_page.h"
#include "league/listings/listing.h"
#include "league/listings/queries.h"
#include "league/listings/standings.h"
#include "league/site/site_folder.h"
#include "league/site/site_search.h"
#include "league/store/settings.h"
#include "results/sha256.h"

namespace vorskal::league {

namespace {

using html::appendElement;
using html::appendNumberCell;
using html::appendText;

std::string gamePageName(std::int64_t id) {
    return "game-" + std::to_string(id) + ".html";
}

// The page around `body` in the one page frame of html/ (its style, its
// script and the game page's Content-Security-Policy); `root` leads back to
// the site's folder ("" or "../").
std::string framed(const std::string& title, const std::string& root, const std::string& season,
                   const std::string& body) {
    std::string out;
    html::appendPageStart(
        out, title, leagueTool(),
        "<meta name=\"vorskal-site-format\" content=\"" + std::to_string(kSiteFormat) + "\">\n");
    out += "<nav><a href=\"" + root + "index.html\">";
    appendText(out, "Season " + season);
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
    return "Game " + std::to_string(game.id) + " (" +
           (game.playedOn.empty() ? std::string("?") : game.playedOn) + ", " + game.map + ")";
}

// `pilotsOf[i]`: the names of the pilots of games[i], for the search.
std::string indexPage(const std::string& season, const Standings& standings,
                      const std::vector<GameSummary>& games,
                      const std::vector<std::string>& pilotsOf) {
    std::string body = "<header>";
    appendElement(body, "h1", "", "Season " + season);
    appendElement(body, "p", "", std::to_string(games.size()) + " games");
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
    body += "<section id=\"standings\">";
    appendElement(body, "h2", "", "Pilots");
    appendStandingsTable(body, "pilots", pilotStandingsTable(standings.pilots), "pilots/");
    body += "\n";
    appendElement(body, "h2", "", "Sides");
    appendStandingsTable(body, "sides", sideStandingsTable(standings.sides), "");
    body += "</section>\n<section id=\"games-list\">";
    appendElement(body, "h2", "", "Games");
    body += "<table class=\"sortable\" id=\"games\">";
    appendHeadings(body, {"Game", "Day", "Map"}, {"Allied", "Hun", "Pilots"});
    for (const GameSummary& g : games) {
        body += "<tr>";
        appendLinkCell(body, "games/" + gamePageName(g.id), "Game " + std::to_string(g.id));
        appendElement(body, "td", "", g.playedOn.empty() ? "?" : g.playedOn);
        appendElement(body, "td", "", g.map);
        for (const std::int64_t n : {g.alliedFinal, g.hunFinal, g.pilots}) {
            appendNumberCell(body, n);
        }
        body += "</tr>";
    }
    body += "</tbody></table></section>\n<section id=\"downloads\">";
    appendElement(body, "h2", "", "Downloads");
    body += "<ul>";
    for (const char* file : {"standings.json", "standings.csv", "games.json", "games.csv"}) {
        body += "<li><a href=\"data/" + std::string(file) + "\">" + file + "</a></li>";
    }
    body += "</ul></section>";
    return framed("Season " + season, "", season, body);
}

std::string pilotPage(const std::string& season, const std::string& name,
                      const std::vector<PilotGame>& rows) {
    std::string body = "<header>";
    appendElement(body, "h1", "", name);
    appendElement(body, "p", "", std::to_string(rows.size()) + " games in season " + season);
    body += "</header>\n";
    std::vector<html::PilotGameNumbers> charted;
    for (const PilotGame& r : rows) {
        charted.push_back({std::to_string(r.game.id), gameName(r.game), r.row.team, r.row.kills,
                           r.row.deaths, r.row.score});
    }
    body += "<section id=\"charts\">";
    appendElement(body, "h2", "", "Score per game");
    body += "<figure>";
    html::appendPilotScoreChart(body, charted);
    body += "</figure>";
    appendElement(body, "h2", "", "Kills and deaths per game");
    body += "<figure>";
    html::appendPilotActivityChart(body, charted);
    body += "</figure></section>\n";
    appendElement(body, "h2", "", "Games");
    body += "<table class=\"sortable\" id=\"pilot-games\">";
    appendHeadings(body, {"Game", "Day", "Map", "Side"},
                   {"Kills", "Deaths", "Targets", "Target points", "Score"});
    results::PilotRow total;
    for (const PilotGame& r : rows) {
        body += "<tr>";
        appendLinkCell(body, "../games/" + gamePageName(r.game.id),
                       "Game " + std::to_string(r.game.id));
        appendElement(body, "td", "", r.game.playedOn.empty() ? "?" : r.game.playedOn);
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
    return framed(name + ", season " + season, "../", season, body);
}

// The game's own page, with a way back to the season.
std::string gamePage(const StoredGame& stored, const std::string& season) {
    std::string page = html::gamePage(stored.results);
    std::string nav = "<nav><a href=\"../index.html\">";
    appendText(nav, "Season " + season);
    nav += "</a></nav>\n";
    const std::size_t body = page.find("<body>\n");
    if (body != std::string::npos) {
        page.insert(body + 7, nav);
    }
    return page;
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
        "index\\.html|data/(standings|games)\\.(json|csv)|games/game-[0-9]+\\.html|"
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
    const Standings standings = computeStandings(file, filter);
    const std::vector<GameSummary> games = listGames(file, filter);
    summary.games = static_cast<int>(games.size());
    std::error_code error;
    if (games.empty() && !allowEmpty && std::filesystem::exists(utf8Path(dir) / kSiteMark, error)) {
        throw LeagueError(dir + ": holds a site, and season " + summary.season +
                          " has no game: the site is left as it is (--allow-empty replaces "
                          "it with one without games)");
    }

    SiteFolder site(dir, {file.path(), keepOthers, writtenByEarlierBuilds});
    std::map<std::string, std::vector<PilotGame>> pilots;
    std::vector<std::string> pilotsOf;
    for (const GameSummary& game : games) {
        const StoredGame stored = loadGame(file, game.id);
        site.write("games/" + gamePageName(game.id), gamePage(stored, summary.season));
        std::string names;
        for (const results::PilotRow& row : stored.results.pilots) {
            pilots[row.name].push_back({game, row});
            names += (names.empty() ? "" : " ") + row.name;
        }
        pilotsOf.push_back(std::move(names));
    }
    for (const auto& [name, rows] : pilots) {
        site.write("pilots/" + pilotPageName(name), pilotPage(summary.season, name, rows));
    }
    summary.pilots = static_cast<int>(pilots.size());
    site.write("index.html", indexPage(summary.season, standings, games, pilotsOf));
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
    site.commit();
    return summary;
}

}  // namespace vorskal::league
