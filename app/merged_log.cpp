#include "app/merged_log.h"

#include "base/line_reader.h"

namespace vorskal {

MergedLog::MergedLog(FileService& files, LogReading reading)
    : files_(files), reading_(reading), source_(files), read_(source_) {}

MergeResult MergedLog::merge() {
    MergeNotes notes;
    notes.watcher = watcher_;
    notes.window = reading_.mergeWindow;
    if (!reading_.rereadMergedLog) {
        notes.lines = &read_;
    }
    return mergeServerLogs(files_, notes);
}

const EventLog& MergedLog::lines(LineKinds kinds) {
    if (!reading_.rereadMergedLog) {
        return read_;
    }
    auto log = std::make_unique<EventLog>(source_);
    LineReader reader(files_.openForReading(std::string(kMergedLogName)));
    std::string_view text;
    std::uint64_t number = 0;
    std::uint64_t offset = 0;  // of the line in the merged log, whose lines all end in CR LF
    bool previousMarked = false;
    while (reader.next(text)) {
        const LineKinds lineKinds = classifyLine(text);
        ++number;
        if ((lineKinds & kinds) != 0) {
            ReadLine line;
            line.number = number;
            line.afterMarker = previousMarked;
            line.place = LinePlace{offset, text.size(), kMergedLogFile};
            line.text = text;
            line.parts = takeLineApart(text, static_cast<LineKinds>(lineKinds & kinds));
            log->take(line);
        }
        offset += text.size() + 2;
        previousMarked = (lineKinds & kMarkerLine) != 0;
    }
    again_.push_back(std::move(log));
    return *again_.back();
}

}  // namespace vorskal
