#include "tally/fighter_pass.h"

#include "base/report_layout.h"
#include "base/text.h"
#include "tally/observer.h"

namespace vorskal {
namespace {

constexpr Count kClassTwoSeater = 1;
constexpr Count kClassFighter = 2;

void learnAircraft(TallyState& state, std::string_view text) {
    const auto entry = takeEntryLine(text);
    if (!entry) {
        return;
    }
    const Count aircraftClass =
        (entry->aircraft == "ALBATROS_DII" || entry->aircraft == "NIEUPORT_17") ? kClassTwoSeater
                                                                                : kClassFighter;
    for (const std::uint32_t slot : state.pilotsContaining(entry->name, false)) {
        state.pilot(slot).aircraftClass = aircraftClass;
    }
}

void checkDestruction(TallyState& state, ReportStream& report, const LogLine& line,
                      std::size_t& destruction) {
    const auto parts = takeTargetLine(line.text);
    if (!parts) {
        return;
    }
    const std::size_t index = destruction++;
    const TargetCredit credit =
        index < state.targetCredits.size() ? state.targetCredits[index] : TargetCredit{};
    for (const std::uint32_t slot : state.pilotsContaining(parts->destroyer, true)) {
        PilotRecord& pilot = state.pilot(slot);
        if (pilot.aircraftClass == kClassTwoSeater) {
            continue;
        }
        if (pilot.aircraftClass != kClassFighter) {  // not seen entering yet
            report.writeLine(layout::kUnknownTypeWarning);
            report.writeLine(line.text);
            if (state.observer != nullptr) {
                state.observer->fighterTarget(line, slot, false, false, 0);
            }
            continue;
        }
        report.writeLine(layout::kFighterWarning);
        report.writeLine(line.text);
        if (credit.record == slot) {
            const std::string what = "the targets of " + quoted(pilot.name.view());
            pilot.targetsDestroyed = checkedSub(pilot.targetsDestroyed, 1, what);
            pilot.targetPoints = checkedSub(pilot.targetPoints, credit.points, what);
        }
        if (state.observer != nullptr) {
            state.observer->fighterTarget(line, slot, true, credit.record == slot, credit.points);
        }
    }
}

}  // namespace

void writeFighterSectionHeading(ReportStream& report) {
    report.writeLine(layout::kFighterSection.title);
    report.writeLine(layout::kFighterSection.rule);
    report.spacer();
}

void checkFighterLine(TallyState& state, ReportStream& report, const LogLine& line, LineKinds kinds,
                      std::size_t& destruction) {
    if ((kinds & kEntryLine) != 0) {
        learnAircraft(state, line.text);
    }
    if ((kinds & kTargetLine) != 0) {
        checkDestruction(state, report, line, destruction);
    }
}

void writeFighterSectionClose(ReportStream& report) {
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
