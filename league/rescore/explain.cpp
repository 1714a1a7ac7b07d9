#include "league/rescore/explain.h"

#include <stdexcept>

#include "base/log_text.h"
#include "league/listings/html_page.h"
#include "league/listings/queries.h"
#include "results/json_text.h"

namespace vorskal::league {

namespace {

using results::Json;
using results::textJson;

}  // namespace

TextTable itemsTable(const std::vector<ScoreItem>& items) {
    TextTable table{
        {"Line", "Time", "Points", "Item", "Rule"}, {true, false, true, false, false}, {}};
    for (const ScoreItem& item : items) {
        table.rows.push_back(
            {item.line == 0 ? "" : std::to_string(static_cast<std::int64_t>(item.line)), item.time,
             signedPoints(item.points), item.detail, item.rule});
    }
    return table;
}

std::optional<GameItems> explainedGame(const results::GameResults& game, bool listsKept) {
    if (unexplainable(game, listsKept)) {
        return std::nullopt;
    }
    try {
        GameItems items = gameItems(game, storedValues(game));
        if (storedFault(game, items).empty()) {
            return items;
        }
    } catch (const std::runtime_error&) {
    }
    return std::nullopt;
}

namespace {

Json itemJson(const ScoreItem& item) {
    Json json = {{"kind", itemKindName(item.kind)},
                 {"points", item.points},
                 {"line", item.line == 0 ? Json() : Json(item.line)},
                 {"time", results::textOrNull(item.time)},
                 {"text", results::textOrNull(item.text)},
                 {"detail", textJson(item.detail)},
                 {"rule", textJson(item.rule)},
                 {"evidence", Json::array()}};
    for (const results::EvidenceLine& line : item.evidence) {
        json["evidence"].push_back({{"line", line.line}, {"text", results::textOrNull(line.text)}});
    }
    return json;
}

std::string heading(const Explanation& e) {
    return e.pilot.name + " (" + std::string(results::sideName(e.pilot.team)) + ") in game " +
           std::to_string(e.game);
}

std::string sumText(const Explanation& e) {
    return "The items add up to " + std::to_string(e.pilot.score) +
           ", his score in the standings (" + std::to_string(e.pilot.kills) + " kills at " +
           std::to_string(e.killPoints) + ", " + std::to_string(e.pilot.deaths) + " deaths at " +
           std::to_string(e.deathPoints) + ", " + std::to_string(e.pilot.targetPoints) +
           " target points).";
}

std::string deductionsText(const Explanation& e) {
    return "His side's over-max deductions come off its final total, not off his score: " +
           std::to_string(e.side.penalty) + " in all.";
}

}  // namespace

Explanation explainPilot(LeagueFile& file, std::int64_t id, const std::string& name,
                         const std::optional<std::string>& team) {
    const StoredGame stored = loadGame(file, id, GameParts::All);
    const results::GameResults& game = stored.results;
    const std::string gameName = "game " + std::to_string(id);
    std::optional<std::size_t> at;
    std::string sides;
    for (std::size_t i = 0; i < game.pilots.size(); ++i) {
        const results::PilotRow& row = game.pilots[i];
        if (row.name != name || (team && *team != results::sideName(row.team))) {
            continue;
        }
        sides += (sides.empty() ? "" : ", ") + std::string(results::sideName(row.team));
        if (!at) {
            at = i;
        }
    }
    if (!at) {
        throw LeagueError(gameName + " has no pilot " + logText(name) +
                          (team ? " on the side " + logText(*team) : std::string()));
    }
    if (sides.find(',') != std::string::npos) {
        throw LeagueError(logText(name) + " flew for more than one side in " + gameName + " (" +
                          sides + "): name the side with --team");
    }
    if (const std::optional<std::string> why = unexplainable(game, stored.listsKept)) {
        throw LeagueError(gameName + ": " + *why);
    }
    GameItems items;
    try {
        items = gameItems(game, storedValues(game));
    } catch (const std::runtime_error& error) {
        throw LeagueError(gameName + ": " + error.what());
    }
    if (const std::string fault = storedFault(game, items); !fault.empty()) {
        throw LeagueError(gameName + ": its items do not add up to its score tables: " + fault);
    }
    Explanation e;
    e.game = id;
    e.key = stored.summary.key;
    e.map = game.settings.map;
    e.killPoints = game.settings.killPoints;
    e.deathPoints = game.settings.deathPoints;
    e.pilot = items.pilots[*at];
    e.storedScore = game.pilots[*at].score;
    e.side = e.pilot.team == results::Side::Allied ? items.allied
             : e.pilot.team == results::Side::Hun  ? items.hun
                                                   : SideItems{};
    return e;
}

void writeExplanation(std::ostream& out, const Explanation& e, Format format) {
    switch (format) {
        case Format::Text:
            out << logText(heading(e)) << ": score " << e.pilot.score << "\n\n";
            itemsTable(e.pilot.items).writeText(out);
            out << "\n" << sumText(e) << "\n";
            if (!e.side.deductions.empty()) {
                out << "\n" << deductionsText(e) << "\n";
                itemsTable(e.side.deductions).writeText(out);
            }
            return;
        case Format::Csv:
            throw std::invalid_argument("explain writes text, json or html");
        case Format::Json: {
            Json json = {{"formatVersion", kListingFormatVersion},
                         {"game", e.game},
                         {"key", e.key},
                         {"pilot", textJson(e.pilot.name)},
                         {"team", results::sideName(e.pilot.team)},
                         {"killPoints", e.killPoints},
                         {"deathPoints", e.deathPoints},
                         {"items", Json::array()},
                         {"score", e.pilot.score},
                         {"sideDeductions", Json::array()}};
            for (const ScoreItem& item : e.pilot.items) {
                json["items"].push_back(itemJson(item));
            }
            for (const ScoreItem& item : e.side.deductions) {
                json["sideDeductions"].push_back(itemJson(item));
            }
            out << json.dump(2) << "\n";
            return;
        }
        case Format::Html:
            writePageStart(out, heading(e), "score " + std::to_string(e.pilot.score));
            writeHtmlTable(out, "Items", itemsTable(e.pilot.items));
            out << "<p>" << sumText(e) << "</p>\n";
            if (!e.side.deductions.empty()) {
                writeHtmlTable(out, deductionsText(e), itemsTable(e.side.deductions));
            }
            writePageEnd(out);
            return;
    }
}

}  // namespace vorskal::league
