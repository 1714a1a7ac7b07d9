// The page's header with the final totals, the checks' warnings and the
// table of the files the run read.
#include <algorithm>
#include <vector>

#include "html/html_text.h"
#include "html/page_parts.h"
#include "results/accepted_findings.h"

namespace vorskal::html {
namespace {

void appendFact(std::string& out, std::string_view name, std::string_view value) {
    appendElement(out, "dt", "", name);
    appendElement(out, "dd", "", value.empty() ? std::string_view("not known") : value);
}

const char* onOff(bool on) {
    return on ? "on" : "off";
}

void appendTotal(std::string& out, const char* cls, const char* side,
                 const results::TeamTotals& totals) {
    out += "<div class=\"total ";
    out += cls;
    out += "\" id=\"total-";
    out += cls;
    out += "\">";
    appendElement(out, "div", "class=\"side\"", std::string(side) + " Total");
    out += "<div class=\"value\">";
    appendNumber(out, totals.final);
    out += "</div>";
    appendElement(out, "div", "class=\"note\"",
                  "score " + std::to_string(totals.score) + " less " +
                      std::to_string(totals.overMaxPenalty) + " for over-max pilots");
    out += "</div>";
}

}  // namespace

void appendHeader(std::string& out, const results::GameResults& game) {
    out += "<header>";
    appendElement(out, "h1", "", "ZORL Scoring Results");
    // What a pilot reads first: the map, the day and times, the totals.
    std::string played = game.settings.map.empty() ? "Map not known" : game.settings.map;
    if (!game.gameDate.empty()) {
        played += ", " + game.gameDate;
    }
    if (!game.firstTime.empty() || !game.lastTime.empty()) {
        played += ", " + game.firstTime + " to " + game.lastTime;
    }
    appendElement(out, "p", "class=\"game\"", played);
    out += "<div class=\"totals\">";
    appendTotal(out, "allied", "Allied", game.allied);
    appendTotal(out, "hun", "Hun", game.hun);
    out += "</div>";
    // How the tally ran, for the administrator.
    out += "<details class=\"run\" id=\"run\"><summary>How this game was tallied</summary>";
    out += "<dl class=\"facts\">";
    appendFact(out, "Tallied", game.run.startedAt);
    appendFact(out, "Folder", game.run.directory);
    const auto& run = game.run;
    appendFact(out, "Options",
               std::string("Over Max Pilot Correction ") + onOff(run.overMaxPilotCorrection) +
                   "; Multi-Death Bug Correction " + onOff(run.multiDeathCorrection) +
                   "; Fighter Destroyed Target Correction " + onOff(run.fighterTargetCorrection) +
                   "; Tally Only Red Boxed Targets " + onOff(run.redBoxedOnly));
    appendFact(out, "Points",
               std::to_string(game.settings.killPoints) + " a kill, " +
                   std::to_string(game.settings.deathPoints) + " a death");
    out += "</dl></details></header>";
}

namespace {

std::string findingPlace(const results::Warning& warning) {
    std::string where = warning.file;
    if (warning.line != 0) {
        where += (where.empty() ? "line " : ", line ") + std::to_string(warning.line);
    }
    return where;
}

}  // namespace

void appendWarnings(std::string& out, const results::GameResults& game, const PageLimits& limits) {
    std::vector<const results::Warning*> open;
    std::vector<const results::Warning*> accepted;
    for (const auto& warning : game.warnings) {
        (warning.accepted ? accepted : open).push_back(&warning);
    }
    if (!open.empty()) {
        out += "<section id=\"warnings\" class=\"warnings\">";
        appendElement(out, "h2", "", "Warnings (" + std::to_string(open.size()) + ")");
        const std::size_t shown = std::min(open.size(), limits.warnings);
        if (shown < open.size()) {
            std::map<std::string, std::size_t> counts;
            for (const auto* warning : open) {
                ++counts[warning->code];
            }
            appendCounts(out, counts, "Warning");
        }
        out += "<ul>";
        for (std::size_t i = 0; i < shown; ++i) {
            const auto& warning = *open[i];
            out += "<li>";
            if (const std::string where = findingPlace(warning); !where.empty()) {
                appendElement(out, "strong", "", where + ": ");
            }
            appendText(out, warning.message);
            appendElement(out, "span", "class=\"muted\"",
                          " [" + results::printedKey(warning) + "]");
            out += "</li>";
        }
        out += "</ul>";
        appendNotShown(out, shown, open.size(), "warnings");
        out += "</section>";
    }
    if (!accepted.empty()) {
        // Known to the administrator: listed quietly, by key and place.
        out += "<details class=\"accepted\" id=\"accepted-findings\"><summary>";
        appendText(out, std::to_string(accepted.size()) +
                            (accepted.size() == 1 ? " accepted finding" : " accepted findings") +
                            " (" + std::string(results::kAcceptedFindingsName) + ")");
        out += "</summary><ul>";
        const std::size_t shown = std::min(accepted.size(), limits.warnings);
        for (std::size_t i = 0; i < shown; ++i) {
            out += "<li>";
            appendElement(out, "strong", "", results::printedKey(*accepted[i]));
            const std::string where = findingPlace(*accepted[i]);
            appendText(out, (where.empty() ? ": " : " (" + where + "): ") + accepted[i]->message);
            out += "</li>";
        }
        out += "</ul>";
        appendNotShown(out, shown, accepted.size(), "accepted findings");
        out += "</details>";
    }
}

void appendFiles(std::string& out, const results::GameResults& game) {
    out += "<section id=\"files\">";
    appendElement(out, "h2", "", "Files read");
    out +=
        "<table><thead><tr><th scope=\"col\">File</th><th scope=\"col\" class=\"n\">Bytes</th>"
        "<th scope=\"col\" class=\"n\">Lines</th><th scope=\"col\">SHA-256</th></tr></thead>"
        "<tbody>";
    for (const auto& file : game.inputs) {
        out += "<tr>";
        appendElement(out, "td", "", file.name);
        appendNumberCell(out, static_cast<std::int64_t>(file.bytes));
        appendNumberCell(out, static_cast<std::int64_t>(file.lines));
        if (file.sha256.empty()) {
            out += "<td class=\"muted\">not computed</td></tr>";
        } else {
            out += "<td>";
            appendElement(out, "code", "", file.sha256);
            out += "</td></tr>";
        }
    }
    if (game.inputs.empty()) {
        out += "<tr><td colspan=\"4\" class=\"muted\">Not known.</td></tr>";
    }
    out += "</tbody></table></section>";
}

}  // namespace vorskal::html
