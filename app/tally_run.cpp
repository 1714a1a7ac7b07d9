#include "app/tally_run.h"

#include <optional>

#include "app/posix_files.h"
#include "logs/kept_lines.h"
#include "logs/line_reader.h"
#include "logs/merge.h"
#include "points/identify_target.h"
#include "points/point_values_section.h"
#include "report/report_frame.h"
#include "report/score_tables.h"
#include "tally/arena_pass.h"
#include "tally/failure.h"
#include "tally/fighter_pass.h"
#include "tally/kill_pass.h"
#include "tally/multi_death.h"
#include "tally/target_pass.h"

namespace vorskal {
namespace {

constexpr std::string_view kTallyComplete = "Tally Complete";
constexpr std::string_view kMissingFirstLog = "Could not find ux7server0.log";
constexpr std::string_view kStartLookup = "junk1 # 20";

// The merged log as the passes see it: either the lines that the merge
// kept, or a fresh line-by-line read of "ux7server.log" for every pass.
class MergedLog {
public:
    MergedLog(FileService& files, const RunConfig& config) : files_(files), config_(config) {}

    KeptLines& kept() { return kept_; }

    // Calls `handle(line, kinds)` for every line of the merged log, in
    // order, that is of one of the `wanted` kinds.
    template <typename Handle>
    void pass(LineKinds wanted, Handle&& handle) {
        if (!config_.rereadMergedLog) {
            for (const KeptLines::Kept& kept : kept_.lines()) {
                if ((kept.kinds & wanted) != 0) {
                    handle(kept.line, kept.kinds);
                }
            }
            return;
        }
        LineReader reader(files_.openForReading(std::string(kMergedLogName)));
        std::string_view text;
        std::uint64_t number = 0;
        bool previousMarked = false;
        while (reader.next(text)) {
            const LineKinds kinds = classifyLine(text);
            const LogLine line{text, ++number, previousMarked};
            if ((kinds & wanted) != 0) {
                handle(line, kinds);
            }
            previousMarked = (kinds & kMarkerLine) != 0;
        }
    }

private:
    FileService& files_;
    const RunConfig& config_;
    KeptLines kept_;
};

void runPasses(TallyState& state, FileService& files, MergedLog& merged, ReportStream& report,
               Clock& clock) {
    writeReportHeader(report, clock);

    PointFile points(files);
    IdentifyTarget(state, points, kStartLookup);

    // Pass 1: kills and deaths.
    merged.pass(kKillLine, [&](const LogLine& line, LineKinds) { awardKillLine(state, line); });

    // Section 1 and pass 2: ground targets, then arena presence.
    writeArenaSectionHeading(report);
    const bool arena = state.overMaxPilotCorrection != 0;
    const LineKinds pass2 = arena ? (kTargetLine | kEntryLine | kExitLine) : kTargetLine;
    merged.pass(pass2, [&](const LogLine& line, LineKinds kinds) {
        if ((kinds & kTargetLine) != 0) {
            creditTargetLine(state, points, line);
        }
        if (arena) {
            trackArenaLine(state, report, line);
        }
    });
    writeArenaSectionClose(state, report);

    // Section 2.
    writeMultiDeathSection(state, report);

    // Section 3 and pass 3.
    writeFighterSectionHeading(report);
    if (state.fighterTargetCorrection != 0) {
        std::size_t destruction = 0;
        merged.pass(kTargetLine | kEntryLine, [&](const LogLine& line, LineKinds) {
            checkFighterLine(state, report, line, destruction);
        });
    }
    writeFighterSectionClose(report);

    writeScoreCorrectionsSection(state, report);
    writeNonRedBoxedSection(state, report);
    writeScoresSection(state, report);
    writeZorlResults(state, report);
    writePointValuesSection(state, points, report);
}

// Hands the merged lines to the kept-lines store (the fast path only).
class KeepLines : public MergedLineVisitor {
public:
    KeepLines(KeptLines& kept, bool enabled) : kept_(kept), enabled_(enabled) {}
    void line(std::string_view text, std::uint64_t number) override {
        if (enabled_) {
            kept_.offer(text, number);
        }
    }

private:
    KeptLines& kept_;
    bool enabled_;
};

Outcome failed(const std::string& message) { return {OutcomeKind::Failed, message}; }

}  // namespace

Outcome runTally(TallyState& state, FileService& files, Clock& clock, const RunConfig& config) {
    state.resetForRun();
    state.fileSystem = &files;
    MergedLog merged(files, config);

    try {
        KeepLines keep(merged.kept(), !config.rereadMergedLog);
        const MergeResult result = mergeServerLogs(files, keep);
        if (result == MergeResult::MissingFirstLog) {
            return {OutcomeKind::MissingFirstLog, std::string(kMissingFirstLog)};
        }
        if (!files.exists(std::string(kMergedLogName))) {
            return failed(std::string(kMergedLogName) + ": cannot open: the merged log is missing");
        }
    } catch (const TallyFailure& failure) {
        return failed(failure.what());
    }

    std::optional<ReportStream> report;
    try {
        report.emplace(files.openForAppend(std::string(kReportName)));
    } catch (const TallyFailure& failure) {
        return failed(failure.what());
    }
    state.reportStream = &*report;

    try {
        runPasses(state, files, merged, *report, clock);
        report->close();
    } catch (const TallyFailure& failure) {
        const std::string message = failure.what();
        try {
            report->writeLine("ERROR -- " + message);
            report->close();
        } catch (const TallyFailure&) {
            // The report itself cannot be written; the message still goes to the user.
        }
        state.reportStream = nullptr;
        return failed(message);
    }
    state.reportStream = nullptr;
    return {OutcomeKind::Completed, std::string(kTallyComplete)};
}

void applyOptions(TallyState& state, const TallyOptions& options) {
    state.overMaxPilotCorrection = options.overMaxPilotCorrection ? 1 : 0;
    state.multiDeathCorrection = options.multiDeathCorrection ? 1 : 0;
    state.fighterTargetCorrection = options.fighterTargetCorrection ? 1 : 0;
    state.redBoxedOnly = options.redBoxedOnly ? 1 : 0;
}

Outcome tallyDirectory(const std::string& directory, const TallyOptions& options, Clock& clock,
                       const RunConfig& config) {
    try {
        DirectoryLock lock(directory);
        PosixFileService files(directory);
        TallyState state;
        applyOptions(state, options);
        return runTally(state, files, clock, config);
    } catch (const TallyFailure& failure) {
        return failed(failure.what());
    }
}

Outcome tallyDirectory(const std::string& directory, const TallyOptions& options,
                       const RunConfig& config) {
    SystemClock clock;
    return tallyDirectory(directory, options, clock, config);
}

}  // namespace vorskal
