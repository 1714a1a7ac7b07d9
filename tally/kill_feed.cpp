#include "tally/kill_feed.h"

#include "tally/kill_pass.h"

namespace vorskal {
namespace {

constexpr std::size_t kBatchBytes = 256 << 10;
constexpr std::size_t kQueueLimit = 8;

}  // namespace

KillFeed::KillFeed(TallyState& state) : state_(state) {
    thread_ = std::thread([this] { run(); });
}

KillFeed::~KillFeed() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void KillFeed::add(const LogLine& line) {
    filling_.items.push_back(
        Item{filling_.bytes.size(), line.text.size(), line.number, line.afterMarker, line.lasting});
    filling_.bytes.append(line.text);
    if (filling_.bytes.size() >= kBatchBytes) {
        handOver();
    }
}

void KillFeed::handOver() {
    if (filling_.items.empty()) {
        return;
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queue_.size() < kQueueLimit || failure_; });
        if (!failure_) {
            queue_.push_back(std::move(filling_));
        }
    }
    changed_.notify_all();
    filling_ = Batch{};
}

std::exception_ptr KillFeed::finish() {
    handOver();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (queue_.empty() && !busy_) || failure_; });
    return failure_;
}

void KillFeed::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
        if (stopping_) {
            return;
        }
        Batch batch = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        changed_.notify_all();
        lock.unlock();
        std::exception_ptr failed;
        try {
            for (const Item& item : batch.items) {
                awardKillLine(state_, LogLine{{batch.bytes.data() + item.at, item.length},
                                              item.number,
                                              item.afterMarker,
                                              item.lasting});
                awardedAny_ = true;
            }
        } catch (...) {
            failed = std::current_exception();
        }
        batch = Batch{};
        lock.lock();
        busy_ = false;
        if (failed) {
            failure_ = failed;
            queue_.clear();
        }
        changed_.notify_all();
    }
}

}  // namespace vorskal
