#pragma once
// Pass 1 on a thread of its own, fed by the merge: the merge hands over each
// kill line as it reads it, and the thread awards them in the order given,
// while the merge reads on. Lines go over in batches, and at most a few
// batches wait, so memory stays small however many kill lines there are.
//
// Until finish() returns, the thread alone touches the tally state. The
// first failure of pass 1 stops the awarding (later lines are dropped);
// finish() returns it. The destructor stops the thread and waits for it,
// without awarding what is still queued.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "logs/log_line.h"
#include "logs/worker_thread.h"
#include "tally/tally_state.h"

namespace vorskal {

class KillFeed {
  public:
    explicit KillFeed(TallyState& state);

    // Queues a kill line: its text is copied, `lasting` kept as it is.
    void add(const LogLine& line);
    // Waits until every queued line is awarded; returns the failure that
    // stopped pass 1, or null.
    std::exception_ptr finish();
    // Whether pass 1 awarded at least one line (valid after finish()).
    bool awardedAny() const { return awardedAny_; }

  private:
    struct Item {
        std::size_t at;  // of the text in the batch's bytes
        std::size_t length;
        std::uint64_t number;
        bool afterMarker;
        std::string_view lasting;
    };
    struct Batch {
        std::string bytes;
        std::vector<Item> items;
    };
    void handOver();
    void award(const Batch& batch);

    TallyState& state_;
    Batch filling_;
    bool awardedAny_ = false;
    WorkerThread<Batch> worker_;
};

}  // namespace vorskal
