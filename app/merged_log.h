#pragma once
// The merged log as the run's passes see it: the one place that knows how
// its lines are read. The run asks it to merge, then for the lines of each
// pass; how they are read is its own business.
//
// By default the merge reads every line once, and the lines the passes act
// on go into an EventLog as it reads them (tally/event_log.h): no pass reads
// a file. With LogReading::rereadMergedLog each pass reads "ux7server.log"
// again line by line instead, into an EventLog of its own. Both give the
// same report.
#include <cstddef>
#include <memory>
#include <vector>

#include "base/platform.h"
#include "logs/line_source.h"
#include "logs/merge.h"
#include "tally/event_log.h"

namespace vorskal {

// How the lines are read (RunConfig's fields of the same names).
struct LogReading {
    bool rereadMergedLog = false;
    std::size_t mergeWindow = 0;  // bytes the merge reads at once; 0: its own choice
};

class MergedLog {
  public:
    MergedLog(FileService& files, LogReading reading);

    // Has the merge tell `watcher` (when not null) what it reads and writes.
    void watch(MergeWatcher* watcher) { watcher_ = watcher; }

    MergeResult merge();

    // The lines for a pass that acts on lines of `kinds` (it may get others
    // too). Valid while this object lives.
    const EventLog& lines(LineKinds kinds);

    // Reads the lines that the passes show again, from where they lie.
    LineSource& source() { return source_; }

  private:
    FileService& files_;
    LogReading reading_;
    LineSource source_;
    EventLog read_;                                 // as the merge read them
    std::vector<std::unique_ptr<EventLog>> again_;  // read again, one per pass
    MergeWatcher* watcher_ = nullptr;
};

}  // namespace vorskal
