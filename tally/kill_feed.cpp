#include "tally/kill_feed.h"

#include "tally/kill_pass.h"

namespace vorskal {
namespace {

constexpr std::size_t kBatchBytes = 256 << 10;
constexpr std::size_t kQueueLimit = 8;

}  // namespace

KillFeed::KillFeed(TallyState& state)
    : state_(state),
      worker_([this](Batch& batch) { award(batch); }, kQueueLimit,
              WorkerThread<Batch>::AtStop::DropQueue) {}

void KillFeed::add(const LogLine& line) {
    filling_.items.push_back(
        Item{filling_.bytes.size(), line.text.size(), line.number, line.afterMarker, line.lasting});
    filling_.bytes.append(line.text);
    if (filling_.bytes.size() >= kBatchBytes) {
        handOver();
    }
}

void KillFeed::handOver() {
    if (!filling_.items.empty()) {
        worker_.submit(std::move(filling_));  // dropped once pass 1 has failed
        filling_ = Batch{};
    }
}

std::exception_ptr KillFeed::finish() {
    handOver();
    return worker_.finish();
}

void KillFeed::award(const Batch& batch) {
    for (const Item& item : batch.items) {
        awardKillLine(state_, LogLine{{batch.bytes.data() + item.at, item.length},
                                      item.number,
                                      item.afterMarker,
                                      item.lasting});
        awardedAny_ = true;
    }
}

}  // namespace vorskal
