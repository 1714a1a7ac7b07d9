#include "logs/kept_lines.h"

#include <cstring>

namespace vorskal {
namespace {
constexpr std::size_t kFirstBlockSize = 64 << 10;
constexpr std::size_t kLargestBlockSize = 4 << 20;
}

LineKinds classifyLine(std::string_view line) {
    LineKinds kinds = 0;
    if (isKillLine(line)) {
        kinds |= kKillLine;
    }
    if (isTargetLine(line)) {
        kinds |= kTargetLine;
    }
    if (isEntryLine(line)) {
        kinds |= kEntryLine;
    }
    if (isExitLine(line)) {
        kinds |= kExitLine;
    }
    if (carriesSelectedMarker(line)) {
        kinds |= kMarkerLine;
    }
    return kinds;
}

std::string_view KeptLines::store(std::string_view line) {
    if (blocks_.empty() || line.size() > blockSize_ - blockUsed_) {
        // Blocks grow with the log, from small to a few megabytes.
        const std::size_t next = blockSize_ == 0 ? kFirstBlockSize
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
    bytes_ += line.size();
    return {at, line.size()};
}

void KeptLines::offer(std::string_view line, std::uint64_t number) {
    const LineKinds kinds = classifyLine(line);
    if ((kinds & kPassLines) != 0) {
        kept_.push_back(Kept{LogLine{store(line), number, previousMarked_}, kinds});
    }
    previousMarked_ = (kinds & kMarkerLine) != 0;
}

}  // namespace vorskal
