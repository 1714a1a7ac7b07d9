#include "collector/merged_digest.h"

#include <utility>

namespace vorskal::collector {
namespace {

// Bytes handed to the thread at once.
constexpr std::size_t kHashedAtOnce = 256 << 10;
// Items queued at most (the hash mostly keeps up with the merge, so the queue
// is short), and hashed buffers kept for filling again: a few, so that a
// queue that grew for a while does not hold its memory to the end.
constexpr std::size_t kQueued = 4;
constexpr std::size_t kSpares = 2;

}  // namespace

MergedLogDigest::MergedLogDigest()
    : thread_(std::make_unique<WorkerThread<Chunk>>([this](Chunk& chunk) { hashed(chunk); },
                                                    kQueued,
                                                    WorkerThread<Chunk>::AtStop::DropQueue)) {}

void MergedLogDigest::hashed(Chunk& chunk) {
    std::string& bytes = chunk.bytes;
    hash_.update(bytes);
    if (chunk.mark) {
        marks_.push_back({"", chunk.markBytes, chunk.markLines, hash_.hexDigestSoFar()});
    }
    bytes.clear();
    std::lock_guard lock(spareMutex_);
    if (spare_.size() < kSpares) {
        spare_.push_back(std::move(bytes));
    }
}

std::string MergedLogDigest::takeSpare() {
    std::lock_guard lock(spareMutex_);
    if (spare_.empty()) {
        return {};
    }
    std::string spare = std::move(spare_.back());
    spare_.pop_back();
    return spare;
}

void MergedLogDigest::add(std::string_view bytes) {
    // Whole windows mostly, with the mended line ends between them.
    pending_.append(bytes);
    if (pending_.size() >= kHashedAtOnce) {
        thread_->submit({std::exchange(pending_, takeSpare()), false, 0, 0});
    }
}

void MergedLogDigest::mark(std::uint64_t bytes, std::uint64_t lines) {
    thread_->submit({std::exchange(pending_, takeSpare()), true, bytes, lines});
}

std::string MergedLogDigest::finish() {
    if (!pending_.empty()) {
        thread_->submit({std::move(pending_), false, 0, 0});
        pending_.clear();
    }
    const bool hashed = !thread_->finish();
    thread_.reset();
    if (!hashed) {
        marks_.clear();
    }
    return hashed ? hash_.hexDigest() : std::string();
}

}  // namespace vorskal::collector
