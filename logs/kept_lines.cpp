#include "logs/kept_lines.h"

#include <cstring>

#include "logs/line_scan.h"

namespace vorskal {
namespace {

// Blocks of kept text grow with the log, from small to a few megabytes, and
// are never smaller than what must go in them.
std::size_t nextBlockSize(std::size_t last, std::size_t need) {
    constexpr std::size_t kFirst = 64 << 10;
    constexpr std::size_t kLargest = 4 << 20;
    const std::size_t next = last == 0 ? kFirst : last < kLargest ? last * 2 : kLargest;
    return need > next ? need : next;
}

// The selected-target marker: its 'y' and 'v', in any letter case.
constexpr std::size_t kMarkerY = kSelectedMarker.find('y');
constexpr std::size_t kMarkerV = kSelectedMarker.find('v');
static_assert(kEntryMarker.find(kArenaPhrase) != std::string_view::npos &&
              kExitMarker.find(kArenaPhrase) != std::string_view::npos);

}  // namespace

LineKinds classifyLine(std::string_view line) {
    return classifyCandidate(
        line, mayHoldPair(line.data(), line.size(), 't', kArenaPhrase.find('n'), 'n', false),
        mayHoldPair(line.data(), line.size(), 'y', kMarkerV - kMarkerY, 'v', true));
}

LineKinds classifyCandidate(std::string_view line, bool arena, bool marker) {
    LineKinds kinds = 0;
    if (isKillLine(line)) {
        kinds |= kKillLine;
    }
    if (isTargetLine(line)) {
        kinds |= kTargetLine;
    }
    if (arena) {
        if (isEntryLine(line)) {
            kinds |= kEntryLine;
        }
        if (isExitLine(line)) {
            kinds |= kExitLine;
        }
    }
    if (marker && carriesSelectedMarker(line)) {
        kinds |= kMarkerLine;
    }
    return kinds;
}

namespace {

constexpr std::size_t kLongestCount = 10;  // bytes of a 64-bit number, 7 bits a byte

void putCount(unsigned char*& at, std::uint64_t value) {
    while (value >= 0x80) {
        *at++ = static_cast<unsigned char>(value | 0x80);
        value >>= 7;
    }
    *at++ = static_cast<unsigned char>(value);
}

}  // namespace

void KeptLines::add(std::uint64_t number, std::string_view line, LineKinds kinds,
                    bool afterMarker) {
    const std::size_t need = 2 * kLongestCount + 1 + line.size();
    if (blocks_.empty() || need > blocks_.back().size - blocks_.back().used) {
        const std::size_t size = nextBlockSize(blocks_.empty() ? 0 : blocks_.back().size, need);
        blocks_.push_back(Block{std::make_unique_for_overwrite<unsigned char[]>(size), 0, size});
    }
    Block& block = blocks_.back();
    unsigned char* at = block.bytes.get() + block.used;
    putCount(at, number - lastNumber_);
    putCount(at, line.size());
    *at++ = static_cast<unsigned char>((kinds & kKindBits) | (afterMarker ? kAfterMarkerBit : 0));
    if (!line.empty()) {
        std::memcpy(at, line.data(), line.size());
        at += line.size();
    }
    block.used = static_cast<std::size_t>(at - block.bytes.get());
    lastNumber_ = number;
    ++count_;
}

std::string_view LineArena::store(std::string_view line) {
    if (blocks_.empty() || line.size() > blockSize_ - blockUsed_) {
        blockSize_ = nextBlockSize(blockSize_, line.size());
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(blockSize_));
        blockUsed_ = 0;
    }
    char* at = blocks_.back().get() + blockUsed_;
    if (!line.empty()) {
        std::memcpy(at, line.data(), line.size());
    }
    blockUsed_ += line.size();
    return {at, line.size()};
}

}  // namespace vorskal
