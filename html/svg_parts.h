#pragma once
// The pieces every chart of the pages is drawn with (the game page's, the
// season site's): an <svg> with its title and words, lines, labels and
// polylines, coordinates written alike (html_text.h).
#include <string>
#include <string_view>
#include <vector>

#include "html/chart_geometry.h"
#include "results/game_results.h"

namespace vorskal::html {

// "allied" for Allied, "hun" for the rest: the class that colours a side.
const char* sideClass(results::Side side);

// ` name="value"`.
void appendAt(std::string& out, const char* name, double value);
void appendLine(std::string& out, const char* cls, double x1, double y1, double x2, double y2);
void appendLabel(std::string& out, const char* cls, double x, double y, std::string_view text);
void appendPolyline(std::string& out, const char* cls, const std::vector<Point>& points);

// `<svg id="ID" class="chart" role="img" viewBox="0 0 WIDTH HEIGHT" ...>`
// with its <title> and, in <desc>, what it shows in words.
void appendSvgStart(std::string& out, const char* id, double width, double height,
                    std::string_view title, std::string_view words);

}  // namespace vorskal::html
