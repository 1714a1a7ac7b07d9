#include "logs/background_writer.h"

#include <cstring>

#include "tally/failure.h"

namespace vorskal {

void WriteBlock::grow(std::size_t atLeast) {
    if (atLeast <= capacity) {
        return;
    }
    std::size_t size = capacity == 0 ? atLeast : capacity;
    while (size < atLeast) {
        size *= 2;
    }
    auto bigger = std::make_unique_for_overwrite<char[]>(size);
    if (used > 0) {
        std::memcpy(bigger.get(), data.get(), used);
    }
    data = std::move(bigger);
    capacity = size;
}

BackgroundWriter::BackgroundWriter(OutputFile& file, std::size_t blockSize, std::size_t blocks)
    : file_(file) {
    for (std::size_t i = 0; i < blocks; ++i) {
        auto block = std::make_unique<WriteBlock>();
        block->grow(blockSize);
        free_.push_back(std::move(block));
    }
    thread_ = std::thread([this] { run(); });
}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::unique_ptr<WriteBlock> BackgroundWriter::acquire() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty() || failure_; });
    if (failure_) {
        throw TallyFailure(*failure_);
    }
    std::unique_ptr<WriteBlock> block = std::move(free_.back());
    free_.pop_back();
    block->used = 0;
    block->owned.clear();
    return block;
}

void BackgroundWriter::submit(std::unique_ptr<WriteBlock> block) {
    {
        std::lock_guard lock(mutex_);
        if (failure_) {
            throw TallyFailure(*failure_);
        }
        queue_.push_back(std::move(block));
    }
    changed_.notify_all();
}

void BackgroundWriter::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (queue_.empty() && !busy_) || failure_; });
    if (failure_) {
        throw TallyFailure(*failure_);
    }
}

void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) {
            return;  // stopping, and nothing left to write
        }
        std::unique_ptr<WriteBlock> block = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        std::optional<std::string> failed;
        try {
            if (!block->owned.empty()) {
                file_.write(block->owned);
            } else if (block->used > 0) {
                file_.write(std::string_view(block->data.get(), block->used));
            }
        } catch (const TallyFailure& failure) {
            failed = failure.what();
        }
        lock.lock();
        busy_ = false;
        free_.push_back(std::move(block));
        if (failed) {
            failure_ = std::move(failed);
            queue_.clear();
        }
        changed_.notify_all();
    }
}

}  // namespace vorskal
