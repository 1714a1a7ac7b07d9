#include "league/listings/matchups_listing.h"

#include "base/counted.h"
#include "base/log_text.h"
#include "league/listings/career_listing.h"
#include "league/listings/html_page.h"
#include "results/json_text.h"
#include "results/json_writer.h"

namespace vorskal::league {

namespace {

using results::Json;
using results::textJson;

std::string title(const std::string& filterText) {
    return filterText.empty() ? "Matchups" : "Matchups (" + filterText + ")";
}

}  // namespace

TextTable aircraftMatchupsTable(const Matchups& matchups) {
    TextTable table;
    table.header = {"Killer's aircraft", "Victim's aircraft", "Kills"};
    table.numeric = {false, false, true};
    for (const AircraftMatchup& m : matchups.aircraft) {
        table.rows.push_back({m.killer, m.victim, std::to_string(m.kills)});
    }
    return table;
}

TextTable pilotPairsTable(const Matchups& matchups) {
    TextTable table;
    table.header = {"Pilot", "Opponent", "Kills", "Killed by", "Between them"};
    table.numeric = {false, false, true, true, true};
    for (const PilotPair& p : matchups.pairs) {
        table.rows.push_back({p.first, p.second, std::to_string(p.firstOverSecond),
                              std::to_string(p.secondOverFirst),
                              std::to_string(p.firstOverSecond + p.secondOverFirst)});
    }
    return table;
}

void writeMatchups(std::ostream& out, const Matchups& matchups, Format format,
                   const std::string& filterText) {
    const std::string without = withoutKillsText(matchups.gamesWithoutKills);
    switch (format) {
        case Format::Text:
            out << logText(title(filterText)) << ": " << counted(matchups.games, "game") << "\n";
            if (!without.empty()) {
                out << without << "\n";
            }
            out << "\nAircraft against aircraft\n";
            aircraftMatchupsTable(matchups).writeText(out);
            out << "\nPilot pairs with most kills between them\n";
            pilotPairsTable(matchups).writeText(out);
            return;
        case Format::Csv:
            aircraftMatchupsTable(matchups).writeCsv(out);
            out << "\r\n";
            pilotPairsTable(matchups).writeCsv(out);
            return;
        case Format::Json: {
            Json json = {{"formatVersion", kListingFormatVersion},
                         {"filter", textJson(filterText)},
                         {"games", matchups.games},
                         {"gamesWithoutKills", matchups.gamesWithoutKills},
                         {"aircraft", Json::array()},
                         {"pairs", Json::array()}};
            for (const AircraftMatchup& m : matchups.aircraft) {
                json["aircraft"].push_back({{"killerAircraft", textJson(m.killer)},
                                            {"victimAircraft", textJson(m.victim)},
                                            {"kills", m.kills}});
            }
            for (const PilotPair& p : matchups.pairs) {
                json["pairs"].push_back({{"pilot", textJson(p.first)},
                                         {"opponent", textJson(p.second)},
                                         {"kills", p.firstOverSecond},
                                         {"killedBy", p.secondOverFirst}});
            }
            out << json.dump(2) << "\n";
            return;
        }
        case Format::Html:
            writePageStart(out, title(filterText), counted(matchups.games, "game"));
            writeHtmlTable(out, "Aircraft against aircraft", aircraftMatchupsTable(matchups));
            writeHtmlTable(out, "Pilot pairs", pilotPairsTable(matchups));
            writePageEnd(out);
            return;
    }
}

}  // namespace vorskal::league
