#pragma once
// The page's two charts as inline SVG, from the geometry of
// chart_geometry.h. Both share one time axis, so they line up on the page.
// Each <svg> has role="img", a <title> (its name) and a <desc> that says in words
// what it shows, and a viewBox so that it scales to the page and to print.
#include <string>

#include "html/chart_geometry.h"
#include "results/game_results.h"

namespace vorskal::html {

// The drawing's size and the plot area inside it that both charts share.
inline constexpr double kChartWidth = 960;
inline constexpr double kPlotLeft = 56;
inline constexpr double kPlotWidth = 880;

// The arena chart (id "arena-chart"): pilots in the game per side as step
// lines, the limit of 16, each over-max stretch shaded with its minutes and
// points, time ticks in game time. `marks`: the game's arena events.
void appendArenaChart(std::string& out, const results::GameResults& game,
                      const std::vector<ArenaMark>& marks);

// Kills (bars up) and deaths (bars down) per minute, one strip per side
// (id "activity-chart"), on the arena chart's time line.
void appendActivityChart(std::string& out, const results::GameResults& game,
                         const std::vector<ArenaMark>& marks);

}  // namespace vorskal::html
