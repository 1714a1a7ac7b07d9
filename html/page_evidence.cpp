// The evidence behind the numbers: the over-max stretches, the corrections
// with their log lines and the points they moved, and the targets that were
// not credited with the reason why. Long lists show their first entries
// and count the rest, with a count per kind or reason of them all.
#include <algorithm>
#include <map>

#include "html/html_text.h"
#include "html/page_parts.h"

namespace vorskal::html {
namespace {

std::string kindText(results::CorrectionKind kind) {
    switch (kind) {
        case results::CorrectionKind::MultiDeath:
            return "Multi-death";
        case results::CorrectionKind::FighterTarget:
            return "Target destroyed by a fighter";
        case results::CorrectionKind::OverMax:
            break;
    }
    return "Over-max pilots";
}

std::string fieldText(results::MoveField field) {
    switch (field) {
        case results::MoveField::TargetsDestroyed:
            return "targets destroyed";
        case results::MoveField::TargetPoints:
            return "target points";
        case results::MoveField::OverMaxPenalty:
            return "over-max deduction";
        case results::MoveField::Kills:
        case results::MoveField::Deaths:
            break;
    }
    return std::string(results::fieldName(field));
}

void appendCorrection(std::string& out, const results::Correction& correction) {
    out += correction.applied ? "<article class=\"correction applied\">"
                              : "<article class=\"correction\">";
    appendElement(out, "h3", "",
                  kindText(correction.kind) +
                      (correction.applied ? " (applied)" : " (reported only, nothing moved)"));
    if (!correction.note.empty()) {
        appendElement(out, "p", "", correction.note);
    }
    out += "<ul class=\"evidence\">";
    for (const auto& line : correction.evidence) {
        out += "<li class=\"line\">";
        appendElement(out, "span", "class=\"at\"", "line " + std::to_string(line.line));
        appendText(out, line.text);
        out += "</li>";
    }
    out += "</ul>";
    if (!correction.moves.empty()) {
        out +=
            "<table class=\"moves\"><thead><tr><th scope=\"col\">Pilot</th>"
            "<th scope=\"col\">Side</th><th scope=\"col\">Changed</th>"
            "<th scope=\"col\" class=\"n\">By</th>"
            "<th scope=\"col\" class=\"n\">Points to the side's total</th></tr></thead><tbody>";
        for (const auto& move : correction.moves) {
            out += "<tr>";
            appendElement(out, "td", "", move.pilot.empty() ? "(the side)" : move.pilot);
            appendElement(out, "td", "", results::sideName(move.team));
            appendElement(out, "td", "", fieldText(move.field));
            appendNumberCell(out, move.by);
            appendNumberCell(out, move.points);
            out += "</tr>";
        }
        out += "</tbody></table>";
    }
    out += "</article>";
}

}  // namespace

std::string correctionGroup(const results::Correction& correction) {
    return kindText(correction.kind) + (correction.applied ? "" : " (reported only)");
}

void appendOverMaxTable(std::string& out, const results::GameResults& game,
                        const PageLimits& limits) {
    if (game.overMax.empty()) {
        return;
    }
    out +=
        "<table class=\"sortable\" id=\"over-max\"><caption>Over the limit of 16</caption>"
        "<thead><tr><th scope=\"col\" class=\"n\">#</th><th scope=\"col\">Side</th><th "
        "scope=\"col\" class=\"n\">Pilot</th>"
        "<th scope=\"col\">From</th><th scope=\"col\">To</th>"
        "<th scope=\"col\" class=\"n\">Minutes</th>"
        "<th scope=\"col\" class=\"n\">Points deducted</th></tr></thead><tbody>";
    const std::size_t shown = std::min(game.overMax.size(), limits.stretches);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto& stretch = game.overMax[i];
        out += "<tr>";
        appendNumberCell(out, static_cast<std::int64_t>(i + 1));
        appendElement(out, "td", "", results::sideName(stretch.side));
        appendElement(out, "td", "class=\"n\"", std::to_string(stretch.pilotNumber) + "th");
        appendElement(out, "td", "", stretch.start);
        appendElement(out, "td", "", stretch.end);
        // The minutes to a tenth; the report's own figure in the tooltip.
        out += "<td class=\"n\" title=\"";
        appendText(out, minutesText(stretch.minutes));
        out += "\" data-value=\"";
        appendText(out, minutesText(stretch.minutes));
        out += "\">";
        appendText(out, minutesRounded(stretch.minutes));
        out += "</td>";
        appendNumberCell(out, stretch.points);
        out += "</tr>";
    }
    out += "</tbody></table>";
    appendNotShown(out, shown, game.overMax.size(), "stretches");
}

void appendCorrections(std::string& out, const ShownCorrections& corrections) {
    out += "<section id=\"corrections\">";
    appendElement(out, "h2", "", "Corrections (" + std::to_string(corrections.total) + ")");
    if (corrections.total == 0) {
        appendElement(out, "p", "", "No corrections.");
    }
    if (corrections.first.size() < corrections.total) {
        appendCounts(out, corrections.counts, "Kind");
    }
    for (const results::Correction& correction : corrections.first) {
        appendCorrection(out, correction);
    }
    appendNotShown(out, corrections.first.size(), corrections.total, "corrections");
    out += "</section>";
}

void appendRedBoxNotes(std::string& out, const ShownNotCredited& targets) {
    out += "<section id=\"red-box\">";
    appendElement(out, "h2", "", "Targets not credited (" + std::to_string(targets.total) + ")");
    if (targets.total == 0) {
        appendElement(out, "p", "", "Every target destroyed was credited.");
        out += "</section>";
        return;
    }
    appendCounts(out, targets.counts, "Why");
    out +=
        "<table class=\"sortable\" id=\"not-credited\"><thead><tr>"
        "<th scope=\"col\" class=\"n\">Line</th><th scope=\"col\">Location</th>"
        "<th scope=\"col\">Target</th><th scope=\"col\">Side</th>"
        "<th scope=\"col\" class=\"n\">Points</th><th scope=\"col\">Red boxed</th>"
        "<th scope=\"col\">Why</th><th scope=\"col\">Log line</th></tr></thead><tbody>";
    for (const results::TargetRow& target : targets.first) {
        out += "<tr>";
        appendNumberCell(out, static_cast<std::int64_t>(target.line));
        appendElement(out, "td", "", target.key);
        appendElement(out, "td", "", target.targetType.empty() ? "not listed" : target.targetType);
        appendElement(out, "td", "", results::sideName(target.team));
        appendNumberCell(out, target.points);
        appendElement(out, "td", "", target.redBoxed ? "yes" : "no");
        appendElement(out, "td", "", target.reason);
        appendElement(out, "td", "class=\"line\"", target.text);
        out += "</tr>";
    }
    out += "</tbody></table>";
    appendNotShown(out, targets.first.size(), targets.total, "targets not credited");
    out += "</section>";
}

}  // namespace vorskal::html
