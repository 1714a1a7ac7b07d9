#pragma once
// The game's fingerprint: the SHA-256 of the merged log, taken on a thread of
// its own from copies of the bytes the merge writes, so the merge goes on
// while they are hashed. The copies are made in buffers that come back to be
// filled again once hashed: a new buffer for every quarter megabyte was fresh
// memory each time, and the kernel's work of giving it (a page fault every
// 4 KiB) cost nearly half as much as the hash itself.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "logs/worker_thread.h"
#include "results/game_results.h"
#include "results/sha256.h"

namespace vorskal::collector {

class MergedLogDigest {
  public:
    MergedLogDigest();
    // The next bytes of the merged log.
    void add(std::string_view bytes);
    // Takes the digest of the bytes so far, where a numbered log ends: an
    // early tally's merged log is one of these beginnings of the whole one's.
    void mark(std::uint64_t bytes, std::uint64_t lines);
    // Waits until every byte is hashed; the digest as 64 lower-case hex
    // digits, or empty when the hashing ran out of memory (the fingerprint is
    // then left out, nothing else). Call once.
    std::string finish();
    // After finish(): the digests marked, in order (empty when the hashing
    // ran out of memory).
    const std::vector<results::FileFacts>& marks() const { return marks_; }

  private:
    struct Chunk {
        std::string bytes;
        bool mark = false;  // then the digest so far is taken after the bytes
        std::uint64_t markBytes = 0;
        std::uint64_t markLines = 0;
    };
    void hashed(Chunk& chunk);  // on the thread
    std::string takeSpare();

    results::Sha256 hash_;  // the thread's until finish() has waited for it
    std::mutex spareMutex_;
    std::vector<std::string> spare_;               // hashed buffers, to be filled again
    std::string pending_;                          // not yet handed to the thread
    std::vector<results::FileFacts> marks_;        // the thread's until finish() has waited for it
    std::unique_ptr<WorkerThread<Chunk>> thread_;  // last: stopped before the rest goes
};

}  // namespace vorskal::collector
