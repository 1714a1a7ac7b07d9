#include "league/import/report_import.h"

#include <memory>
#include <new>

#include "base/failure.h"
#include "base/system_files.h"
#include "league/import/report_reader.h"
#include "league/import/results_import.h"
#include "league/store/game_numbers.h"
#include "league/store/game_store.h"

namespace vorskal::league {

namespace {

std::string readWhole(const std::string& path) {
    try {
        const std::unique_ptr<InputFile> in = openInputFile(path);
        std::string bytes;
        char buffer[1 << 16];
        for (std::size_t got; (got = in->read(buffer, sizeof buffer)) > 0;) {
            bytes.append(buffer, got);
        }
        return bytes;
    } catch (const TallyFailure& failure) {
        throw LeagueError(failure.what());
    } catch (const std::bad_alloc&) {
        throw LeagueError(path + ": cannot read: too large to be held in memory");
    }
}

std::string named(const std::string& path, const FoundReport& report) {
    return path + ":" + std::to_string(report.firstLine) + ": report " +
           std::to_string(report.number);
}

}  // namespace

void checkReportFile(const std::string& reportPath) {
    try {
        openInputFile(reportPath);
    } catch (const TallyFailure& failure) {
        throw LeagueError(failure.what());
    }
}

ImportSummary importReportFile(LeagueFile& league, const std::string& reportPath,
                               const ImportRequest& request) {
    std::vector<FoundReport> reports;
    {
        const std::string bytes = readWhole(reportPath);
        if (isResultsJson(bytes)) {
            return importResultsJson(league, reportPath, bytes, request);
        }
        reports = splitReports(bytes);  // the bytes go before the games are recorded
    }
    ImportSummary summary;
    summary.reports = static_cast<int>(reports.size());
    std::vector<std::pair<std::string, RecordResult>> recorded;  // named, for the notes
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
            if (const std::string fault = numbersFault(game); !fault.empty()) {
                summary.skipped.push_back(named(reportPath, report) +
                                          ": its numbers do not hold (" + fault + "): skipped");
                continue;
            }
            GameIdentity identity;
            identity.key = report.key;
            identity.origin = Origin::Import;
            identity.reportSha256 = report.sha256;
            const RecordResult result =
                recordGameInside(league, game, nullptr, identity,
                                 {request.season, false, false, request.dateOrder, std::nullopt});
            if (result.outcome == RecordOutcome::Duplicate) {
                ++summary.alreadyRecorded;
                continue;
            }
            if (result.outcome == RecordOutcome::Refused) {
                summary.skipped.push_back(named(reportPath, report) + ": " + refusalText(result) +
                                          ": skipped");
                continue;
            }
            ++summary.recorded;
            recorded.emplace_back(
                named(reportPath, report) + " (game " + std::to_string(result.id) + ")", result);
        }
        // The season's days read once, with every game of the file in it.
        if (!recorded.empty()) {
            const SeasonDays days =
                seasonDateOrder(league.db(), recorded.front().second.season, request.dateOrder);
            for (auto& [which, result] : recorded) {
                settleDays(league.db(), result, days);
                for (const std::string& note : recordedNotes(result)) {
                    summary.notes.push_back(which + ": " + note);
                }
            }
        }
        transaction.commit();
    } catch (const SqliteError& error) {
        league.fail(error);
    }
    return summary;
}

}  // namespace vorskal::league
