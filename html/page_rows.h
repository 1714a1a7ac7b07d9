#pragma once
// What the page draws of the long lists, kept as the run makes them, and no
// more: every correction, the targets that were not credited (the page lists
// and counts only those) in the results themselves, and of each arena event
// only its mark on the chart (chart_geometry.h). A writer of the results may
// have set a sink of its own for the rows (the JSON and CSV of a large game
// keep them out of memory): every row then goes to both, and that writer
// still reads its rows from its own sink alone.
#include <vector>

#include "html/chart_geometry.h"
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

    // The arena events' marks, in order, for gamePage.
    const std::vector<ArenaMark>& arenaMarks() const { return marks_; }

  private:
    results::GameResults& game_;
    results::RowSink* next_;
    std::vector<ArenaMark> marks_;
};

}  // namespace vorskal::html
