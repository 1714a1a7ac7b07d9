#include "app/tally_run.h"

#include <exception>
#include <new>
#include <optional>
#include <system_error>

#include "app/deferred_files.h"
#include "app/held_report.h"
#include "app/merged_log.h"
#include "app/no_writes.h"
#include "app/report_fingerprint.h"
#include "base/failure.h"
#include "base/report_layout.h"
#include "base/system_files.h"
#include "base/version.h"
#include "collector/collector.h"
#include "logs/merge.h"
#include "points/identify_target.h"
#include "report/point_values_section.h"
#include "report/report_frame.h"
#include "report/score_tables.h"
#include "tally/arena_pass.h"
#include "tally/fighter_pass.h"
#include "tally/kill_pass.h"
#include "tally/multi_death.h"
#include "tally/table_index.h"
#include "tally/target_pass.h"

namespace vorskal {
namespace {

constexpr std::string_view kTallyComplete = "Tally Complete";
constexpr std::string_view kMissingFirstLog = "Could not find ux7server0.log";
constexpr std::string_view kStartLookup = "junk1 # 20";
const std::string kOutOfMemory = "the tally ran out of memory";
constexpr std::string_view kRefused =
    "stopped before anything was written: the checked game was refused";

// The file a step of the run reads or writes, for a message about running
// out of memory in it.
struct Working {
    std::string_view file;
    bool writes = false;
};

// What the report's ERROR line and the caller say about a failure of any kind.
std::string describe(const std::exception_ptr& failure, const Working& working = {}) {
    try {
        std::rethrow_exception(failure);
    } catch (const TallyFailure& tally) {
        return tally.what();
    } catch (const OutOfMemoryReading& reading) {
        return kOutOfMemory + " while reading " + std::string(reading.file());
    } catch (const std::bad_alloc&) {
        if (working.file.empty()) {
            return kOutOfMemory;
        }
        return kOutOfMemory + (working.writes ? " while writing " : " while reading ") +
               std::string(working.file);
    } catch (const std::system_error& system) {
        return "the system refused the tally: " + std::string(system.what());
    } catch (const std::exception& other) {
        return "the tally stopped: " + std::string(other.what());
    } catch (...) {
        return "the tally stopped on a failure of unknown kind";
    }
}

Outcome failed(const std::string& message) {
    return {OutcomeKind::Failed, message};
}

// The run's twelve steps; `collector` (when given) watches the merge, and
// `mergedAll` tells whether the merge came to its end.
Outcome runSteps(TallyState& state, FileService& files, Clock& clock, const RunConfig& config,
                 collector::Collector* collector, bool& mergedAll) {
    std::optional<ReportStream> report;
    Working working{kMergedLogName, true};
    const auto openReport = [&] {
        working = {kReportName, true};
        report.emplace(files.openForAppend(std::string(kReportName)));
        writeReportHeader(*report, clock);
    };
    try {
        // 1. Reset the tally state; the findings accepted in the folder of
        // a game, read before anything is written.
        state.resetForRun();
        if (collector != nullptr && files.exists(numberedLogName(0))) {
            collector->readAcceptedFindings(files);
        }

        // 2. Merge the numbered logs; the lines the passes act on are kept as they are read.
        MergedLog merged(files, {config.rereadMergedLog, config.mergeWindow});
        merged.watch(collector);
        if (merged.merge() == MergeResult::MissingFirstLog) {
            return {OutcomeKind::MissingFirstLog, std::string(kMissingFirstLog)};
        }
        mergedAll = true;

        // 3. Open the report for appending and write its header.
        openReport();

        // 4. The first lookup: map name, points per kill and death.
        working = {kPointFileName, false};
        PointFile points(files);
        IdentifyTarget(state, points, kStartLookup);

        // 5. Pass 1: kills and deaths.
        working = {kMergedLogName, false};
        // Each pass has an index of its own: an index knows names by the ids
        // of the lines it is given, and a pass may read lines of its own.
        TableIndex killIndex;
        awardKills(state, killIndex, merged.lines(kKillLine));

        // 6. Section 1 and pass 2: ground targets, then arena presence.
        writeArenaSectionHeading(*report);
        const bool arena = state.overMaxPilotCorrection;
        TableIndex index;
        merged.lines(kTargetLine | kEntryLine | kExitLine).forEachLine([&](const EventLine& line) {
            if ((line.kinds & kTargetLine) != 0) {
                creditTargetLine(state, points, index, line);
            }
            if (arena) {
                trackArenaLine(state, *report, index, line);
            }
        });
        writeArenaSectionClose(state, *report);

        // 7. Section 2: multi-death correction over the kill events.
        writeMultiDeathSection(state, *report, merged.source());
        if (collector != nullptr) {
            collector->listKills(merged.source());
        }

        // 8. Section 3 and pass 3: fighter-destroyed targets.
        writeFighterSectionHeading(*report);
        if (state.fighterTargetCorrection) {
            std::size_t destruction = 0;
            TableIndex fighterIndex;
            merged.lines(kTargetLine | kEntryLine).forEachLine([&](const EventLine& line) {
                checkFighterLine(state, *report, fighterIndex, line, destruction);
            });
        }
        writeFighterSectionClose(*report);

        // 9. Sections 4 and 5: notices, non-red-boxed targets.
        writeScoreCorrectionsSection(state, *report);
        writeNonRedBoxedSection(state, *report);

        // 10. Section 6 and the ZORL totals.
        working = {kReportName, true};
        writeScoresSection(state, *report);
        writeZorlResults(state, *report);

        // 11. Section 7: point values and the map used.
        working = {kPointFileName, false};
        writePointValuesSection(state, points, *report);

        // 12. Close the report.
        working = {kReportName, true};
        report->close();
        return {OutcomeKind::Completed, std::string(kTallyComplete)};
    } catch (...) {
        // The one error boundary: whatever stopped the run, the report keeps
        // its earlier lines and gets one ERROR line naming it. A merge that
        // failed opens the report for it.
        const std::string message = describe(std::current_exception(), working);
        try {
            if (!report && !mergedAll) {
                openReport();
            }
            if (report && report->isOpen()) {
                report->writeLine(std::string(layout::kErrorPrefix) + message);
                report->close();
            }
        } catch (...) {
            // The report itself cannot be written; the message still goes to the user.
        }
        return failed(message);
    }
}

// A run that writes only when `config.admit` lets it: one tally whose
// merged log is written aside and whose report is held back; the findings
// of that very run go to `admit`, and only then is anything put in place.
// A run that does not complete writes what a failed run writes.
Outcome admittedRun(TallyState& state, FileService& files, Clock& clock, const RunConfig& config) {
    results::GameResults own;
    RunConfig run = config;
    if (run.results == nullptr) {
        run.results = &own;
    }
    run.rereadMergedLog = false;  // the merged log is not in place to be read back
    DeferredFiles deferred(files);
    HeldReport held;
    HoldingReport holding(deferred, held);
    const Outcome outcome = runTally(state, holding, clock, run);
    if (outcome.kind == OutcomeKind::Completed && !config.admit(*run.results)) {
        return Outcome{OutcomeKind::Refused, std::string(kRefused)};
    }
    deferred.commit();
    if (config.settleReport) {
        config.settleReport(outcome, held, files);
    } else if (held.opened()) {
        held.appendTo(files);
    }
    return outcome;
}

}  // namespace

Outcome runTally(TallyState& state, FileService& files, Clock& clock, const RunConfig& config) {
    bool mergedAll = false;
    if (config.results == nullptr) {
        return runSteps(state, files, clock, config, nullptr, mergedAll);
    }
    // The results of the game beside the report: the passes tell the
    // collector what they see; it reads the rest at the end.
    config.results->toolVersion = std::string(kVersion);
    collector::Collector collector(*config.results, state);
    state.observer = &collector;
    FingerprintedReport fingerprinted(files);
    const Outcome outcome = runSteps(state, fingerprinted, clock, config, &collector, mergedAll);
    state.observer = nullptr;
    if (outcome.kind == OutcomeKind::Completed) {
        config.results->report = {fingerprinted.key(), fingerprinted.sha256()};
    }
    if (outcome.kind != OutcomeKind::MissingFirstLog) {
        collector.finish(files, mergedAll, outcome.kind == OutcomeKind::Completed);
    }
    return outcome;
}

void applyOptions(TallyState& state, const TallyOptions& options) {
    state.overMaxPilotCorrection = options.overMaxPilotCorrection;
    state.multiDeathCorrection = options.multiDeathCorrection;
    state.fighterTargetCorrection = options.fighterTargetCorrection;
    state.redBoxedOnly = options.redBoxedOnly;
}

Outcome tallyIn(const std::string& directory, TallyState& state, Clock& clock,
                const RunConfig& config) {
    try {
        DirectoryLock lock(directory);
        SystemFileService files(directory);
        if (config.admit && !config.writeNothing) {
            return admittedRun(state, files, clock, config);
        }
        if (config.writeNothing) {
            NoWrites quiet(files);
            RunConfig fast = config;
            fast.rereadMergedLog = false;  // the merged log is not written to be read back
            return runTally(state, quiet, clock, fast);
        }
        if (config.settleReport) {
            HeldReport held;
            HoldingReport holding(files, held);
            const Outcome outcome = runTally(state, holding, clock, config);
            config.settleReport(outcome, held, files);
            return outcome;
        }
        return runTally(state, files, clock, config);
    } catch (...) {
        return failed(describe(std::current_exception()));
    }
}

Outcome tallyDirectory(const std::string& directory, const TallyOptions& options, Clock& clock,
                       const RunConfig& config) {
    try {
        TallyState state;
        applyOptions(state, options);
        return tallyIn(directory, state, clock, config);
    } catch (...) {
        return failed(describe(std::current_exception()));
    }
}

Outcome tallyDirectory(const std::string& directory, const TallyOptions& options,
                       const RunConfig& config) {
    SystemClock clock;
    return tallyDirectory(directory, options, clock, config);
}

}  // namespace vorskal
