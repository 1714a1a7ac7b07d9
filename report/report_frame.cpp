#include "report/report_frame.h"

#include <string>

#include "base/report_layout.h"
#include "base/version.h"

namespace vorskal {

void writeReportHeader(ReportStream& report, Clock& clock) {
    report.writeBlankLines(2);
    report.writeLine(layout::kTitle);
    report.writeLine(std::string(layout::kRevision) + std::string(kVersion) +
                     std::string(layout::kCreditSeparator) + std::string(layout::kCredit));
    report.writeLine(std::string(layout::kTimeLabel) + clock.timeOfDay() +
                     std::string(layout::kDateLabel) + clock.date());
    report.writeBlankLines(2);
}

void writeScoreCorrectionsSection(const TallyState& state, ReportStream& report) {
    report.writeLine(layout::kCorrectionsSection.title);
    report.writeLine(layout::kCorrectionsSection.rule);
    report.spacer();
    if (state.overMaxPilotCorrection != 0) {
        report.writeLine(layout::kOverMaxNotice);
    }
    if (state.multiDeathCorrection != 0) {
        report.writeLine(layout::kMultiDeathNotice);
    }
    if (state.fighterTargetCorrection != 0) {
        report.writeLine(layout::kFighterNotice);
    }
    report.spacer();
    report.spacer();
}

void writeNonRedBoxedSection(const TallyState& state, ReportStream& report) {
    report.writeLine(layout::kNonRedBoxedSection.title);
    report.writeLine(layout::kNonRedBoxedSection.rule);
    report.spacer();
    if (state.redBoxedOnly != 0) {
        report.writeLine(layout::kRedBoxedOnlyNotice);
    } else {
        report.writeLine(layout::kNonRedBoxedNotice);
    }
    report.spacer();
    for (const LineText& line : state.nonRedBoxedTargetLines) {
        line.writeTo(report);
    }
    report.spacer();
    report.spacer();
}

}  // namespace vorskal
