#include "league/listings/career_listing.h"

#include "base/counted.h"
#include "base/log_text.h"
#include "league/listings/html_page.h"
#include "results/json_text.h"
#include "results/json_writer.h"

namespace vorskal::league {

namespace {

using results::Json;
using results::textJson;

std::string str(std::int64_t n) {
    return std::to_string(n);
}

std::string bestGameText(const Career& career) {
    if (!career.bestGame) {
        return "";
    }
    const CareerGame& g = *career.bestGame;
    return "game " + str(g.id) + " (" + (g.playedOn.empty() ? "day unknown" : g.playedOn) + ", " +
           g.map + ")";
}

std::string pilotText(const std::optional<PilotCount>& pilot) {
    return pilot ? pilot->name + " (" + str(pilot->count) + ")" : "";
}

Json pilotJson(const std::optional<PilotCount>& pilot) {
    return pilot ? Json{{"pilot", textJson(pilot->name)}, {"kills", pilot->count}} : Json();
}

Json careerJson(const Career& c, const std::string& filterText) {
    Json json = {{"formatVersion", kListingFormatVersion},
                 {"pilot", textJson(c.name)},
                 {"filter", textJson(filterText)},
                 {"kills", c.kills},
                 {"deaths", c.deaths},
                 {"killsPerDeath", careerKillsPerDeath(c)},
                 {"games", c.games},
                 {"sorties", c.sorties},
                 {"gamesWithoutKills", c.gamesWithoutKills},
                 {"longestRun", c.longestRun},
                 {"longestRunGame", c.longestRunGame ? Json(*c.longestRunGame) : Json()},
                 {"bestGame", Json()},
                 {"shotDownMost", pilotJson(c.shotDownMost)},
                 {"shotDownMostBy", pilotJson(c.shotDownMostBy)},
                 {"flown", Json::array()},
                 {"victims", Json::array()}};
    if (c.bestGame) {
        json["bestGame"] = {{"id", c.bestGame->id},
                            {"playedOn", results::textOrNull(c.bestGame->playedOn)},
                            {"map", textJson(c.bestGame->map)},
                            {"kills", c.bestGame->kills}};
    }
    for (const AircraftCount& a : c.flown) {
        json["flown"].push_back(
            {{"aircraft", textJson(a.aircraft)}, {"kills", a.kills}, {"deaths", a.deaths}});
    }
    for (const AircraftCount& a : c.victims) {
        json["victims"].push_back({{"aircraft", textJson(a.aircraft)}, {"kills", a.kills}});
    }
    return json;
}

}  // namespace

std::string withoutKillsText(std::int64_t games) {
    if (games == 0) {
        return "";
    }
    return counted(games, "game") +
           " without kills listed (read back from reports, or recorded before the league kept "
           "kills)";
}

TextTable careerTable(const Career& c) {
    TextTable table;
    table.header = {"Pilot",
                    "Games",
                    "Sorties",
                    "Kills",
                    "Deaths",
                    "K/D",
                    "Longest run",
                    "Best game",
                    "Best game kills",
                    "Shot down most",
                    "Shot down most by",
                    "Games without kills"};
    table.numeric = {false, true, true, true, true, true, true, false, true, false, false, true};
    table.rows.push_back({c.name, str(c.games), str(c.sorties), str(c.kills), str(c.deaths),
                          careerKillsPerDeath(c), str(c.longestRun), bestGameText(c),
                          c.bestGame ? str(c.bestGame->kills) : "0", pilotText(c.shotDownMost),
                          pilotText(c.shotDownMostBy), str(c.gamesWithoutKills)});
    return table;
}

TextTable flownTable(const Career& c) {
    TextTable table;
    table.header = {"Aircraft flown", "Kills", "Deaths"};
    table.numeric = {false, true, true};
    for (const AircraftCount& a : c.flown) {
        table.rows.push_back({a.aircraft, str(a.kills), str(a.deaths)});
    }
    return table;
}

TextTable victimsTable(const Career& c) {
    TextTable table;
    table.header = {"Victims' aircraft", "Kills"};
    table.numeric = {false, true};
    for (const AircraftCount& a : c.victims) {
        table.rows.push_back({a.aircraft, str(a.kills)});
    }
    return table;
}

void writeCareer(std::ostream& out, const Career& c, Format format, const std::string& filterText) {
    const std::string heading =
        c.name + (filterText.empty() ? std::string() : " (" + filterText + ")");
    switch (format) {
        case Format::Text: {
            out << logText(heading) << ": " << counted(c.games, "game") << ", "
                << counted(c.sorties, "sortie") << "\nKills " << c.kills << ", deaths " << c.deaths
                << ", K/D " << careerKillsPerDeath(c) << "\n";
            if (c.longestRun > 0) {
                out << "Longest run: " << counted(c.longestRun, "kill") << " without dying (game "
                    << *c.longestRunGame << ")\n";
            }
            if (c.bestGame) {
                out << "Best game: " << logText(bestGameText(c)) << ", "
                    << counted(c.bestGame->kills, "kill") << "\n";
            }
            if (c.shotDownMost) {
                out << "Shot down most: " << logText(pilotText(c.shotDownMost)) << "\n";
            }
            if (c.shotDownMostBy) {
                out << "Shot down most by: " << logText(pilotText(c.shotDownMostBy)) << "\n";
            }
            if (c.gamesWithoutKills > 0) {
                out << withoutKillsText(c.gamesWithoutKills) << "\n";
            }
            if (!c.flown.empty()) {
                out << "\n";
                flownTable(c).writeText(out);
            }
            if (!c.victims.empty()) {
                out << "\n";
                victimsTable(c).writeText(out);
            }
            return;
        }
        case Format::Csv:
            careerTable(c).writeCsv(out);
            out << "\r\n";
            flownTable(c).writeCsv(out);
            out << "\r\n";
            victimsTable(c).writeCsv(out);
            return;
        case Format::Json:
            out << careerJson(c, filterText).dump(2) << "\n";
            return;
        case Format::Html:
            writePageStart(out, heading, withoutKillsText(c.gamesWithoutKills));
            writeHtmlTable(out, "Career", careerTable(c));
            writeHtmlTable(out, "Aircraft flown", flownTable(c));
            writeHtmlTable(out, "Victims by aircraft", victimsTable(c));
            writePageEnd(out);
            return;
    }
}

}  // namespace vorskal::league
