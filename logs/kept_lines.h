#pragma once
// The lines of the merged log that some pass acts on (kill lines,
// destruction lines, arena entries and exits), noted by the merge as it
// writes them: their place in the merged log, their number and whether the
// line before carried the selected-target marker. The passes then read
// just these lines through a mapping of the merged log. Chatter is not
// noted, so memory grows with the events only.
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "logs/log_line.h"
#include "tally/failure.h"

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

// Both arena phrases hold this; a line without it is neither entry nor exit.
inline constexpr std::string_view kArenaPhrase = "the arena";

// classifyLine for a line already tested for the rarer phrases: `arena`
// false says the line cannot hold kArenaPhrase, `marker` false that it
// cannot carry the selected-target marker (in any letter case).
LineKinds classifyCandidate(std::string_view line, bool arena, bool marker);

struct KeptLine {
    std::uint64_t offset;  // of the line's first byte in the merged log
    std::uint64_t number;  // 1-based line number in the merged log
    std::uint32_t length;
    LineKinds kinds;
    bool afterMarker;
};

class KeptLines {
  public:
    void add(std::uint64_t offset, std::uint64_t number, std::size_t length, LineKinds kinds,
             bool afterMarker);
    const std::deque<KeptLine>& lines() const { return lines_; }
    std::size_t killLines() const { return killLines_; }

  private:
    std::deque<KeptLine> lines_;  // grows in blocks: no copy of the whole as it grows
    std::size_t killLines_ = 0;
};

// Copies of lines that must outlive the buffer they were read into.
class LineArena {
  public:
    std::string_view store(std::string_view line);

  private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockSize_ = 0;
};

}  // namespace vorskal
