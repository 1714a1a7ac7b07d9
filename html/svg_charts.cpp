#include "html/svg_charts.h"

#include <algorithm>

#include "html/chart_geometry.h"
#include "html/game_time.h"
#include "html/html_text.h"
#include "html/svg_parts.h"

namespace vorskal::html {

using results::Side;

namespace {

constexpr int kMostTimeTicks = 13;
constexpr int kMostDayTicks = 8;
// The width of a character of a stretch's label, a little more than most are.
constexpr double kLabelCharacter = 6.6;
// Past this many stretches the boxes that touch merge, without labels or
// tooltips, to keep the page small (the over-max table lists them).
constexpr std::size_t kMostSingleStretches = 1000;

void appendTimeAxis(std::string& out, const Scale& scale, long long start, long long end) {
    const double bottom = scale.area().y + scale.area().height;
    appendLine(out, "axis", scale.area().x, bottom, scale.area().x + scale.area().width, bottom);
    // A game longer than a day counts its days (the first is day 1), with
    // fewer ticks to leave room for the longer labels.
    const bool days = end - start >= kSecondsPerDay;
    const auto ticks = timeTicks(start, end, days ? kMostDayTicks : kMostTimeTicks);
    const bool wholeDays = ticks.size() >= 2 && ticks[1] - ticks[0] >= kSecondsPerDay;
    for (const long long at : ticks) {
        const double x = scale.x(static_cast<double>(at));
        appendLine(out, "tick", x, bottom, x, bottom + 5);
        std::string label = clockText(at);
        if (days) {
            const std::string day = "day " + std::to_string(at / kSecondsPerDay + 1);
            label = wholeDays ? day : day + " " + label;
        }
        appendLabel(out, "time", x, bottom + 18, label);
    }
}

std::string stretchWords(const Stretch& stretch) {
    const auto& source = *stretch.source;
    std::string words = std::to_string(stretch.number) + ": " +
                        std::to_string(stretch.pilotNumber) + "th " +
                        std::string(results::sideName(stretch.side)) + " pilot in the game from " +
                        source.start + " to " + source.end + ": " + minutesText(source.minutes) +
                        " minutes, " + std::to_string(source.points) +
                        (source.points == 1 ? " point deducted" : " points deducted");
    return words;
}

void appendStretches(std::string& out, const ArenaSeries& series, const Scale& scale) {
    if (series.stretches.size() > kMostSingleStretches) {
        for (const auto& [side, box] : mergedStretchBoxes(series, scale)) {
            out += "<rect class=\"over ";
            out += sideClass(side);
            out += '"';
            appendAt(out, "x", box.x);
            appendAt(out, "y", box.y);
            appendAt(out, "width", std::max(box.width, 1.0));
            appendAt(out, "height", box.height);
            out += "/>";
        }
        return;
    }
    for (const auto& stretch : series.stretches) {
        const Rect box = stretchBox(stretch, scale);
        out += "<rect class=\"over ";
        out += sideClass(stretch.side);
        out += '"';
        appendAt(out, "x", box.x);
        appendAt(out, "y", box.y);
        appendAt(out, "width", std::max(box.width, 1.0));
        appendAt(out, "height", box.height);
        out += "><title>";
        appendText(out, stretchWords(stretch));
        out += "</title></rect>";
    }
    for (const auto& stretch : series.stretches) {
        const Rect box = stretchBox(stretch, scale);
        // Inside its box: its number, minutes and points when they fit,
        // else its number alone (the over-max table has the rest). Allied's
        // stand at the left end, Hun's at the right, so that two sides'
        // labels of one time stay apart.
        std::string label = std::to_string(stretch.number);
        const std::string full = label + ": " + minutesRounded(stretch.source->minutes) + " min, " +
                                 std::to_string(stretch.source->points) + " pt";
        if (box.width >= kLabelCharacter * static_cast<double>(full.size()) + 6) {
            label = full;
        } else if (box.width < kLabelCharacter * static_cast<double>(label.size()) + 4) {
            continue;
        }
        const bool allied = stretch.side == Side::Allied;
        appendLabel(out, allied ? "stretch" : "stretch end",
                    allied ? box.x + 3 : box.x + box.width - 3, box.y + box.height / 2 + 4, label);
    }
}

std::string arenaWords(const results::GameResults& game, const std::vector<ArenaMark>& marks,
                       const ArenaSeries& series) {
    std::int64_t alliedMost = 0;
    std::int64_t hunMost = 0;
    for (const auto& s : series.allied) {
        alliedMost = std::max(alliedMost, s.count);
    }
    for (const auto& s : series.hun) {
        hunMost = std::max(hunMost, s.count);
    }
    std::string words = "Pilots of each side in the game from " + clockText(series.start) + " to " +
                        clockText(series.end) + ". At most " + std::to_string(alliedMost) +
                        " Allied and " + std::to_string(hunMost) +
                        " Hun pilots were in the game at once; the limit is 16. ";
    if (marks.empty()) {
        words +=
            "No arena entries or exits were counted (the over-max correction was off, "
            "or nobody entered).";
    } else {
        words += std::to_string(series.stretches.size()) +
                 " stretches over the limit are shaded; Allied lost " +
                 std::to_string(game.allied.overMaxPenalty) + " and Hun " +
                 std::to_string(game.hun.overMaxPenalty) + " points for them.";
    }
    return words;
}

}  // namespace

void appendArenaChart(std::string& out, const results::GameResults& game,
                      const std::vector<ArenaMark>& marks) {
    constexpr double kHeight = 340;
    const ArenaSeries series = arenaSeries(game, marks);
    const CountAxis axis = countAxis(series);
    const Scale scale({kPlotLeft, 30, kPlotWidth, 270},
                      {static_cast<double>(series.start), static_cast<double>(series.end)},
                      {static_cast<double>(axis.low), static_cast<double>(axis.high)});

    appendSvgStart(out, "arena-chart", kChartWidth, kHeight, "Pilots in the game per side",
                   arenaWords(game, marks, series));

    const Rect& area = scale.area();
    for (std::int64_t value = axis.low; value <= axis.high; value += axis.tick) {
        const double y = scale.y(static_cast<double>(value));
        appendLine(out, "grid", area.x, y, area.x + area.width, y);
        appendLabel(out, "count", area.x - 6, y + 4, std::to_string(value));
    }
    appendStretches(out, series, scale);
    const double limit = scale.y(16);
    appendLine(out, "limit", area.x, limit, area.x + area.width, limit);
    appendLabel(out, "limit-label", area.x + area.width - 2, limit - 4, "limit 16");
    appendPolyline(out, "step allied",
                   thinToPixels(stepLine(series.allied, series.start, series.end, scale)));
    appendPolyline(out, "step hun",
                   thinToPixels(stepLine(series.hun, series.start, series.end, scale)));
    appendTimeAxis(out, scale, series.start, series.end);

    // The legend: a swatch and a name for each side, and the shading.
    appendLine(out, "step allied", area.x, 14, area.x + 24, 14);
    appendLabel(out, "legend", area.x + 30, 18, "Allied");
    appendLine(out, "step hun", area.x + 100, 14, area.x + 124, 14);
    appendLabel(out, "legend", area.x + 130, 18, "Hun");
    out += "<rect class=\"over allied\" x=\"";
    appendCoordinate(out, area.x + 190);
    out += "\" y=\"8\" width=\"24\" height=\"12\"/>";
    appendLabel(out, "legend", area.x + 220, 18, "over the limit (minutes, points deducted)");
    out += "</svg>";
}

void appendActivityChart(std::string& out, const results::GameResults& game,
                         const std::vector<ArenaMark>& marks) {
    constexpr double kStrip = 90;
    constexpr double kTop = 30;
    constexpr double kGap = 24;
    constexpr double kHeight = kTop + 2 * kStrip + kGap + 30;
    const ArenaSeries series = arenaSeries(game, marks);
    const Scale time({kPlotLeft, kTop, kPlotWidth, 2 * kStrip + kGap},
                     {static_cast<double>(series.start), static_cast<double>(series.end)}, {0, 1});
    const Side sides[] = {Side::Allied, Side::Hun};
    std::vector<Bar> bars[2];
    std::int64_t most = 1;
    Bar sums[2];
    for (int i = 0; i < 2; ++i) {
        bars[i] = minuteBars(game.timeline, sides[i], series.start, time);
        for (const auto& bar : bars[i]) {
            most =
                std::max({most, bar.kills + bar.killsTakenBack, bar.deaths + bar.deathsTakenBack});
            sums[i].kills += bar.kills;
            sums[i].deaths += bar.deaths;
            sums[i].killsTakenBack += bar.killsTakenBack;
            sums[i].deathsTakenBack += bar.deathsTakenBack;
        }
    }
    // "1 kill and 2 deaths".
    const auto killsAndDeaths = [](std::int64_t kills, std::int64_t deaths) {
        return std::to_string(kills) + (kills == 1 ? " kill and " : " kills and ") +
               std::to_string(deaths) + (deaths == 1 ? " death" : " deaths");
    };
    const auto counted = [&](const Bar& sum) { return killsAndDeaths(sum.kills, sum.deaths); };
    const auto takenBack = [&](const char* side, const Bar& sum) {
        return std::string(side) + " " + killsAndDeaths(sum.killsTakenBack, sum.deathsTakenBack);
    };
    std::string words =
        "Kills (bars up) and deaths (bars down) of each side per minute of game time, as the "
        "score tables count them: Allied " +
        counted(sums[0]) + ", Hun " + counted(sums[1]) + ".";
    const bool anyTakenBack = sums[0].killsTakenBack + sums[0].deathsTakenBack +
                                  sums[1].killsTakenBack + sums[1].deathsTakenBack >
                              0;
    if (anyTakenBack) {
        words += " Outlined beyond them, those the multi-death correction took back: " +
                 takenBack("Allied", sums[0]) + ", " + takenBack("Hun", sums[1]) + ".";
    }
    words += " The tallest bar is " + std::to_string(most) + ".";

    appendSvgStart(out, "activity-chart", kChartWidth, kHeight, "Kills and deaths per minute",
                   words);
    // One bar: `counted` from the axis, `back` outlined beyond it.
    const auto appendBar = [&](const Bar& bar, Side side, double base, double unit, bool up) {
        const std::int64_t counts[2] = {up ? bar.kills : bar.deaths,
                                        up ? bar.killsTakenBack : bar.deathsTakenBack};
        double from = 0;
        for (int part = 0; part < 2; ++part) {
            if (counts[part] == 0) {
                continue;
            }
            const double h = unit * static_cast<double>(counts[part]);
            out += "<rect class=\"";
            out += up ? "kill " : "death ";
            out += sideClass(side);
            out += part == 1 ? " taken-back\"" : "\"";
            appendAt(out, "x", bar.x);
            appendAt(out, "y", up ? base - from - h : base + from);
            appendAt(out, "width", std::max(bar.width, 1.0));
            appendAt(out, "height", h);
            out += "/>";
            from += h;
        }
    };
    for (int i = 0; i < 2; ++i) {
        const double top = kTop + i * (kStrip + kGap);
        const double base = top + kStrip / 2;
        const double unit = (kStrip / 2 - 2) / static_cast<double>(most);
        appendLabel(out, "strip-label", kPlotLeft - 6, base + 4, results::sideName(sides[i]));
        appendLine(out, "axis", kPlotLeft, base, kPlotLeft + kPlotWidth, base);
        for (const auto& bar : bars[i]) {
            appendBar(bar, sides[i], base, unit, true);
            appendBar(bar, sides[i], base, unit, false);
        }
    }
    appendTimeAxis(out, time, series.start, series.end);
    appendLabel(out, "legend", kPlotLeft, 18,
                anyTakenBack ? "bars up: kills · bars down: deaths · outlined: taken back by the "
                               "multi-death correction"
                             : "bars up: kills · bars down: deaths");
    out += "</svg>";
}

}  // namespace vorskal::html
