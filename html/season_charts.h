#pragma once
// A pilot's season as two inline SVG charts, a column per game in the order
// the games were played, drawn with the game page's chart pieces
// (svg_parts.h): his score per game, and his kills and deaths per game.
#include <cstdint>
#include <string>
#include <vector>

#include "results/game_results.h"

namespace vorskal::html {

// One game of the pilot's.
struct PilotGameNumbers {
    std::string label;  // under its column, e.g. the game's day "6 Dec"
    std::string name;   // in words: "Game 3 (12/01/26, Verdun)"
    results::Side side = results::Side::Unknown;
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t score = 0;
};

// His score in each game (id "pilot-score-chart"): a point per game, in
// his side's colour, joined by a line; the score axis runs from the lowest
// score (0 at most) to the highest (0 at least), with a line at 0.
void appendPilotScoreChart(std::string& out, const std::vector<PilotGameNumbers>& games);

// His kills (bars up) and deaths (bars down) in each game (id
// "pilot-activity-chart"), in his side's colour; the tallest bar is the
// most kills or deaths of one game.
void appendPilotActivityChart(std::string& out, const std::vector<PilotGameNumbers>& games);

}  // namespace vorskal::html
