#pragma once
// What the page draws of the long lists, kept as the run makes them, and no
// more (game_page.h, PageLists): of each arena event its mark on the charts,
// and of the corrections and the targets not credited the first ones the
// page shows and their counts, so the page of a large game holds no list
// that grows with the game. The results' own lists stay empty. A writer of the results may
// have set a sink of its own for the rows (the JSON and CSV of a large game
// keep them out of memory): every row then goes to both, and that writer
// still reads its rows from its own sink alone.
#include <vector>

#include "html/game_page.h"
#include "results/game_results.h"

namespace vorskal::html {

class PageRows : public results::RowSink {
  public:
    // Turns the gathering of rows on in `game` and puts itself in as its
    // sink, ahead of the sink that was set. Lives until the run is over.
    explicit PageRows(results::GameResults& game, const PageLimits& limits = {});
    PageRows(const PageRows&) = delete;
    PageRows& operator=(const PageRows&) = delete;

    void correction(const results::Correction& row) override;
    void target(const results::TargetRow& row) override;
    void arenaEvent(const results::ArenaEvent& row) override;
    // The page lists no kills: handed on only.
    void kill(const results::KillRow& row) override;

    // What the page draws of the lists, for gamePage.
    const PageLists& lists() const { return lists_; }

  private:
    results::RowSink* next_;
    PageLimits limits_;
    PageLists lists_;
};

}  // namespace vorskal::html
