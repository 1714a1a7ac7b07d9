#include "app/merged_log.h"

#include "base/failure.h"
#include "logs/line_reader.h"
#include "tally/kill_feed.h"
#include "tally/kill_pass.h"

namespace vorskal {

MergedLog::MergedLog(TallyState& state, FileService& files, const RunConfig& config)
    : state_(state), files_(files), config_(config) {}

MergedLog::~MergedLog() = default;

MergeResult MergedLog::merge() {
    if (config_.rereadMergedLog) {
        MergeNotes watched;
        watched.watcher = watcher_;
        return mergeServerLogs(files_, watcher_ != nullptr ? &watched : nullptr);
    }
    // Pass 1 needs nothing that the steps before it give, and sets only
    // tables that the run starts empty, and the team slot: that slot is put
    // back now and set as pass 1 left it at pass 1's turn.
    const Count teamBefore = state_.teamCode;
    MergeNotes notes;
    notes.kept = &kept_;
    notes.watcher = watcher_;
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
    pieces_ = std::move(notes.pieces);
    teamAfterKills_ = state_.teamCode;
    state_.teamCode = teamBefore;
    if (mergeFailure) {
        std::rethrow_exception(mergeFailure);
    }
    return result;
}

void MergedLog::killPass() {
    if (config_.rereadMergedLog) {
        pass(kKillLine, [&](const LogLine& line, LineKinds) { awardKillLine(state_, line); });
        return;
    }
    if (killLinesTallied_ || killFailure_) {
        state_.teamCode = teamAfterKills_;
    }
    if (killFailure_) {
        std::rethrow_exception(killFailure_);
    }
}

void MergedLog::pass(LineKinds wanted,
                     const std::function<void(const LogLine&, LineKinds)>& handle) {
    if (!config_.rereadMergedLog) {
        kept_.forEach([&](const KeptLine& kept) {
            if ((kept.kinds & wanted) != 0) {
                handle(LogLine{kept.text, kept.number, kept.afterMarker}, kept.kinds);
            }
        });
        return;
    }
    // Kill lines become kill events, whose text must outlive the pass.
    const bool keepText = (wanted & kKillLine) != 0;
    if (keepText && arena_ == nullptr) {
        arena_ = std::make_shared<LineArena>();
    }
    LineReader reader(files_.openForReading(std::string(kMergedLogName)));
    std::string_view text;
    std::uint64_t number = 0;
    bool previousMarked = false;
    while (reader.next(text)) {
        const LineKinds kinds = classifyLine(text);
        if ((kinds & wanted) != 0) {
            const LogLine line{keepText ? arena_->store(text) : text, number + 1, previousMarked};
            handle(line, kinds);
        }
        ++number;
        previousMarked = (kinds & kMarkerLine) != 0;
    }
}

std::string MergedLog::lineStart(std::string_view line, std::size_t count) const {
    std::string start(line.size() < count ? line.size() : count, '\0');
    // Kill events of the fast path point into the numbered logs' mappings:
    // they are read through the system rather than by touching the pages.
    for (const auto& piece : pieces_) {
        const std::string_view bytes = piece->bytes();
        if (line.data() >= bytes.data() && line.data() < bytes.data() + bytes.size()) {
            const auto offset = static_cast<std::uint64_t>(line.data() - bytes.data());
            if (piece->readAt(offset, start.data(), start.size()) != start.size()) {
                throw TallyFailure(std::string(kMergedLogName) +
                                   ": a line could not be read again");
            }
            return start;
        }
    }
    line.copy(start.data(), start.size());
    return start;
}

}  // namespace vorskal
