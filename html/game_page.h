#pragma once
// The page of one game: one self-contained HTML5 document drawn from the
// results model (never from the text report). Everything is inline: the
// style sheet, the SVG charts and the small sorting script; a
// Content-Security-Policy forbids every request, so the page opens offline
// and fetches nothing. Contract: docs/html.md (page format 1).
#include <string>
#include <string_view>
#include <vector>

#include "html/chart_geometry.h"
#include "html/page_parts.h"
#include "results/game_results.h"

namespace vorskal::html {

inline constexpr int kPageFormat = 2;

// What the page draws of the game's long lists: each arena event's mark on
// the charts, and the corrections and the targets not credited as the page
// shows them (their first entries and their counts). Made from a whole game,
// or kept by a run as its rows go by (html/page_rows.h), one row at a time
// either way.
struct PageLists {
    std::vector<ArenaMark> marks;
    ShownCorrections corrections;
    ShownNotCredited notCredited;

    void add(const results::Correction& row, const PageLimits& limits);
    void add(const results::TargetRow& row, const PageLimits& limits);  // a credited one: nothing
    void add(const results::ArenaEvent& row);
};
PageLists pageLists(const results::GameResults& game, const PageLimits& limits = {});

// The page, top to bottom: header with the final totals, the warnings,
// the arena chart with the over-max stretches, kills and deaths per
// minute, the score tables, the corrections, the targets not credited and
// the files read. The long lists come from the game's own, or in the second
// form from `lists` (what a run keeps of them).
std::string gamePage(const results::GameResults& game, const PageLimits& limits = {});
std::string gamePage(const results::GameResults& game, const PageLists& lists,
                     const PageLimits& limits = {});

// What a page of a game still being flown (vorskal-tally --follow) says
// beyond a game's page: that it reloads itself every `refreshSeconds`, and
// when the logs were read ("21:03:10"). docs/html.md, "A live page".
struct LiveNote {
    int refreshSeconds = 30;
    std::string asOf;
};
std::string gamePage(const results::GameResults& game, const PageLists& lists,
                     const PageLimits& limits, const LiveNote* live);

// The page of a game whose long lists are not known (a league's game
// imported from its report, or recorded before the league kept them):
// `why` says so in words where the charts, the over-limit table and the
// targets not credited would be, since charts of no rows would state false
// numbers. The rest is the game's page.
std::string gamePageWithoutLists(const results::GameResults& game, std::string_view why,
                                 const PageLimits& limits = {});

// Writes the page to `path` through replaceFile (base/system_files.h), so a
// page is replaced whole or not at all. Throws TallyFailure naming the file
// and the cause, as the JSON and CSV writers do.
void writeGamePage(const results::GameResults& game, const std::string& path);
void writeGamePage(const results::GameResults& game, const PageLists& lists,
                   const std::string& path, const LiveNote* live = nullptr);

}  // namespace vorskal::html
