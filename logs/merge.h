#pragma once
// The merge of the numbered server logs "ux7server0.log", "ux7server1.log",
// ... (in number order, up to the first missing number) into the one file
// "ux7server.log", every line ended by CR LF and nothing added or left out.
// The merged file replaces the old one only when it is complete.
#include <cstdint>
#include <string>

#include "app/platform.h"
#include "logs/kept_lines.h"

namespace vorskal {

enum class MergeResult { Merged, MissingFirstLog };

// The name of numbered log `n`: "ux7server" n ".log", no leading zeros.
std::string numberedLogName(std::uint64_t n);

// Merges the logs, noting in `kept` (when given) the lines a pass acts on.
// A missing "ux7server0.log" returns MissingFirstLog with nothing created
// or written. Throws TallyFailure when a log cannot be read or the merged
// file cannot be written.
MergeResult mergeServerLogs(FileService& files, KeptLines* kept);

}  // namespace vorskal
