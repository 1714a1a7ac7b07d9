#include "html/page_rows.h"

namespace vorskal::html {

PageRows::PageRows(results::GameResults& game) : game_(game), next_(game.rowSink) {
    game_.gatherRows = true;
    game_.rowSink = this;
}

void PageRows::correction(const results::Correction& row) {
    game_.corrections.push_back(row);
    if (next_ != nullptr) {
        next_->correction(row);
    }
}

void PageRows::target(const results::TargetRow& row) {
    if (row.pilot.empty()) {
        game_.targets.push_back(row);
    }
    if (next_ != nullptr) {
        next_->target(row);
    }
}

void PageRows::arenaEvent(const results::ArenaEvent& row) {
    marks_.push_back(arenaMark(row));
    if (next_ != nullptr) {
        next_->arenaEvent(row);
    }
}

}  // namespace vorskal::html
