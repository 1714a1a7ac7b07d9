#include "html/page_rows.h"

namespace vorskal::html {

PageRows::PageRows(results::GameResults& game, const PageLimits& limits)
    : next_(game.rowSink), limits_(limits) {
    game.gatherRows = true;
    game.rowSink = this;
}

void PageRows::correction(const results::Correction& row) {
    lists_.add(row, limits_);
    if (next_ != nullptr) {
        next_->correction(row);
    }
}

void PageRows::target(const results::TargetRow& row) {
    lists_.add(row, limits_);
    if (next_ != nullptr) {
        next_->target(row);
    }
}

void PageRows::arenaEvent(const results::ArenaEvent& row) {
    lists_.add(row);
    if (next_ != nullptr) {
        next_->arenaEvent(row);
    }
}

void PageRows::kill(const results::KillRow& row) {
    if (next_ != nullptr) {
        next_->kill(row);
    }
}

}  // namespace vorskal::html
