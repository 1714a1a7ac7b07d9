#pragma once
// The lines of the merged log that some pass acts on (destruction lines,
// arena entries and exits, and kill lines when no pass takes them as they
// go by), noted by the merge as it writes them: their place in the merged
// log, their number, whether the line before carried the selected-target
// marker, and the text of the kinds that the later passes read. Chatter is
// not noted, so memory grows with the events only.
#include <cstdint>
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
    std::size_t length;
    LineKinds kinds;
    bool afterMarker;
    // The line's text when the kept lines hold it (kHeldText), else empty.
    std::string_view text;
};

// The kinds whose text the kept lines hold, so that the later passes need
// not read the merged log again for them: destructions and arena lines.
// Kill lines need no text: pass 1 takes them as the merge reads them.
inline constexpr LineKinds kHeldText = kTargetLine | kEntryLine | kExitLine;

// The noted lines, packed one after the other in blocks: a few bytes of
// numbers (each as its difference from the line before) and, for kHeldText
// kinds, the text.
class KeptLines {
  public:
    void add(std::uint64_t offset, std::uint64_t number, std::string_view line, LineKinds kinds,
             bool afterMarker);
    std::size_t size() const { return count_; }

    // Calls visit(const KeptLine&) for every kept line, in order.
    template <typename Visit>
    void forEach(Visit&& visit) const {
        KeptLine line{0, 0, 0, 0, false, {}};
        for (const Block& block : blocks_) {
            const unsigned char* at = block.bytes.get();
            const unsigned char* const end = at + block.used;
            while (at < end) {
                line.number += readCount(at);
                line.offset += readCount(at);
                line.length = static_cast<std::size_t>(readCount(at));
                const unsigned char flags = *at++;
                line.kinds = static_cast<LineKinds>(flags & kKindBits);
                line.afterMarker = (flags & kAfterMarkerBit) != 0;
                line.text = {};
                if ((line.kinds & kHeldText) != 0) {
                    line.text = {reinterpret_cast<const char*>(at), line.length};
                    at += line.length;
                }
                visit(line);
                line.offset += line.length + 2;  // a merged line ends in CR LF
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
    std::uint64_t nextOffset_ = 0;  // just past the last kept line's CR LF
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
