#pragma once
// The merge of the numbered server logs "ux7server0.log", "ux7server1.log",
// ... (in number order, up to the first missing number; a name that is a
// directory is no log) into the one file "ux7server.log", every line ended
// by CR LF and nothing added or left out. The merged file replaces the old
// one only when it is complete.
//
// Each numbered log is open only while it is read, through a window that
// moves forward, so any number of logs merge with few files open. A line
// longer than the window is copied through window by window and taken apart
// where it lies (logs/line_text.h): no line is held whole, however long.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/platform.h"
#include "logs/log_line.h"

namespace vorskal {

enum class MergeResult { Merged, MissingFirstLog };

// Sees what the merge reads and writes, for the facts of the inputs (sizes,
// lines, fingerprints, times). Optional: without one the merge does no
// work for it.
class MergeWatcher {
  public:
    virtual ~MergeWatcher() = default;
    // The bytes of the numbered log being read, in order, in pieces.
    virtual void pieceBytes(std::string_view bytes) = 0;
    // The bytes of the merged log, in order, in pieces.
    virtual void mergedBytes(std::string_view bytes) = 0;
    // Numbered log `name` is done: its size and lines, and the first and
    // the last of its lines that hold a time of day (base/time_of_day.h),
    // their first 17 characters and their line numbers in the numbered log
    // (empty and 0 when it has none).
    struct Piece {
        std::string name;
        std::uint64_t bytes = 0;
        std::uint64_t lines = 0;
        std::string firstTimed;
        std::uint64_t firstTimedLine = 0;
        std::string lastTimed;
        std::uint64_t lastTimedLine = 0;
    };
    virtual void pieceDone(const Piece& piece) = 0;
};

// A line that a pass acts on (one or more of kPassLines), as it is read.
struct ReadLine {
    std::uint64_t number = 0;  // in the merged log, from 1
    bool afterMarker = false;  // the line before carries the selected-target marker
    LinePlace place;           // where it lies, to read it again
    // The whole text when the line is read in memory; a line longer than
    // the window is not (`inMemory` false, `text` empty).
    std::string_view text;
    bool inMemory = true;
    LineParts parts;
};

// Takes the lines that the passes act on, in order.
class ReadLineSink {
  public:
    virtual ~ReadLineSink() = default;
    virtual void take(const ReadLine& line) = 0;
};

struct MergeNotes {
    // Takes the lines that the passes act on, when set.
    ReadLineSink* lines = nullptr;
    // Sees the bytes and lines, when set.
    MergeWatcher* watcher = nullptr;
    // Bytes read at once (0: the merge's own choice, 256 KiB); a line
    // longer than this is read where it lies.
    std::size_t window = 0;
};

// Merges the logs, handing on what `notes` asks for. A missing
// "ux7server0.log" returns MissingFirstLog with nothing created or written.
// Throws TallyFailure when a log cannot be read or the merged file cannot
// be written, and OutOfMemoryReading naming the numbered log being read.
MergeResult mergeServerLogs(FileService& files, const MergeNotes& notes = {});

}  // namespace vorskal
