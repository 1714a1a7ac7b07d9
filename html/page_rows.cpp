#include "html/page_rows.h"

namespace vorskal::html {

PageRows::PageRows(results::GameResults& game, const PageLimits& limits)
    : next_(game.rowSink), limits_(limits) {
    game.gatherRows = true;
    game.rowSink = this;
}

void PageRows::correction(const results::Correction& row) {
    lists_.corrections.add(row, correctionGroup(row), limits_.corrections);
    if (next_ != nullptr) {
        next_->correction(row);
    }
}

void PageRows::target(const results::TargetRow& row) {
    if (row.pilot.empty()) {
        lists_.notCredited.add(row, row.reason, limits_.notes);
    }
    if (next_ != nullptr) {
        next_->target(row);
    }
}

void PageRows::arenaEvent(const results::ArenaEvent& row) {
    lists_.marks.push_back(arenaMark(row));
    if (next_ != nullptr) {
        next_->arenaEvent(row);
    }
}

}  // namespace vorskal::html
