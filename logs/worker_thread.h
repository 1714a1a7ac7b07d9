#pragma once
// A thread of its own that works through items handed over in order, from a
// bounded queue: a caller that hands over faster than the work goes waits,
// so memory stays small however much there is to do.
//
// The first exception the work throws stops it: the items still queued and
// those handed over later are dropped, and finish() returns it. The
// destructor stops the thread and waits for it; whether the items still
// queued are worked through first is chosen at construction.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "base/failure.h"

namespace vorskal {

template <typename Item>
class WorkerThread {
  public:
    enum class AtStop { WorkThroughQueue, DropQueue };

    WorkerThread(std::function<void(Item&)> work, std::size_t limit, AtStop atStop)
        : work_(std::move(work)), limit_(limit), atStop_(atStop), thread_(start()) {}

    ~WorkerThread() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            if (atStop_ == AtStop::DropQueue) {
                queue_.clear();
            }
        }
        changed_.notify_all();
        thread_.join();
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Queues an item; false (the item dropped) once the work has failed.
    bool submit(Item item) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return queue_.size() < limit_ || failure_; });
            if (failure_) {
                return false;
            }
            queue_.push_back(std::move(item));
        }
        changed_.notify_all();
        return true;
    }

    // Waits until every queued item is done; returns the failure that
    // stopped the work, or null.
    std::exception_ptr finish() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return (queue_.empty() && !busy_) || failure_; });
        return failure_;
    }

    std::exception_ptr failure() {
        std::lock_guard lock(mutex_);
        return failure_;
    }

  private:
    // The thread; one that the system cannot start is a TallyFailure.
    std::thread start() {
        try {
            return std::thread([this] { run(); });
        } catch (const std::system_error& error) {
            throw TallyFailure("cannot start a thread: " + error.code().message());
        }
    }

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
            if (queue_.empty()) {
                return;  // stopping, and nothing left to do
            }
            std::optional<Item> item(std::move(queue_.front()));
            queue_.pop_front();
            busy_ = true;
            changed_.notify_all();
            lock.unlock();
            std::exception_ptr failed;
            try {
                work_(*item);
            } catch (...) {
                failed = std::current_exception();
            }
            item.reset();  // freed outside the lock
            lock.lock();
            busy_ = false;
            if (failed) {
                failure_ = failed;
                queue_.clear();
            }
            changed_.notify_all();
        }
    }

    std::function<void(Item&)> work_;
    std::size_t limit_;
    AtStop atStop_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: it starts once everything else is set up
};

}  // namespace vorskal
