// The score tables: one per side and one of the pilots whose team could not
// be determined, with the report's numbers and the sides' totals, then the
// ZORL block.
#include "html/html_text.h"
#include "html/page_parts.h"

namespace vorskal::html {
namespace {

void appendHeadings(std::string& out) {
    out +=
        "<thead><tr><th scope=\"col\">Pilot</th><th scope=\"col\" class=\"n\">Score</th>"
        "<th scope=\"col\" class=\"n\">Kills</th><th scope=\"col\" class=\"n\">Deaths</th>"
        "<th scope=\"col\" class=\"n\">Targets</th>"
        "<th scope=\"col\" class=\"n\">Target points</th>"
        "<th scope=\"col\">Locations</th></tr></thead>";
}

void appendRow(std::string& out, const results::PilotRow& pilot) {
    out += "<tr>";
    appendElement(out, "th", "scope=\"row\"", pilot.name);
    appendNumberCell(out, pilot.score);
    appendNumberCell(out, pilot.kills);
    appendNumberCell(out, pilot.deaths);
    appendNumberCell(out, pilot.targetsDestroyed);
    appendNumberCell(out, pilot.targetPoints);
    std::string locations;
    for (const auto& key : pilot.locations) {
        locations += (locations.empty() ? "" : ", ") + key;
    }
    appendElement(out, "td", "", locations);
    out += "</tr>";
}

// One table of the pilots of `side`; `totals` gives its footer, when any.
void appendTable(std::string& out, const results::GameResults& game, results::Side side,
                 const char* id, const char* caption, const results::TeamTotals* totals) {
    out += "<table class=\"sortable scores\" id=\"";
    out += id;
    out += "\">";
    appendElement(out, "caption", "", caption);
    appendHeadings(out);
    out += "<tbody>";
    bool any = false;
    for (const auto& pilot : game.pilots) {
        if (pilot.team == side) {
            appendRow(out, pilot);
            any = true;
        }
    }
    if (!any) {
        out += "<tr><td colspan=\"7\" class=\"muted\">No pilots.</td></tr>";
    }
    out += "</tbody>";
    if (totals != nullptr) {
        out += "<tfoot><tr><th scope=\"row\">";
        appendText(out, std::string(results::sideName(side)) + " Totals");
        out += "</th>";
        appendNumberCell(out, totals->score);
        appendNumberCell(out, totals->kills);
        appendNumberCell(out, totals->deaths);
        appendNumberCell(out, totals->targetsDestroyed);
        appendNumberCell(out, totals->targetPoints);
        out += "<td></td></tr></tfoot>";
    }
    out += "</table>";
}

void appendZorlRow(std::string& out, const char* side, const results::TeamTotals& totals) {
    out += "<tr>";
    appendElement(out, "th", "scope=\"row\"", side);
    appendNumberCell(out, totals.score);
    appendNumberCell(out, totals.overMaxPenalty);
    appendNumberCell(out, totals.final);
    out += "</tr>";
}

}  // namespace

void appendScores(std::string& out, const results::GameResults& game) {
    out += "<section id=\"scores\">";
    appendElement(out, "h2", "", "Scores");
    appendTable(out, game, results::Side::Allied, "scores-allied", "Allied", &game.allied);
    appendTable(out, game, results::Side::Hun, "scores-hun", "Hun", &game.hun);
    bool unknown = false;
    for (const auto& pilot : game.pilots) {
        unknown = unknown || pilot.team == results::Side::Unknown;
    }
    if (unknown) {
        appendTable(out, game, results::Side::Unknown, "scores-unknown",
                    "Unable to determine team (added to no total)", nullptr);
    }
    appendElement(out, "h3", "", "ZORL Scoring Results (includes corrections if enabled)");
    out +=
        "<table class=\"zorl\" id=\"zorl\"><thead><tr><th scope=\"col\">Side</th>"
        "<th scope=\"col\" class=\"n\">Score</th>"
        "<th scope=\"col\" class=\"n\">Over-max deduction</th>"
        "<th scope=\"col\" class=\"n\">Total</th></tr></thead><tbody>";
    appendZorlRow(out, "Allied", game.allied);
    appendZorlRow(out, "Hun", game.hun);
    out += "</tbody></table></section>";
}

}  // namespace vorskal::html
