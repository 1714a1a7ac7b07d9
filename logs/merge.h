#pragma once
// The merge of the numbered server logs "ux7server0.log", "ux7server1.log",
// ... (in number order, up to the first missing number; a name that is a
// directory is no log) into the one file
// "ux7server.log", every line ended by CR LF and nothing added or left out.
// The merged file replaces the old one only when it is complete.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"
#include "logs/kept_lines.h"
#include "logs/log_line.h"

namespace vorskal {

enum class MergeResult { Merged, MissingFirstLog };

// The name of numbered log `n`: "ux7server" n ".log", no leading zeros.
std::string numberedLogName(std::uint64_t n);

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
    // the last of its lines that hold a time of day ("HH:MM:SS" at columns
    // 10 to 17, from 00:00:00 to 23:59:59) with their line numbers in the
    // numbered log (0 and empty when it has none).
    struct Piece {
        std::string name;
        std::uint64_t bytes = 0;
        std::uint64_t lines = 0;
        std::string_view firstTimed;
        std::uint64_t firstTimedLine = 0;
        std::string_view lastTimed;
        std::uint64_t lastTimedLine = 0;
    };
    virtual void pieceDone(const Piece& piece) = 0;
};

// What the merge hands on as it reads the lines, for a run that works from
// that one read.
struct MergeNotes {
    // Notes the destruction and arena lines (kKeptKinds).
    KeptLines* kept = nullptr;
    // Called for every kill line, in order, with the line's number and its
    // marker flag as the merged log has them. `text` lies in a buffer of the
    // merge's; `lasting` is the same text in the numbered log's mapping.
    std::function<void(const LogLine&)> onKillLine;
    // The numbered logs' mappings, which the `lasting` texts point into.
    std::vector<std::shared_ptr<const MappedFile>> pieces;
    // Sees the bytes and lines, when set.
    MergeWatcher* watcher = nullptr;
};

// Merges the logs, handing on what `notes` asks for (when given). A missing
// "ux7server0.log" returns MissingFirstLog with nothing created or written.
// Throws TallyFailure when a log cannot be read or the merged file cannot
// be written.
MergeResult mergeServerLogs(FileService& files, MergeNotes* notes);

}  // namespace vorskal
