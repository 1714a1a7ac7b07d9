#include "tally/fighter_pass.h"

#include "base/aircraft_class.h"
#include "base/report_layout.h"
#include "base/text.h"
#include "tally/observer.h"

namespace vorskal {
namespace {

constexpr Count kClassTwoSeater = 1;
constexpr Count kClassFighter = 2;

void learnAircraft(TallyState& state, TableIndex& index, const EventLine::Entry& entry) {
    const Count aircraftClass = twoSeater(entry.aircraft) ? kClassTwoSeater : kClassFighter;
    for (const std::uint32_t slot : index.pilotsContaining(state, entry.name, false)) {
        state.pilot(slot).aircraftClass = aircraftClass;
    }
}

void checkDestruction(TallyState& state, ReportStream& report, TableIndex& index,
                      const EventLine& line, std::size_t& destruction) {
    const std::size_t number = destruction++;
    const TargetCredit credit =
        number < state.targetCredits.size() ? state.targetCredits[number] : TargetCredit{};
    for (const std::uint32_t slot : index.pilotsContaining(state, line.target->destroyer, true)) {
        PilotRecord& pilot = state.pilot(slot);
        if (pilot.aircraftClass == kClassTwoSeater) {
            continue;
        }
        if (pilot.aircraftClass != kClassFighter) {  // not seen entering yet
            report.writeLine(layout::kUnknownTypeWarning);
            line.text.writeTo(report);
            if (state.observer != nullptr) {
                state.observer->fighterTarget(line, slot, false, false, 0);
            }
            continue;
        }
        report.writeLine(layout::kFighterWarning);
        line.text.writeTo(report);
        if (credit.record == slot) {
            const auto what = [&] { return "the targets of " + quoted(pilot.name.view()); };
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

void checkFighterLine(TallyState& state, ReportStream& report, TableIndex& index,
                      const EventLine& line, std::size_t& destruction) {
    if (line.entry) {
        learnAircraft(state, index, *line.entry);
    }
    if (line.target) {
        checkDestruction(state, report, index, line, destruction);
    }
}

void writeFighterSectionClose(ReportStream& report) {
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
