#pragma once
// Writes blocks of bytes to a file on a thread of its own, in the order they
// are handed over, so that reading and scanning the next block goes on while
// the last one is written. The blocks come from a small pool: memory stays
// bounded however large the file grows.
//
// A write failure stops the writer; finish() (and the next submit) rethrows
// it as TallyFailure on the caller's thread. The destructor waits for the
// thread but does not report a failure: call finish() to see it.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/platform.h"

namespace vorskal {

struct WriteBlock {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t used = 0;
    std::string owned;  // when non-empty, written instead of data
    void grow(std::size_t atLeast);
};

class BackgroundWriter {
public:
    BackgroundWriter(OutputFile& file, std::size_t blockSize, std::size_t blocks);
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // A free block, waiting for one when all are being written.
    std::unique_ptr<WriteBlock> acquire();
    // Queues a block for writing; it goes back to the pool afterwards.
    void submit(std::unique_ptr<WriteBlock> block);
    // Waits until every queued block is written; rethrows a write failure.
    void finish();

private:
    void run();
    void throwIfFailed();

    OutputFile& file_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<WriteBlock>> queue_;
    std::vector<std::unique_ptr<WriteBlock>> free_;
    std::optional<std::string> failure_;
    bool stopping_ = false;
    bool busy_ = false;
    std::thread thread_;
};

}  // namespace vorskal
