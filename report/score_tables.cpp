#include "report/score_tables.h"

#include <string>

#include "base/text.h"

namespace vorskal {
namespace {

constexpr std::string_view kTableHeading =
    "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)";
constexpr std::string_view kTableRule =
    "--------------------------------------------------------------------";

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

void writePilotRow(const PilotRecord& pilot, ReportStream& report) {
    std::string row(pilot.name.view());
    row += ".....";
    row += std::to_string(pilot.score) + ".........";
    row += std::to_string(pilot.kills) + ".......";
    row += std::to_string(pilot.deaths) + "........";
    row += std::to_string(pilot.targetsDestroyed) + "...";
    row += std::to_string(pilot.targetPoints) + "...";
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
    line += std::to_string(totals.score) + "........";
    line += std::to_string(totals.kills) + ".......";
    line += std::to_string(totals.deaths) + "........";
    line += std::to_string(totals.targetsDestroyed) + "...";
    line += std::to_string(totals.targetPoints) + "...";
    report.writeLine(line);
}

void writeTeamTable(TallyState& state, ReportStream& report, Count team, std::string_view title,
                    std::string_view label, TotalsRow& totals, const std::string& side) {
    report.writeLine(title);
    report.spacer();
    report.writeLine(kTableHeading);
    report.writeLine(kTableRule);
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
    report.writeLine("6. Report scores.");
    report.writeLine("-----------------");
    report.spacer();
    writeTeamTable(state, report, kTeamAllied, "*Allied*", "Allied Totals:......",
                   state.alliedTotals, "Allied");
    report.spacer();
    report.spacer();
    writeTeamTable(state, report, kTeamHun, "*Hun*", "Hun Totals:.........", state.hunTotals,
                   "Hun");
    // Pilots of no known side: team 0, and any other code a target gave.
    for (std::size_t slot = 1; slot <= state.pilotCount(); ++slot) {
        PilotRecord& pilot = state.pilot(slot);
        if (pilot.team == kTeamAllied || pilot.team == kTeamHun) {
            continue;
        }
        computeScore(state, pilot);
        report.spacer();
        report.writeLine("Unable to determine team");
        writePilotRow(pilot, report);
    }
    report.spacer();
    report.spacer();
}

void writeZorlResults(const TallyState& state, ReportStream& report) {
    report.writeLine("ZORL Scoring Results (includes corrections if enabled)");
    report.writeLine("-----------------------------------------------------------");
    const Count allied =
        checkedSub(state.alliedTotals.score, state.alliedOverMaxPenalty, "the Allied final total");
    report.writeLine("Allied Total:..." + std::to_string(allied));
    const std::int64_t hun =
        checkedSub64(state.hunTotals.score, state.run.hunOverMaxPenalty, "the Hun final total");
    report.writeLine("Hun Total:......" + std::to_string(hun));
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
