#include "report/point_values_section.h"

#include "base/report_layout.h"
#include "base/text.h"

namespace vorskal {

void writePointValuesSection(const TallyState& state, PointFile& points, ReportStream& report) {
    const std::vector<std::string>& lines = points.lines();
    report.spacer();
    report.writeLine(layout::kPointValuesSection.title);
    report.writeLine(layout::kPointValuesSection.rule);
    constexpr std::size_t kLinesAfterKill = 8;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!containsExact(lines[i], "Kill=")) {
            continue;
        }
        report.writeLine(lines[i]);
        for (std::size_t k = 0; k < kLinesAfterKill && i + 1 < lines.size(); ++k) {
            ++i;
            report.writeLine(lines[i]);
        }
    }
    report.spacer();
    report.writeLine(std::string(layout::kMapUsed) + state.mapName);
    report.spacer();
}

}  // namespace vorskal
