#include "logs/kept_lines.h"

#include <cstring>

#include "logs/line_scan.h"

namespace vorskal {
namespace {

constexpr std::size_t kFirstBlockSize = 64 << 10;
constexpr std::size_t kLargestBlockSize = 4 << 20;

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

void KeptLines::add(std::uint64_t offset, std::uint64_t number, std::size_t length, LineKinds kinds,
                    bool afterMarker) {
    if (length > UINT32_MAX) {
        throw TallyFailure(where(kMergedLogName, number) + "a line of " + std::to_string(length) +
                           " bytes is too long");
    }
    lines_.push_back(
        KeptLine{offset, number, static_cast<std::uint32_t>(length), kinds, afterMarker});
}

std::string_view LineArena::store(std::string_view line) {
    if (blocks_.empty() || line.size() > blockSize_ - blockUsed_) {
        // Blocks grow with the log, from small to a few megabytes.
        const std::size_t next = blockSize_ == 0                  ? kFirstBlockSize
                                 : blockSize_ < kLargestBlockSize ? blockSize_ * 2
                                                                  : kLargestBlockSize;
        blockSize_ = line.size() > next ? line.size() : next;
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
