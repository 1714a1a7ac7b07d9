#pragma once
// The lines of the merged log that some pass acts on, kept by the merge so
// that the passes need not read the merged log again: kill lines,
// destruction lines, arena entries and exits. Chatter is not kept; memory
// grows with the events only.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "logs/log_line.h"

namespace vorskal {

// What a line is, as bits: a line may be several things at once.
using LineKinds = std::uint8_t;
inline constexpr LineKinds kKillLine = 1;
inline constexpr LineKinds kTargetLine = 2;
inline constexpr LineKinds kEntryLine = 4;
inline constexpr LineKinds kExitLine = 8;
inline constexpr LineKinds kMarkerLine = 16;  // carries the selected-target marker
inline constexpr LineKinds kPassLines = kKillLine | kTargetLine | kEntryLine | kExitLine;

LineKinds classifyLine(std::string_view line);

class KeptLines {
public:
    // Takes the merged log's lines in order; keeps those a pass acts on.
    void offer(std::string_view line, std::uint64_t number);

    struct Kept {
        LogLine line;
        LineKinds kinds;
    };
    const std::vector<Kept>& lines() const { return kept_; }
    std::size_t keptBytes() const { return bytes_; }

private:
    std::string_view store(std::string_view line);

    std::vector<Kept> kept_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockSize_ = 0;
    std::size_t bytes_ = 0;
    bool previousMarked_ = false;
};

}  // namespace vorskal
