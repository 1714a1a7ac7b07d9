#include "report/report_frame.h"

#include <string>

#include "base/version.h"

namespace vorskal {

void writeReportHeader(ReportStream& report, Clock& clock) {
    report.writeBlankLines(2);
    report.writeLine("UX7SERVER Log Tally (VORSKAL.LOG)");
    report.writeLine("Rev " + std::string(kVersion) + " -- " + std::string(kCreditText));
    report.writeLine("Current time is " + clock.timeOfDay() + "    Current date is " +
                     clock.date());
    report.writeBlankLines(2);
}

void writeScoreCorrectionsSection(const TallyState& state, ReportStream& report) {
    report.writeLine("4. Report score corrections.");
    report.writeLine("----------------------------");
    report.spacer();
    if (state.overMaxPilotCorrection != 0) {
        report.writeLine("NOTICE -- Over Max Pilot penalty enabled ");
    }
    if (state.multiDeathCorrection != 0) {
        report.writeLine("NOTICE -- Multiple Death bug correction enabled ");
    }
    if (state.fighterTargetCorrection != 0) {
        report.writeLine("NOTICE -- Fighter Destroyed Target correction enabled ");
    }
    report.spacer();
    report.spacer();
}

void writeNonRedBoxedSection(const TallyState& state, ReportStream& report) {
    report.writeLine("5. Report non-red boxed targets destroyed.");
    report.writeLine("------------------------------------------");
    report.spacer();
    if (state.redBoxedOnly != 0) {
        report.writeLine("NOTICE -- Only red boxed targets have been tallied ");
    } else {
        report.writeLine("NOTICE -- Non-red boxed targets have been tallied ");
    }
    report.spacer();
    for (const std::string& line : state.nonRedBoxedTargetLines) {
        report.writeLine(line);
    }
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
