#pragma once
// The lines of the merged log that passes 2 and 3 act on (destruction
// lines, arena entries and exits), noted by the merge as it writes them:
// their number, their kinds, whether the line before carried the
// selected-target marker, and their text. Kill lines are not among them:
// pass 1 takes those as the merge reads them. Chatter is not noted, so
// memory grows with the events only.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/failure.h"
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

// Both arena phrases hold this; a line without it is neither entry nor exit.
inline constexpr std::string_view kArenaPhrase = "the arena";

// classifyLine for a line already tested for the rarer phrases: `arena`
// false says the line cannot hold kArenaPhrase, `marker` false that it
// cannot carry the selected-target marker (in any letter case).
LineKinds classifyCandidate(std::string_view line, bool arena, bool marker);

struct KeptLine {
    std::uint64_t number;  // 1-based line number in the merged log
    LineKinds kinds;
    bool afterMarker;
    std::string_view text;
};

// The kinds that the kept lines note.
inline constexpr LineKinds kKeptKinds = kTargetLine | kEntryLine | kExitLine;

// The noted lines, packed one after the other in blocks: the number (as its
// difference from the line before), the length, a byte of kinds and marker
// flag, then the text.
class KeptLines {
  public:
    // Notes a line of one of kKeptKinds (it may be of other kinds too).
    void add(std::uint64_t number, std::string_view line, LineKinds kinds, bool afterMarker);
    std::size_t size() const { return count_; }

    // Calls visit(const KeptLine&) for every kept line, in order.
    template <typename Visit>
    void forEach(Visit&& visit) const {
        KeptLine line{0, 0, false, {}};
        for (const Block& block : blocks_) {
            const unsigned char* at = block.bytes.get();
            const unsigned char* const end = at + block.used;
            while (at < end) {
                line.number += readCount(at);
                const auto length = static_cast<std::size_t>(readCount(at));
                const unsigned char flags = *at++;
                line.kinds = static_cast<LineKinds>(flags & kKindBits);
                line.afterMarker = (flags & kAfterMarkerBit) != 0;
                line.text = {reinterpret_cast<const char*>(at), length};
                at += length;
                visit(line);
            }
        }
    }

  private:
    static constexpr unsigned char kKindBits = 0x1f;
    static constexpr unsigned char kAfterMarkerBit = 0x80;
    struct Block {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t used = 0;
        std::size_t size = 0;
    };
    static std::uint64_t readCount(const unsigned char*& at) {
        std::uint64_t value = 0;
        for (int shift = 0;; shift += 7) {
            const unsigned char byte = *at++;
            value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
    }

    std::vector<Block> blocks_;  // grows in blocks: no copy of the whole as it grows
    std::uint64_t lastNumber_ = 0;
    std::size_t count_ = 0;
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
