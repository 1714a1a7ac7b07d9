#include "logs/background_writer.h"

#include "tally/failure.h"

namespace vorskal {
namespace {
constexpr std::size_t kQueueLimit = 8;
}

BackgroundWriter::BackgroundWriter(OutputFile& file) : file_(file) {
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

void BackgroundWriter::submitRange(std::shared_ptr<const MappedFile> source, std::uint64_t offset,
                                   std::uint64_t length) {
    if (length > 0) {
        submit(Piece{std::move(source), offset, length, {}});
    }
}

void BackgroundWriter::submitBytes(std::string bytes) {
    if (!bytes.empty()) {
        submit(Piece{nullptr, 0, 0, std::move(bytes)});
    }
}

void BackgroundWriter::submit(Piece piece) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queue_.size() < kQueueLimit || failure_; });
        if (failure_) {
            throw TallyFailure(*failure_);
        }
        queue_.push_back(std::move(piece));
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
        Piece piece = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        changed_.notify_all();
        lock.unlock();
        std::optional<std::string> failed;
        try {
            if (piece.source != nullptr) {
                file_.copyFrom(*piece.source, piece.offset, piece.length);
            } else {
                file_.write(piece.bytes);
            }
        } catch (const TallyFailure& failure) {
            failed = failure.what();
        }
        piece = Piece{};
        lock.lock();
        busy_ = false;
        if (failed) {
            failure_ = std::move(failed);
            queue_.clear();
        }
        changed_.notify_all();
    }
}

}  // namespace vorskal
