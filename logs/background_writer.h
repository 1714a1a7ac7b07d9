#pragma once
// Writes a file on a thread of its own, from a queue of pieces handed over
// in order: ranges of a mapped file (copied inside the system where it can)
// and bytes of the caller's. Reading and scanning go on meanwhile; the
// queue is bounded, so memory stays small however large the file grows.
//
// A write failure stops the writer; the next submit() or finish() rethrows
// it on the caller's thread. The destructor waits until what is queued is
// written but reports nothing: call finish() to see a failure.
#include <cstdint>
#include <memory>
#include <string>

#include "base/platform.h"
#include "logs/worker_thread.h"

namespace vorskal {

class BackgroundWriter {
  public:
    explicit BackgroundWriter(OutputFile& file);

    // Queues `length` bytes of `source` from `offset`; `source` stays alive
    // until they are written.
    void submitRange(std::shared_ptr<const MappedFile> source, std::uint64_t offset,
                     std::uint64_t length);
    // Queues bytes of the caller's.
    void submitBytes(std::string bytes);
    // Waits until everything queued is written; rethrows a write failure.
    void finish();

  private:
    struct Piece {
        std::shared_ptr<const MappedFile> source;
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
        std::string bytes;
    };
    void submit(Piece piece);
    void write(Piece& piece);

    OutputFile& file_;
    WorkerThread<Piece> worker_;
};

}  // namespace vorskal
