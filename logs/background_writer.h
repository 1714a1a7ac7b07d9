#pragma once
// Writes a file on a thread of its own, from a queue of pieces handed over
// in order: bytes that lie in place in a mapped file (MappedFile::resident),
// windows of bytes that the caller has read (and scanned) and bytes of the
// caller's. Reading and scanning go on meanwhile; the queue is bounded, so
// memory stays small however large the file grows. Bytes in place are
// written from there and then released from memory; a window, once written,
// is kept for the caller's next read: the bytes are read from the logs once
// and written from where they were read, and no new memory is touched for
// each window.
//
// A write failure stops the writer; the next submit or finish() rethrows it
// on the caller's thread. The destructor waits until what is queued is
// written but reports nothing: call finish() to see a failure.
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/platform.h"
#include "logs/worker_thread.h"

namespace vorskal {

// Bytes to read into, of a fixed capacity.
struct WindowBuffer {
    std::unique_ptr<char[]> bytes;
    std::size_t capacity = 0;
};

class BackgroundWriter {
  public:
    explicit BackgroundWriter(OutputFile& file);

    // A buffer of at least `capacity` bytes: one the writer is done with, or a new one.
    WindowBuffer takeBuffer(std::size_t capacity);
    // Queues the first `length` bytes of `buffer`.
    void submitBuffer(WindowBuffer buffer, std::size_t length);
    // Queues bytes of the caller's.
    void submitBytes(std::string bytes);
    // Queues the `length` bytes at `offset` of `file`, in place at `bytes`;
    // `file` lives until they are written, then releases them.
    void submitResident(std::shared_ptr<const MappedFile> file, std::uint64_t offset,
                        const char* bytes, std::size_t length);
    // Waits until everything queued is written; rethrows a write failure.
    void finish();

  private:
    struct Piece {
        WindowBuffer buffer;
        std::size_t length = 0;
        std::string bytes;
        std::shared_ptr<const MappedFile> file;  // with `resident`, `offset` and `length`
        const char* resident = nullptr;
        std::uint64_t offset = 0;
    };
    void submit(Piece piece);
    void write(Piece& piece);

    // Bytes written in place and not yet released: released a few megabytes
    // at a time, for each release costs the other thread's view of memory.
    struct Written {
        std::shared_ptr<const MappedFile> file;
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };
    void releaseWritten();

    OutputFile& file_;
    Written written_;  // the writer thread's
    std::mutex freeMutex_;
    std::vector<WindowBuffer> free_;  // written windows, for takeBuffer
    WorkerThread<Piece> worker_;      // last: stopped before the rest goes
};

}  // namespace vorskal
