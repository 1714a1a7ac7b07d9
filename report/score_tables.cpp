#include "report/score_tables.h"

#include <string>

#include "base/report_layout.h"
#include "base/text.h"

namespace vorskal {
namespace {

std::string describe(const PilotRecord& pilot) {
    return "the score of " + quoted(pilot.name.view());
}

void computeScore(TallyState& state, PilotRecord& pilot) {
    const std::string what = describe(pilot);
    const Count deathPart = checkedMul(pilot.deaths, state.deathPoints, what);
    const Count killPart = checkedMul(pilot.kills, state.killPoints, what);
    const Count sum = checkedAdd(deathPart, killPart, what);
    pilot.score = checkedAdd(sum, pilot.targetPoints, what);
}

// The five numbers of a score row, each followed by its run of dots.
void appendNumbers(std::string& row, const Count (&numbers)[5], const std::string_view (&dots)[5]) {
    for (int i = 0; i < 5; ++i) {
        row += std::to_string(numbers[i]);
        row += dots[i];
    }
}

void writePilotRow(const PilotRecord& pilot, ReportStream& report) {
    std::string row(pilot.name.view());
    row += layout::kNameDots;
    appendNumbers(
        row, {pilot.score, pilot.kills, pilot.deaths, pilot.targetsDestroyed, pilot.targetPoints},
        layout::kRowDots);
    row += pilot.targetLocations;
    report.writeLine(row);
}

void addInto(TotalsRow& totals, const PilotRecord& pilot, const std::string& side) {
    totals.score = checkedAdd(totals.score, pilot.score, "the " + side + " total score");
    totals.kills = checkedAdd(totals.kills, pilot.kills, "the " + side + " total kills");
    totals.deaths = checkedAdd(totals.deaths, pilot.deaths, "the " + side + " total deaths");
    totals.targetsDestroyed = checkedAdd(totals.targetsDestroyed, pilot.targetsDestroyed,
                                         "the " + side + " total targets");
    totals.targetPoints =
        checkedAdd(totals.targetPoints, pilot.targetPoints, "the " + side + " total target points");
}

void writeTotalsLine(std::string_view label, const TotalsRow& totals, ReportStream& report) {
    std::string line(label);
    appendNumbers(
        line,
        {totals.score, totals.kills, totals.deaths, totals.targetsDestroyed, totals.targetPoints},
        layout::kTotalsDots);
    report.writeLine(line);
}

void writeTeamTable(TallyState& state, ReportStream& report, Count team, std::string_view title,
                    std::string_view label, TotalsRow& totals, const std::string& side) {
    report.writeLine(title);
    report.spacer();
    report.writeLine(layout::kTableHeading);
    report.writeLine(layout::kTableRule);
    for (std::size_t slot = 1; slot <= state.pilotCount(); ++slot) {
        PilotRecord& pilot = state.pilot(slot);
        if (pilot.team != team) {
            continue;
        }
        computeScore(state, pilot);
        writePilotRow(pilot, report);
        addInto(totals, pilot, side);
    }
    report.spacer();
    writeTotalsLine(label, totals, report);
}

}  // namespace

void writeScoresSection(TallyState& state, ReportStream& report) {
    report.writeLine(layout::kScoresSection.title);
    report.writeLine(layout::kScoresSection.rule);
    report.spacer();
    writeTeamTable(state, report, kTeamAllied, layout::kAlliedTable, layout::kAlliedTotalsLabel,
                   state.alliedTotals, "Allied");
    report.spacer();
    report.spacer();
    writeTeamTable(state, report, kTeamHun, layout::kHunTable, layout::kHunTotalsLabel,
                   state.hunTotals, "Hun");
    // Pilots of no known side: team 0, and any other code a target gave.
    for (std::size_t slot = 1; slot <= state.pilotCount(); ++slot) {
        PilotRecord& pilot = state.pilot(slot);
        if (pilot.team == kTeamAllied || pilot.team == kTeamHun) {
            continue;
        }
        computeScore(state, pilot);
        report.spacer();
        report.writeLine(layout::kUnknownTeam);
        writePilotRow(pilot, report);
    }
    report.spacer();
    report.spacer();
}

void writeZorlResults(const TallyState& state, ReportStream& report) {
    report.writeLine(layout::kZorlSection.title);
    report.writeLine(layout::kZorlSection.rule);
    const Count allied =
        checkedSub(state.alliedTotals.score, state.alliedOverMaxPenalty, "the Allied final total");
    report.writeLine(std::string(layout::kAlliedFinalLabel) + std::to_string(allied));
    const std::int64_t hun =
        checkedSub64(state.hunTotals.score, state.run.hunOverMaxPenalty, "the Hun final total");
    report.writeLine(std::string(layout::kHunFinalLabel) + std::to_string(hun));
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
