#pragma once
// The merged log as the run's passes see it: the one place that knows how
// the lines are read. The run asks it to merge, to do pass 1 and to hand
// over the lines of a pass; how it does that is its own business.
//
// By default it works from the one read that the merge makes: the kill
// lines go to pass 1 on a thread of its own as the merge reads them, and the
// destruction and arena lines are kept for passes 2 and 3, so no pass reads
// a file. With RunConfig::rereadMergedLog every pass reads "ux7server.log"
// again line by line instead. Both give the same report.
//
// The kill events' lines point into text that this object keeps: they stay
// valid while it lives (the run), and lineStart() reads their first bytes.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/tally_run.h"
#include "base/platform.h"
#include "logs/kept_lines.h"
#include "logs/log_line.h"
#include "logs/merge.h"
#include "tally/tally_state.h"

namespace vorskal {

class MergedLog {
  public:
    MergedLog(TallyState& state, FileService& files, const RunConfig& config);
    ~MergedLog();
    MergedLog(const MergedLog&) = delete;
    MergedLog& operator=(const MergedLog&) = delete;

    // Has the merge tell `watcher` (when not null) what it reads and writes.
    void watch(MergeWatcher* watcher) { watcher_ = watcher; }

    // Merges the numbered logs; on the fast path pass 1 goes along. Leaves
    // the team slot as it found it.
    MergeResult merge();

    // Pass 1 at its turn: on the fast path the merge has done it; this sets
    // the team slot as pass 1 left it and shows the failure it met, if any.
    void killPass();

    // Calls `handle(line, kinds)` for every line of the merged log, in order,
    // that is of one of the `wanted` kinds (not kill lines on the fast path).
    void pass(LineKinds wanted, const std::function<void(const LogLine&, LineKinds)>& handle);

    // The first `count` bytes of a kill event's line.
    std::string lineStart(std::string_view line, std::size_t count) const;

  private:
    TallyState& state_;
    FileService& files_;
    const RunConfig& config_;
    KeptLines kept_;
    std::vector<std::shared_ptr<const MappedFile>> pieces_;  // the kill events' text
    std::shared_ptr<LineArena> arena_;                       // the same when rereading
    std::exception_ptr killFailure_;
    bool killLinesTallied_ = false;
    Count teamAfterKills_ = 0;
    MergeWatcher* watcher_ = nullptr;
};

}  // namespace vorskal
