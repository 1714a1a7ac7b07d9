#pragma once
// The page of one game: one self-contained HTML5 document drawn from the
// results model (never from the text report). Everything is inline: the
// style sheet, the SVG charts and the small sorting script; a
// Content-Security-Policy forbids every request, so the page opens offline
// and fetches nothing. Contract: docs/html.md (page format 1).
#include <string>
#include <vector>

#include "html/chart_geometry.h"
#include "html/page_parts.h"
#include "results/game_results.h"

namespace vorskal::html {

inline constexpr int kPageFormat = 2;

// The page, top to bottom: header with the final totals, the warnings,
// the arena chart with the over-max stretches, kills and deaths per
// minute, the score tables, the corrections, the targets not credited and
// the files read. The arena events come from `game.arena`, or in the second
// form from `marks` (what a run keeps of them, html/page_rows.h).
std::string gamePage(const results::GameResults& game, const PageLimits& limits = {});
std::string gamePage(const results::GameResults& game, const std::vector<ArenaMark>& marks,
                     const PageLimits& limits = {});

// Writes the page to `path` through replaceFile (base/system_files.h), so a
// page is replaced whole or not at all. Throws TallyFailure naming the file
// and the cause, as the JSON and CSV writers do.
void writeGamePage(const results::GameResults& game, const std::string& path);
void writeGamePage(const results::GameResults& game, const std::vector<ArenaMark>& marks,
                   const std::string& path);

}  // namespace vorskal::html
