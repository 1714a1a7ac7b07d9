#include "league/rescore/rescore_listing.h"

#include <span>
#include <stdexcept>
#include <utility>

#include "base/log_text.h"
#include "results/json_text.h"

namespace vorskal::league {

namespace {

using results::Json;
using results::textJson;

std::string rulesText(const std::map<std::string, std::int64_t>& rules) {
    std::string text;
    for (const auto& [rule, share] : rules) {
        text += (text.empty() ? "" : "; ") + rule + " " + signedPoints(share);
    }
    return text;
}

Json rulesJson(const std::map<std::string, std::int64_t>& rules) {
    Json json = Json::array();
    for (const auto& [rule, share] : rules) {
        json.push_back({{"rule", textJson(rule)}, {"change", share}});
    }
    return json;
}

// A standings row under the standings' own keys, as their JSON has it.
template <typename Row>
Json columnsJson(const Row& row, std::span<const StandingsColumn<Row>> columns) {
    Json json = Json::object();
    for (const StandingsColumn<Row>& column : columns) {
        json[std::string(column.key)] =
            column.number != nullptr ? Json(row.*column.number) : textJson(row.*column.text);
    }
    return json;
}

std::string switchText(const char* name, const std::optional<bool>& on) {
    return on ? std::string(name) + (*on ? " on" : " off") : std::string(name) + " as tallied";
}

TextTable pilotsTable(const Rescored& r) {
    TextTable table{{"Pilot", "Side", "Games", "Old", "New", "Change", "Rules"},
                    {false, false, true, true, true, true, false},
                    {}};
    for (const PilotChange& p : r.pilots) {
        table.rows.push_back({p.now.name, p.now.team, std::to_string(p.now.games),
                              std::to_string(p.oldScore), std::to_string(p.now.score),
                              signedPoints(p.now.score - p.oldScore), rulesText(p.rules)});
    }
    return table;
}

TextTable sidesTable(const Rescored& r) {
    TextTable table{{"Side", "Games", "Won", "Lost", "Drawn", "Old", "New", "Change", "Rules"},
                    {false, true, true, true, true, true, true, true, false},
                    {}};
    for (const SideChange& s : r.sides) {
        table.rows.push_back({s.now.team, std::to_string(s.now.games), std::to_string(s.now.won),
                              std::to_string(s.now.lost), std::to_string(s.now.drawn),
                              std::to_string(s.oldPointsFor), std::to_string(s.now.pointsFor),
                              signedPoints(s.now.pointsFor - s.oldPointsFor), rulesText(s.rules)});
    }
    return table;
}

}  // namespace

void writeRescored(std::ostream& out, const Rescored& r, Format format,
                   const std::string& filterText) {
    switch (format) {
        case Format::Text:
            out << logText("Re-scored with " + r.pointsFile +
                           (filterText.empty() ? "" : " (" + filterText + ")"))
                << ": " << r.games.size() << (r.games.size() == 1 ? " game" : " games") << "; "
                << switchText("multi-death", r.switches.multiDeath) << ", "
                << switchText("fighter-target", r.switches.fighterTarget) << ", "
                << switchText("over-max", r.switches.overMax) << "\n\nPilots\n";
            pilotsTable(r).writeText(out);
            out << "\nSides\n";
            sidesTable(r).writeText(out);
            return;
        case Format::Csv:
            pilotsTable(r).writeCsv(out);
            out << "\r\n";
            sidesTable(r).writeCsv(out);
            return;
        case Format::Json: {
            Json json = {{"formatVersion", kListingFormatVersion},
                         {"pilots", Json::array()},
                         {"sides", Json::array()}};
            for (const PilotChange& p : r.pilots) {
                Json row = columnsJson(p.now, pilotColumns());
                row["oldScore"] = p.oldScore;
                row["change"] = p.now.score - p.oldScore;
                row["rules"] = rulesJson(p.rules);
                json["pilots"].push_back(std::move(row));
            }
            for (const SideChange& s : r.sides) {
                Json row = columnsJson(s.now, sideColumns());
                row["oldPointsFor"] = s.oldPointsFor;
                row["change"] = s.now.pointsFor - s.oldPointsFor;
                row["rules"] = rulesJson(s.rules);
                json["sides"].push_back(std::move(row));
            }
            out << json.dump(2) << "\n";
            return;
        }
        case Format::Html:
            throw std::invalid_argument("rescore writes text, csv or json");
    }
}

}  // namespace vorskal::league
