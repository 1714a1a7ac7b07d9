#include "league/listings/listing.h"
#include "base/counted.h"

#include <nlohmann/json.hpp>
#include <sstream>

#include "base/log_text.h"
#include "league/listings/html_page.h"
#include "league/listings/standings.h"
#include "league/listings/text_table.h"
#include "league/store/game_store.h"
#include "results/json_text.h"
#include "results/json_writer.h"

namespace vorskal::league {

namespace {

using ordered_json = results::Json;
using results::textJson;

std::string str(std::int64_t n) {
    return std::to_string(n);
}

// Every text of the game's files is in it by the one text rule (textJson).
void writeJson(std::ostream& out, const ordered_json& json) {
    out << json.dump(2) << "\n";
}

// The standings list the pilots of each side, then those of no known side.
const results::Side kSideGroups[] = {results::Side::Allied, results::Side::Hun,
                                     results::Side::Unknown};

std::string groupTitle(results::Side side) {
    return side == results::Side::Unknown ? "Pilots of no known side"
                                          : std::string(results::sideName(side)) + " pilots";
}

// A standings row as the JSON has it: every column under its key, texts by
// the one text rule.
template <typename Row>
ordered_json standingJson(const Row& row, std::span<const StandingsColumn<Row>> columns) {
    ordered_json json = ordered_json::object();
    for (const StandingsColumn<Row>& column : columns) {
        json[std::string(column.key)] = column.number != nullptr ? ordered_json(row.*column.number)
                                                                 : textJson(row.*column.text);
    }
    return json;
}

std::int64_t gamesOf(const Standings& standings) {
    return standings.sides.empty() ? 0 : standings.sides.front().games;
}

std::string title(const std::string& what, const std::string& filterText) {
    return filterText.empty() ? what : what + " (" + filterText + ")";
}

TextTable gamesTable(const std::vector<GameSummary>& games) {
    TextTable table;
    table.header = {"Game",   "Key",         "Played",   "Map",    "Allied", "Hun",
                    "Pilots", "Corrections", "Warnings", "Origin", "Season"};
    table.numeric = {true, false, false, false, true, true, true, true, true, false, false};
    for (const GameSummary& g : games) {
        table.rows.push_back({str(g.id), g.key.substr(0, 12), g.playedOn.empty() ? "?" : g.playedOn,
                              g.map, str(g.alliedFinal), str(g.hunFinal), str(g.pilots),
                              str(g.corrections), str(g.warnings), g.origin, g.season});
    }
    return table;
}

ordered_json summaryJson(const GameSummary& g) {
    return {{"id", g.id},
            {"key", g.key},
            {"origin", g.origin},
            {"playedOn", results::textOrNull(g.playedOn)},
            {"gameDate", textJson(g.gameDate)},
            {"map", textJson(g.map)},
            {"alliedTotal", g.alliedFinal},
            {"hunTotal", g.hunFinal},
            {"pilots", g.pilots},
            {"corrections", g.corrections},
            {"warnings", g.warnings},
            {"recordedAt", g.recordedAt},
            {"season", g.season}};
}

std::string joinedLocations(const results::PilotRow& row) {
    std::string joined;
    for (const std::string& key : row.locations) {
        joined += (joined.empty() ? "" : ",") + key;
    }
    return joined;
}

TextTable gameTable(const results::GameResults& game) {
    TextTable table;
    table.header = {"Pilot",  "Side",    "Score",         "Kills",
                    "Deaths", "Targets", "Target points", "Locations"};
    table.numeric = {false, false, true, true, true, true, true, false};
    for (const results::PilotRow& row : game.pilots) {
        table.rows.push_back({row.name, std::string(results::sideName(row.team)), str(row.score),
                              str(row.kills), str(row.deaths), str(row.targetsDestroyed),
                              str(row.targetPoints), joinedLocations(row)});
    }
    return table;
}

TextTable totalsTable(const results::GameResults& game) {
    TextTable table;
    table.header = {
        "Side", "Score", "Kills", "Deaths", "Targets", "Target points", "Over-max penalty",
        "Final"};
    table.numeric = {false, true, true, true, true, true, true, true};
    const auto row = [&](std::string_view side, const results::TeamTotals& t) {
        table.rows.push_back({std::string(side), str(t.score), str(t.kills), str(t.deaths),
                              str(t.targetsDestroyed), str(t.targetPoints), str(t.overMaxPenalty),
                              str(t.final)});
    };
    row(results::sideName(results::Side::Allied), game.allied);
    row(results::sideName(results::Side::Hun), game.hun);
    return table;
}

TextTable correctionsTable(const results::GameResults& game) {
    TextTable table;
    table.header = {"Correction", "Applied", "Note", "Evidence"};
    for (const results::Correction& c : game.corrections) {
        std::string evidence;
        for (const results::EvidenceLine& line : c.evidence) {
            evidence += (evidence.empty() ? "" : " | ") + line.text;
        }
        table.rows.push_back(
            {std::string(results::kindName(c.kind)), c.applied ? "yes" : "no", c.note, evidence});
    }
    return table;
}

TextTable warningsTable(const results::GameResults& game) {
    TextTable table;
    table.header = {"Warning", "File", "Line", "Accepted", "Message"};
    table.numeric = {false, false, true, false, false};
    for (const results::Warning& w : game.warnings) {
        table.rows.push_back({w.code, w.file, w.line == 0 ? "" : std::to_string(w.line),
                              w.accepted ? "yes" : "no", w.message});
    }
    return table;
}

std::string optionsText(const results::RunFacts& run) {
    const auto flag = [](bool on) { return on ? "on" : "off"; };
    return std::string("over-max correction ") + flag(run.overMaxPilotCorrection) +
           ", multi-death correction " + flag(run.multiDeathCorrection) +
           ", fighter-target correction " + flag(run.fighterTargetCorrection) +
           ", red-boxed targets only " + flag(run.redBoxedOnly);
}

// The game as the results' JSON writes it (docs/results.md), without the
// lists the league does not keep, and the league's own facts under "league".
ordered_json gameJson(const StoredGame& stored) {
    const GameSummary& g = stored.summary;
    std::ostringstream text;
    results::writeJson(stored.results, text);
    ordered_json written = ordered_json::parse(text.str());
    ordered_json json = {{"formatVersion", kShowFormatVersion},
                         {"league",
                          {{"id", g.id},
                           {"key", g.key},
                           {"season", g.season},
                           {"origin", g.origin},
                           {"playedOn", results::textOrNull(g.playedOn)},
                           {"recordedAt", g.recordedAt},
                           {"reportSha256", results::textOrNull(stored.reportSha256)}}}};
    for (auto& [name, value] : written.items()) {
        // The report's key and SHA-256 are the league's "key" and "reportSha256".
        if (name != "formatVersion" && name != "report" && name != "targets" && name != "arena" &&
            name != "kills" && name != "timeline") {
            json[name] = std::move(value);
        }
    }
    return json;
}

}  // namespace

std::string describeFilter(const GameFilter& filter) {
    std::string text;
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (filter.season) {
        add("season " + *filter.season);
    } else {
        add("all seasons");
    }
    if (filter.map) {
        add("map " + *filter.map);
    }
    if (filter.from) {
        add("from " + *filter.from);
    }
    if (filter.to) {
        add("to " + *filter.to);
    }
    return text;
}

void writeStandings(std::ostream& out, const Standings& standings, Format format,
                    const std::string& filterText) {
    switch (format) {
        case Format::Text: {
            out << logText(title("Standings", filterText)) << ": "
                << counted(gamesOf(standings), "game") << "\n";
            for (const results::Side side : kSideGroups) {
                const TextTable table = sidePilotsTable(standings.pilots, results::sideName(side));
                if (!table.rows.empty()) {
                    out << "\n" << groupTitle(side) << "\n";
                    table.writeText(out);
                }
            }
            out << "\nSides\n";
            sideStandingsTable(standings.sides).writeText(out);
            return;
        }
        case Format::Csv:
            pilotStandingsTable(standings.pilots).writeCsv(out);
            out << "\r\n";
            sideStandingsTable(standings.sides).writeCsv(out);
            return;
        case Format::Json: {
            ordered_json json = {{"formatVersion", kListingFormatVersion},
                                 {"pilots", ordered_json::array()},
                                 {"sides", ordered_json::array()}};
            for (const PilotStanding& p : standings.pilots) {
                json["pilots"].push_back(standingJson(p, pilotColumns()));
            }
            for (const SideStanding& s : standings.sides) {
                json["sides"].push_back(standingJson(s, sideColumns()));
            }
            writeJson(out, json);
            return;
        }
        case Format::Html: {
            writePageStart(out, title("League standings", filterText),
                           std::to_string(gamesOf(standings)) + " games");
            out << "<h2>Sides</h2>\n";
            writeHtmlTable(out, "", sideStandingsTable(standings.sides));
            out << "<h2>Pilots</h2>\n";
            for (const results::Side side : kSideGroups) {
                const TextTable table = sidePilotsTable(standings.pilots, results::sideName(side));
                if (!table.rows.empty()) {
                    writeHtmlTable(out, groupTitle(side), table);
                }
            }
            writePageEnd(out);
            return;
        }
    }
}

void writeGames(std::ostream& out, const std::vector<GameSummary>& games, Format format,
                const std::string& filterText) {
    switch (format) {
        case Format::Text:
            out << logText(title("Games", filterText)) << ": " << games.size() << "\n";
            gamesTable(games).writeText(out);
            return;
        case Format::Csv: {
            TextTable table = gamesTable(games);
            for (std::size_t i = 0; i < games.size(); ++i) {
                table.rows[i][1] = games[i].key;  // the whole key for programs
            }
            table.writeCsv(out);
            return;
        }
        case Format::Json: {
            ordered_json json = {{"formatVersion", kListingFormatVersion},
                                 {"games", ordered_json::array()}};
            for (const GameSummary& g : games) {
                json["games"].push_back(summaryJson(g));
            }
            writeJson(out, json);
            return;
        }
        case Format::Html:
            writePageStart(out, title("League games", filterText),
                           std::to_string(games.size()) + " games");
            writeHtmlTable(out, "", gamesTable(games));
            writePageEnd(out);
            return;
    }
}

void writeGame(std::ostream& out, const StoredGame& stored, Format format) {
    const GameSummary& g = stored.summary;
    const results::GameResults& game = stored.results;
    const std::string heading = "Game " + std::to_string(g.id) + ", map " + g.map + ", played " +
                                (g.playedOn.empty() ? "on an unknown day" : "on " + g.playedOn);
    switch (format) {
        case Format::Text:
            out << logText(heading) << "\nKey " << g.key << " (" << g.origin << ", season "
                << logText(g.season) << ", recorded " << g.recordedAt
                << ")\nOptions: " << optionsText(game.run) << "\nPoints: kill "
                << game.settings.killPoints << ", death " << game.settings.deathPoints << "\n\n";
            totalsTable(game).writeText(out);
            out << "\n";
            gameTable(game).writeText(out);
            if (!game.corrections.empty()) {
                out << "\n";
                correctionsTable(game).writeText(out);
            }
            if (!game.warnings.empty()) {
                out << "\n";
                warningsTable(game).writeText(out);
            }
            return;
        case Format::Csv:
            gameTable(game).writeCsv(out);
            return;
        case Format::Json:
            writeJson(out, gameJson(stored));
            return;
        case Format::Html:
            writePageStart(out, heading, optionsText(game.run));
            writeHtmlTable(out, "Totals", totalsTable(game));
            writeHtmlTable(out, "Score table", gameTable(game));
            if (!game.corrections.empty()) {
                writeHtmlTable(out, "Corrections", correctionsTable(game));
            }
            if (!game.warnings.empty()) {
                writeHtmlTable(out, "Warnings", warningsTable(game));
            }
            writePageEnd(out);
            return;
    }
}

void writeFindings(std::ostream& out, const Findings& findings, const std::string& leaguePath) {
    for (const Findings::Twins& pair : findings.twins) {
        out << "Probably the same game: games " << pair.first << " and " << pair.second
            << " (played " << pair.playedOn << " on " << logText(pair.map)
            << ", the same pilots' rows under two keys); remove one with: vorskal-league "
            << leaguePath << " remove GAME\n";
    }
    for (const SharedLogs& pair : findings.sharedLogs) {
        out << "The same logs: games " << pair.first << " and " << pair.second;
        if (pair.sameLog) {
            out << " were tallied from the same merged log with other settings";
        } else {
            out << ": game " << pair.shorter << " was tallied from the first " << pair.lines
                << " lines of the other's logs";
        }
        out << "; remove one with: vorskal-league " << leaguePath << " remove GAME\n";
    }
    for (const Findings::Conflict& conflict : findings.conflicts) {
        out << "Conflict: game " << conflict.id << ": " << logText(conflict.source)
            << " brought its key or report with other contents on " << conflict.arrivedAt << " ("
            << logText(conflict.differences)
            << "); one of the two is not what its tally wrote: if game " << conflict.id
            << " is the wrong one, remove it and record the right one\n";
    }
    for (const Findings::UnknownDay& day : findings.unknownDays) {
        out << "Day unknown: game " << day.id << ": " << logText(day.why) << "\n";
    }
    for (const GameSummary& game : findings.removed) {
        out << "Removed: game " << game.id << " (" << logText(game.map) << ", "
            << (game.playedOn.empty() ? "day unknown" : game.playedOn) << "); vorskal-league "
            << leaguePath << " restore " << game.id << " puts it back\n";
    }
    if (findings.twins.empty() && findings.sharedLogs.empty() && findings.unknownDays.empty() &&
        findings.conflicts.empty()) {
        out << "No game counted twice, and every game's day is known\n";
    }
}

}  // namespace vorskal::league
