#include "app/tally_run.h"

#include <exception>
#include <new>
#include <optional>
#include <vector>

#include "app/posix_files.h"
#include "base/failure.h"
#include "logs/kept_lines.h"
#include "logs/line_reader.h"
#include "logs/merge.h"
#include "points/identify_target.h"
#include "report/point_values_section.h"
#include "report/report_frame.h"
#include "report/score_tables.h"
#include "tally/arena_pass.h"
#include "tally/fighter_pass.h"
#include "tally/kill_feed.h"
#include "tally/kill_pass.h"
#include "tally/multi_death.h"
#include "tally/target_pass.h"

namespace vorskal {
namespace {

constexpr std::string_view kTallyComplete = "Tally Complete";
constexpr std::string_view kMissingFirstLog = "Could not find ux7server0.log";
constexpr std::string_view kStartLookup = "junk1 # 20";
const std::string kOutOfMemory = "the tally ran out of memory";

// The merged log as the passes see it: either what the merge handed on as
// it read the numbered logs (pass 1 done on the kill lines as they went by,
// the other pass lines held), or a fresh line-by-line read of the file for
// every pass.
class MergedLog {
  public:
    MergedLog(TallyState& state, FileService& files, const RunConfig& config)
        : state_(state), files_(files), config_(config) {}

    MergeResult merge() {
        if (config_.rereadMergedLog) {
            return mergeServerLogs(files_, nullptr);
        }
        // Pass 1 needs nothing that the steps before it give, and sets only
        // tables that the run starts empty, and the team slot: that slot is
        // put back now and set as pass 1 left it at pass 1's turn. It runs
        // on a thread of its own, fed with the kill lines as the merge goes.
        const Count teamBefore = state_.teamCode;
        MergeNotes notes;
        notes.kept = &kept_;
        MergeResult result = MergeResult::Merged;
        std::exception_ptr mergeFailure;
        {
            KillFeed feed(state_);
            notes.onKillLine = [&feed](const LogLine& line) { feed.add(line); };
            try {
                result = mergeServerLogs(files_, &notes);
                killFailure_ = feed.finish();
                killLinesTallied_ = feed.awardedAny();
            } catch (...) {
                mergeFailure = std::current_exception();
            }
        }  // pass 1's thread has ended: the state is this thread's again
        if (mergeFailure) {
            state_.teamCode = teamBefore;
            std::rethrow_exception(mergeFailure);
        }
        teamAfterKills_ = state_.teamCode;
        state_.teamCode = teamBefore;

        // Kill events point into the numbered logs' mappings; a warning that
        // shows one reads it through the system.
        auto pieces = std::make_shared<std::vector<std::shared_ptr<const MappedFile>>>(
            std::move(notes.pieces));
        state_.lineStorage = pieces;
        state_.run.copyLineStart = [pieces = pieces.get()](std::string_view line,
                                                           std::size_t count) {
            std::string start(line.size() < count ? line.size() : count, '\0');
            for (const auto& piece : *pieces) {
                const std::string_view bytes = piece->bytes();
                if (line.data() >= bytes.data() && line.data() < bytes.data() + bytes.size()) {
                    const auto offset = static_cast<std::uint64_t>(line.data() - bytes.data());
                    if (piece->readAt(offset, start.data(), start.size()) != start.size()) {
                        break;
                    }
                    return start;
                }
            }
            throw TallyFailure(std::string(kMergedLogName) + ": a line could not be read again");
        };
        return result;
    }

    // Pass 1: kills and deaths. On the fast path the merge has done it: a
    // failure it met shows now, at pass 1's turn.
    void killPass() {
        if (config_.rereadMergedLog) {
            pass(kKillLine, true,
                 [&](const LogLine& line, LineKinds) { awardKillLine(state_, line); });
            return;
        }
        if (killLinesTallied_ || killFailure_) {
            state_.teamCode = teamAfterKills_;
        }
        if (killFailure_) {
            std::rethrow_exception(killFailure_);
        }
    }

    // Calls `handle(line, kinds)` for every line of the merged log, in
    // order, that is of one of the `wanted` kinds. With `keepText`, the
    // line's text stays valid for the rest of the run.
    template <typename Handle>
    void pass(LineKinds wanted, bool keepText, Handle&& handle) {
        if (!config_.rereadMergedLog) {
            // Kill lines are not among them: pass 1 went with the merge.
            kept_.forEach([&](const KeptLine& kept) {
                if ((kept.kinds & wanted) != 0) {
                    handle(LogLine{kept.text, kept.number, kept.afterMarker}, kept.kinds);
                }
            });
            return;
        }
        if (keepText && arena_ == nullptr) {
            arena_ = std::make_shared<LineArena>();
            state_.lineStorage = arena_;
        }
        LineReader reader(files_.openForReading(std::string(kMergedLogName)));
        std::string_view text;
        std::uint64_t number = 0;
        bool previousMarked = false;
        while (reader.next(text)) {
            const LineKinds kinds = classifyLine(text);
            if ((kinds & wanted) != 0) {
                const LogLine line{keepText ? arena_->store(text) : text, number + 1,
                                   previousMarked};
                handle(line, kinds);
            }
            ++number;
            previousMarked = (kinds & kMarkerLine) != 0;
        }
    }

  private:
    TallyState& state_;
    FileService& files_;
    const RunConfig& config_;
    KeptLines kept_;
    std::exception_ptr killFailure_;
    bool killLinesTallied_ = false;
    Count teamAfterKills_ = 0;
    std::shared_ptr<LineArena> arena_;
};

void runPasses(TallyState& state, FileService& files, MergedLog& merged, ReportStream& report,
               Clock& clock) {
    writeReportHeader(report, clock);

    PointFile points(files);
    IdentifyTarget(state, points, kStartLookup);

    merged.killPass();

    // Section 1 and pass 2: ground targets, then arena presence.
    writeArenaSectionHeading(report);
    const bool arena = state.overMaxPilotCorrection != 0;
    const LineKinds pass2 = arena ? (kTargetLine | kEntryLine | kExitLine) : kTargetLine;
    merged.pass(pass2, false, [&](const LogLine& line, LineKinds kinds) {
        if ((kinds & kTargetLine) != 0) {
            creditTargetLine(state, points, line);
        }
        if (arena) {
            trackArenaLine(state, report, line, kinds);
        }
    });
    writeArenaSectionClose(state, report);

    // Section 2.
    writeMultiDeathSection(state, report);

    // Section 3 and pass 3.
    writeFighterSectionHeading(report);
    if (state.fighterTargetCorrection != 0) {
        std::size_t destruction = 0;
        merged.pass(kTargetLine | kEntryLine, false, [&](const LogLine& line, LineKinds kinds) {
            checkFighterLine(state, report, line, kinds, destruction);
        });
    }
    writeFighterSectionClose(report);

    writeScoreCorrectionsSection(state, report);
    writeNonRedBoxedSection(state, report);
    writeScoresSection(state, report);
    writeZorlResults(state, report);
    writePointValuesSection(state, points, report);
}

Outcome failed(const std::string& message) {
    return {OutcomeKind::Failed, message};
}

}  // namespace

Outcome runTally(TallyState& state, FileService& files, Clock& clock, const RunConfig& config) {
    state.resetForRun();
    state.fileSystem = &files;
    MergedLog merged(state, files, config);

    try {
        if (merged.merge() == MergeResult::MissingFirstLog) {
            return {OutcomeKind::MissingFirstLog, std::string(kMissingFirstLog)};
        }
    } catch (const TallyFailure& failure) {
        return failed(failure.what());
    } catch (const std::bad_alloc&) {
        return failed(kOutOfMemory);
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
    } catch (const std::exception& failure) {
        // A TallyFailure says what went wrong; running out of memory is the
        // only other way a run can stop, and it is reported the same way.
        const std::string message =
            dynamic_cast<const TallyFailure*>(&failure) != nullptr ? failure.what() : kOutOfMemory;
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
