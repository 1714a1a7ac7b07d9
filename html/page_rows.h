#pragma once
// The rows that the page draws from (arena events, corrections, targets),
// kept in the results themselves as the run makes them. A writer of the
// results may have set a sink of its own for those rows (the JSON and CSV of
// a large game keep them out of memory): every row then goes to both, and
// that writer still reads its rows from its own sink alone.
#include "results/game_results.h"

namespace vorskal::html {

class PageRows : public results::RowSink {
  public:
    // Turns the gathering of rows on in `game` and puts itself in as its
    // sink, ahead of the sink that was set. Lives until the run is over.
    explicit PageRows(results::GameResults& game);
    PageRows(const PageRows&) = delete;
    PageRows& operator=(const PageRows&) = delete;

    void correction(const results::Correction& row) override;
    void target(const results::TargetRow& row) override;
    void arenaEvent(const results::ArenaEvent& row) override;

  private:
    results::GameResults& game_;
    results::RowSink* next_;
};

}  // namespace vorskal::html
