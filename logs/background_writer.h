#pragma once
// Writes a file on a thread of its own, from a queue of pieces handed over
// in order: windows of bytes that the caller has read (and scanned) and
// bytes of the caller's. Reading and scanning go on meanwhile; the queue is
// bounded, so memory stays small however large the file grows. A window,
// once written, is kept for the caller's next read: the bytes are read from
// the logs once and written from where they were read, and no new memory is
// touched for each window.
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
    // Waits until everything queued is written; rethrows a write failure.
    void finish();

  private:
    struct Piece {
        WindowBuffer buffer;
        std::size_t length = 0;
        std::string bytes;
    };
    void submit(Piece piece);
    void write(Piece& piece);

    OutputFile& file_;
    std::mutex freeMutex_;
    std::vector<WindowBuffer> free_;  // written windows, for takeBuffer
    WorkerThread<Piece> worker_;      // last: stopped before the rest goes
};

}  // namespace vorskal
