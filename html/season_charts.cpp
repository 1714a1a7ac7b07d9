#include "html/season_charts.h"

#include <algorithm>
#include <cmath>

#include "html/chart_geometry.h"
#include "html/html_text.h"
#include "html/svg_charts.h"
#include "html/svg_parts.h"

namespace vorskal::html {

namespace {

// A label under a column takes this much room at most ("30 Sep"): no more
// labels are written than fit side by side (every second, third, ... game
// past that).
constexpr double kLabelRoom = 56;
constexpr std::size_t kMostGameLabels = static_cast<std::size_t>(kPlotWidth / kLabelRoom);
constexpr double kBarShare = 0.6;  // of a column's width
constexpr double kWidestBar = 40;

// Columns across the plot: game i is centred at scale.x(i + 0.5).
Scale columns(double top, double height, std::size_t games, Range values) {
    return Scale({kPlotLeft, top, kPlotWidth, height}, {0, static_cast<double>(games)}, values);
}

void appendGameAxis(std::string& out, const Scale& scale,
                    const std::vector<PilotGameNumbers>& games) {
    const double bottom = scale.area().y + scale.area().height;
    appendLine(out, "axis", scale.area().x, bottom, scale.area().x + scale.area().width, bottom);
    const std::size_t every = (games.size() + kMostGameLabels - 1) / kMostGameLabels;
    for (std::size_t i = 0; i < games.size(); i += std::max<std::size_t>(every, 1)) {
        const double x = scale.x(static_cast<double>(i) + 0.5);
        appendLine(out, "tick", x, bottom, x, bottom + 5);
        appendLabel(out, "time", x, bottom + 18, games[i].label);
    }
}

std::string plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

void appendPilotScoreChart(std::string& out, const std::vector<PilotGameNumbers>& games) {
    constexpr double kTop = 20;
    constexpr double kPlot = 200;
    constexpr double kHeight = kTop + kPlot + 30;
    std::int64_t low = 0;
    std::int64_t high = 0;
    std::string words = "His score in each game, in the order they were played:";
    for (const PilotGameNumbers& g : games) {
        low = std::min(low, g.score);
        high = std::max(high, g.score);
        words += " " + g.name + " " + std::to_string(g.score) + (&g == &games.back() ? "." : ",");
    }
    const Scale scale =
        columns(kTop, kPlot, games.size(), {static_cast<double>(low), static_cast<double>(high)});
    appendSvgStart(out, "pilot-score-chart", kChartWidth, kHeight, "Score per game", words);
    const Rect& area = scale.area();
    std::vector<std::int64_t> levels = {low};
    for (const std::int64_t value : {std::int64_t{0}, high}) {
        if (value != levels.back()) {
            levels.push_back(value);
        }
    }
    for (const std::int64_t value : levels) {
        const double y = scale.y(static_cast<double>(value));
        appendLine(out, value == 0 ? "axis" : "grid", area.x, y, area.x + area.width, y);
        appendLabel(out, "count", area.x - 6, y + 4, std::to_string(value));
    }
    std::vector<Point> line;
    for (std::size_t i = 0; i < games.size(); ++i) {
        line.push_back(
            {scale.x(static_cast<double>(i) + 0.5), scale.y(static_cast<double>(games[i].score))});
    }
    appendPolyline(out, "score-line", line);
    for (std::size_t i = 0; i < games.size(); ++i) {
        out += "<circle class=\"point ";
        out += sideClass(games[i].side);
        out += '"';
        appendAt(out, "cx", line[i].x);
        appendAt(out, "cy", line[i].y);
        out += " r=\"4\"><title>";
        appendText(out, games[i].name + ": score " + std::to_string(games[i].score));
        out += "</title></circle>";
    }
    appendGameAxis(out, scale, games);
    out += "</svg>";
}

void appendPilotActivityChart(std::string& out, const std::vector<PilotGameNumbers>& games) {
    constexpr double kTop = 20;
    constexpr double kPlot = 180;
    constexpr double kHeight = kTop + kPlot + 30;
    std::int64_t most = 1;
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    for (const PilotGameNumbers& g : games) {
        most = std::max({most, g.kills, g.deaths});
        kills += g.kills;
        deaths += g.deaths;
    }
    const std::string words = "His kills (bars up) and deaths (bars down) in each of his " +
                              plural(static_cast<std::int64_t>(games.size()), "game", "games") +
                              ": " + plural(kills, "kill", "kills") + " and " +
                              plural(deaths, "death", "deaths") + " in all; the tallest bar is " +
                              std::to_string(most) + ".";
    // The base line in the middle; a count of `most` reaches the plot's edge.
    const Scale scale =
        columns(kTop, kPlot, games.size(), {-static_cast<double>(most), static_cast<double>(most)});
    appendSvgStart(out, "pilot-activity-chart", kChartWidth, kHeight, "Kills and deaths per game",
                   words);
    const Rect& area = scale.area();
    const double base = scale.y(0);
    appendLabel(out, "count", area.x - 6, scale.y(static_cast<double>(most)) + 4,
                std::to_string(most));
    appendLabel(out, "count", area.x - 6, scale.y(-static_cast<double>(most)) + 4,
                std::to_string(most));
    const double width =
        std::min(kWidestBar, kBarShare * area.width /
                                 static_cast<double>(std::max<std::size_t>(games.size(), 1)));
    for (std::size_t i = 0; i < games.size(); ++i) {
        const PilotGameNumbers& g = games[i];
        const double x = scale.x(static_cast<double>(i) + 0.5) - width / 2;
        for (const bool up : {true, false}) {
            const std::int64_t count = up ? g.kills : g.deaths;
            if (count == 0) {
                continue;
            }
            const double end = scale.y(static_cast<double>(up ? count : -count));
            out += "<rect class=\"";
            out += up ? "kill " : "death ";
            out += sideClass(g.side);
            out += '"';
            appendAt(out, "x", x);
            appendAt(out, "y", std::min(base, end));
            appendAt(out, "width", width);
            appendAt(out, "height", std::abs(end - base));
            out += "><title>";
            appendText(
                out, g.name + ": " +
                         (up ? plural(count, "kill", "kills") : plural(count, "death", "deaths")));
            out += "</title></rect>";
        }
    }
    appendLine(out, "axis", area.x, base, area.x + area.width, base);
    appendGameAxis(out, scale, games);
    appendLabel(out, "legend", kPlotLeft, 14, "bars up: kills · bars down: deaths");
    out += "</svg>";
}

}  // namespace vorskal::html
