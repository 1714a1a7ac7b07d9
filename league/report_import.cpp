#include "league/report_import.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "league/game_store.h"
#include "league/report_reader.h"

namespace vorskal::league {

namespace {

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw LeagueError(path + ": cannot read: " + std::strerror(errno));
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        throw LeagueError(path + ": cannot read: " + std::strerror(errno));
    }
    return std::move(bytes).str();
}

std::string named(const std::string& path, const FoundReport& report) {
    return path + ":" + std::to_string(report.firstLine) + ": report " +
           std::to_string(report.number);
}

}  // namespace

ImportSummary importReportFile(LeagueFile& league, const std::string& reportPath) {
    const std::vector<FoundReport> reports = splitReports(readWhole(reportPath));
    ImportSummary summary;
    summary.reports = static_cast<int>(reports.size());
    try {
        Transaction transaction(league.db());
        for (const FoundReport& report : reports) {
            if (report.state == ReportState::Failed) {
                summary.skipped.push_back(named(reportPath, report) + " ends in \"" +
                                          report.lines.back() + "\": skipped");
                continue;
            }
            if (report.state == ReportState::CutShort) {
                summary.skipped.push_back(named(reportPath, report) +
                                          " is cut short (it does not end with \"Map used "
                                          "was\" between spacer lines): skipped");
                continue;
            }
            results::GameResults game;
            try {
                game = readReport(report);
            } catch (const ReportLayoutError& error) {
                summary.skipped.push_back(named(reportPath, report) + ": line " +
                                          std::to_string(error.line) + ": " + error.what() +
                                          ": skipped");
                continue;
            }
            const GameIdentity identity{report.sha256, Origin::Import, report.sha256};
            if (recordGameInside(league, game, identity, false).outcome ==
                RecordOutcome::Duplicate) {
                ++summary.alreadyRecorded;
            } else {
                ++summary.recorded;
            }
        }
        transaction.commit();
    } catch (const SqliteError& error) {
        league.fail(error);
    }
    return summary;
}

}  // namespace vorskal::league
