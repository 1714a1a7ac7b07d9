#include "league/import/report_import.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>

#include "base/failure.h"
#include "base/system_files.h"
#include "league/import/report_reader.h"
#include "league/import/results_import.h"
#include "league/store/game_numbers.h"
#include "league/store/game_store.h"
#include "league/store/schema.h"

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

// Reads the file through in blocks, handing each to `each` until it
// returns false.
void readBlocks(const std::string& path, const std::function<bool(std::string_view)>& each) {
    try {
        const std::unique_ptr<InputFile> in = openInputFile(path);
        char buffer[1 << 16];
        for (std::size_t got; (got = in->read(buffer, sizeof buffer)) > 0;) {
            if (!each(std::string_view(buffer, got))) {
                return;
            }
        }
    } catch (const TallyFailure& failure) {
        throw LeagueError(failure.what());
    }
}

// A file's first bytes (enough to tell what it is), and how its lines end:
// CR LF when it holds one anywhere, which takes a read up to the first.
struct FileLook {
    std::string head;
    std::string_view lineEnd = "\n";
};

FileLook lookAt(const std::string& path) {
    constexpr std::size_t kHeadBytes = 1 << 16;
    FileLook look;
    char last = '\0';
    readBlocks(path, [&](std::string_view block) {
        if (look.head.size() < kHeadBytes) {
            look.head.append(block.substr(0, kHeadBytes - look.head.size()));
        }
        if ((last == '\r' && block.front() == '\n') ||
            block.find("\r\n") != std::string_view::npos) {
            look.lineEnd = "\r\n";
            return look.head.size() < kHeadBytes;
        }
        last = block.back();
        return true;
    });
    return look;
}

// Hands `each` every line of the file (without its line end) in order,
// holding no more than one line and one block.
void forEachLine(const std::string& path, std::string_view end,
                 const std::function<void(std::string_view)>& each) {
    std::string pending;
    std::size_t searched = 0;  // no line end starts before this in `pending`
    readBlocks(path, [&](std::string_view block) {
        pending.append(block);
        std::size_t at = 0;
        for (std::size_t next;
             (next = pending.find(end, std::max(at, searched))) != std::string::npos;
             at = next + end.size()) {
            each(std::string_view(pending).substr(at, next - at));
        }
        pending.erase(0, at);
        searched = pending.size() >= end.size() ? pending.size() - end.size() + 1 : 0;
        return true;
    });
    if (!pending.empty()) {
        each(pending);
    }
}

std::string named(const std::string& path, const FoundReport& report) {
    return path + ":" + std::to_string(report.firstLine) + ": report " +
           std::to_string(report.number);
}

// What a file that holds no report is, and what takes it instead: a league
// file, another SQLite database, a page, a CSV file, an empty file or any
// other text.
std::string whatItIs(std::string_view bytes) {
    constexpr std::string_view kSqlite("SQLite format 3\0", 16);
    constexpr std::string_view kTakes =
        "import takes a report file (vorskal.log) or a game's results JSON (vorskal-tally "
        "--json)";
    if (bytes.substr(0, kSqlite.size()) == kSqlite) {
        // The application id, at byte 68 of the header, big-endian.
        std::int64_t id = 0;
        for (std::size_t at = 68; at < 72 && at < bytes.size(); ++at) {
            id = id * 256 + static_cast<unsigned char>(bytes[at]);
        }
        return id == kApplicationId
                   ? "a league file, not a report file: merge records its games "
                     "(vorskal-league LEAGUE.db merge FILE)"
                   : "an SQLite database, not a report file; " + std::string(kTakes);
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return "an empty file: no report in it";
    }
    if (bytes[first] == '<') {
        return "a page (HTML), not a report file; " + std::string(kTakes);
    }
    // CSV: the first two lines hold as many commas, at least two (the
    // programs' tables have more than three columns; prose may hold a comma).
    const auto commasOfLine = [&bytes](std::size_t& at) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
        const auto commas = std::count(bytes.begin() + at, bytes.begin() + end, ',');
        at = std::min(bytes.find_first_not_of("\r\n", end), bytes.size());
        return commas;
    };
    std::size_t at = first;
    const auto header = commasOfLine(at);
    if (header >= 2 && at < bytes.size() && commasOfLine(at) == header) {
        return "a CSV file, not a report file; " + std::string(kTakes);
    }
    return "no report in it; " + std::string(kTakes);
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
    const FileLook look = lookAt(reportPath);
    if (isResultsJson(look.head)) {
        return importResultsJson(league, reportPath, readWhole(reportPath), request);
    }
    ImportSummary summary;
    std::vector<std::pair<std::string, RecordResult>> recorded;  // named, for the notes
    const auto record = [&](const FoundReport& report) {
        if (report.state == ReportState::Failed) {
            summary.skipped.push_back(named(reportPath, report) + " ends in \"" +
                                      report.lines.back() + "\": skipped");
            return;
        }
        if (report.state == ReportState::CutShort) {
            summary.skipped.push_back(named(reportPath, report) +
                                      " is cut short (it does not end with \"Map used "
                                      "was\" between spacer lines): skipped");
            return;
        }
        results::GameResults game;
        try {
            game = readReport(report);
        } catch (const ReportLayoutError& error) {
            summary.skipped.push_back(named(reportPath, report) + ": line " +
                                      std::to_string(error.line) + ": " + error.what() +
                                      ": skipped");
            return;
        }
        if (const std::string fault = numbersFault(game); !fault.empty()) {
            summary.skipped.push_back(named(reportPath, report) + ": its numbers do not hold (" +
                                      fault + "): skipped");
            return;
        }
        GameIdentity identity;
        identity.key = report.key;
        identity.origin = Origin::Import;
        identity.reportSha256 = report.sha256;
        const RecordResult result =
            recordGameInside(league, game, nullptr, identity,
                             {request.season, false, false, request.dateOrder, std::nullopt, false,
                              named(reportPath, report)});
        if (result.outcome == RecordOutcome::Conflict) {
            summary.conflicts.push_back(named(reportPath, report) + ": " + conflictText(result));
            return;
        }
        if (result.outcome == RecordOutcome::Duplicate) {
            ++summary.alreadyRecorded;
            return;
        }
        if (result.outcome == RecordOutcome::Refused) {
            summary.skipped.push_back(named(reportPath, report) + ": " +
                                      refusalText(result, false) + ": skipped");
            return;
        }
        ++summary.recorded;
        recorded.emplace_back(
            named(reportPath, report) + " (game " + std::to_string(result.id) + ")", result);
    };
    try {
        Transaction transaction(league.db());
        ReportSplitter splitter(record);
        forEachLine(reportPath, look.lineEnd,
                    [&splitter](std::string_view line) { splitter.line(line); });
        splitter.end();
        summary.reports = splitter.reports();
        if (summary.reports == 0) {
            summary.notReport = whatItIs(look.head);
            return summary;
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
