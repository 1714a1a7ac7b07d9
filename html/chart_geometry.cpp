#include "html/chart_geometry.h"

#include <algorithm>
#include <cmath>

#include "html/game_time.h"

namespace vorskal::html {

using results::Side;

Scale::Scale(Rect area, Range seconds, Range values)
    : area_(area), seconds_(seconds), values_(values) {
    if (!(seconds_.high > seconds_.low)) {
        seconds_.high = seconds_.low + 1;
    }
    if (!(values_.high > values_.low)) {
        values_.high = values_.low + 1;
    }
}

double Scale::x(double seconds) const {
    return area_.x + (seconds - seconds_.low) / (seconds_.high - seconds_.low) * area_.width;
}

double Scale::y(double value) const {
    return area_.y + (values_.high - value) / (values_.high - values_.low) * area_.height;
}

namespace {

// The first time of the game on its time line: the first time of day, else
// the first arena event's, else midnight.
int startOfDay(const results::GameResults& game, const std::vector<ArenaMark>& marks) {
    if (const auto first = secondsOfDay(game.firstTime)) {
        return *first;
    }
    for (const auto& mark : marks) {
        if (mark.at >= 0) {
            return mark.at;
        }
    }
    return 0;
}

}  // namespace

ArenaMark arenaMark(const results::ArenaEvent& event) {
    const auto at = secondsOfDay(event.time);
    return {at ? static_cast<std::int32_t>(*at) : -1, event.side, event.inGameAfter};
}

std::vector<ArenaMark> arenaMarks(const std::vector<results::ArenaEvent>& events) {
    std::vector<ArenaMark> marks;
    marks.reserve(events.size());
    for (const auto& event : events) {
        marks.push_back(arenaMark(event));
    }
    return marks;
}

ArenaSeries arenaSeries(const results::GameResults& game) {
    return arenaSeries(game, arenaMarks(game.arena));
}

ArenaSeries arenaSeries(const results::GameResults& game, const std::vector<ArenaMark>& marks) {
    ArenaSeries series;
    series.start = startOfDay(game, marks);
    long long end = series.start;
    if (const auto last = secondsOfDay(game.lastTime)) {
        end = atOrAfter(*last, series.start);
    }
    DayLine line(static_cast<int>(series.start));
    for (const auto& mark : marks) {
        if (mark.at < 0 || (mark.side != Side::Allied && mark.side != Side::Hun)) {
            continue;
        }
        const Step step{line.place(mark.at), mark.count};
        (mark.side == Side::Allied ? series.allied : series.hun).push_back(step);
        series.lowest = std::min(series.lowest, step.count);
        series.highest = std::max(series.highest, step.count);
        end = std::max(end, step.at);
    }
    for (const auto& stretch : game.overMax) {
        const auto from = secondsOfDay(stretch.start);
        const auto to = secondsOfDay(stretch.end);
        if (!from || !to || (stretch.side != Side::Allied && stretch.side != Side::Hun)) {
            continue;
        }
        Stretch laid{stretch.side,
                     stretch.pilotNumber,
                     atOrAfter(*from, series.start),
                     0,
                     &stretch,
                     static_cast<std::size_t>(&stretch - game.overMax.data()) + 1};
        laid.end = atOrAfter(*to, laid.start);
        end = std::max(end, laid.end);
        series.stretches.push_back(laid);
    }
    DayLine minutes(static_cast<int>(series.start - series.start % 60));
    for (const auto& minute : game.timeline) {
        end = std::max(end, minutes.place(minute.minute * 60) + 60);
    }
    series.end = std::max(end, series.start + 60);
    return series;
}

CountAxis countAxis(const ArenaSeries& series) {
    CountAxis axis;
    const std::int64_t span = std::max<std::int64_t>(series.highest, 18) - series.lowest;
    // The first of 2, 4, 5, 10, 20, 40, 50, 100, ... that gives at most 12 ticks.
    axis.tick = 2;
    for (std::int64_t power = 1; span > 12 * axis.tick; power *= 10) {
        for (const std::int64_t step : {2, 4, 5, 10}) {
            axis.tick = step * power;
            if (span <= 12 * axis.tick) {
                break;
            }
        }
    }
    // Room of one tick above the highest count, on whole ticks.
    axis.high = std::max<std::int64_t>(18, (series.highest / axis.tick + 1) * axis.tick);
    axis.low = series.lowest >= 0 ? 0 : -((-series.lowest + axis.tick - 1) / axis.tick) * axis.tick;
    return axis;
}

std::vector<Point> stepLine(const std::vector<Step>& steps, long long start, long long end,
                            const Scale& scale) {
    std::vector<Point> line;
    line.reserve(steps.size() * 2 + 2);
    const auto add = [&](double x, double y) {
        if (line.empty() || line.back().x != x || line.back().y != y) {
            line.push_back({x, y});
        }
    };
    std::int64_t count = 0;
    add(scale.x(static_cast<double>(start)), scale.y(0));
    for (const auto& step : steps) {
        const double x = scale.x(static_cast<double>(step.at));
        add(x, scale.y(static_cast<double>(count)));
        count = step.count;
        add(x, scale.y(static_cast<double>(count)));
    }
    add(scale.x(static_cast<double>(end)), scale.y(static_cast<double>(count)));
    // A straight run (flat, or up or down without turning back) keeps only its ends.
    std::vector<Point> out;
    out.reserve(line.size());
    for (const auto& p : line) {
        const std::size_t n = out.size();
        const bool flat = n >= 2 && out[n - 2].y == p.y && out[n - 1].y == p.y;
        const bool onward = n >= 2 && out[n - 2].x == p.x && out[n - 1].x == p.x &&
                            (out[n - 1].y - out[n - 2].y) * (p.y - out[n - 1].y) >= 0;
        if (flat || onward) {
            out.back() = p;
        } else {
            out.push_back(p);
        }
    }
    return out;
}

std::vector<Point> thinToPixels(const std::vector<Point>& line) {
    std::vector<Point> out;
    out.reserve(std::min<std::size_t>(line.size(), 4096));
    std::size_t first = 0;
    while (first < line.size()) {
        const double column = std::floor(line[first].x);
        std::size_t last = first;
        std::size_t low = first;
        std::size_t high = first;
        while (last + 1 < line.size() && std::floor(line[last + 1].x) == column) {
            ++last;
            // Drawing y grows downwards: the lowest count has the greatest y.
            if (line[last].y > line[low].y) {
                low = last;
            }
            if (line[last].y < line[high].y) {
                high = last;
            }
        }
        if (last - first < 4) {
            out.insert(out.end(), line.begin() + static_cast<std::ptrdiff_t>(first),
                       line.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        } else {
            std::size_t keep[] = {first, std::min(low, high), std::max(low, high), last};
            for (std::size_t i = 0; i < 4; ++i) {
                if (i == 0 || keep[i] != keep[i - 1]) {
                    out.push_back(line[keep[i]]);
                }
            }
        }
        first = last + 1;
    }
    return out;
}

Rect stretchBox(const Stretch& stretch, const Scale& scale) {
    const double left = scale.x(static_cast<double>(stretch.start));
    const double right = scale.x(static_cast<double>(stretch.end));
    const double top = scale.y(stretch.pilotNumber);
    const double bottom = scale.y(stretch.pilotNumber - 1);
    return {left, top, right - left, bottom - top};
}

std::vector<SideBox> mergedStretchBoxes(const ArenaSeries& series, const Scale& scale) {
    std::vector<const Stretch*> order;
    order.reserve(series.stretches.size());
    for (const auto& stretch : series.stretches) {
        order.push_back(&stretch);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Stretch* a, const Stretch* b) { return a->start < b->start; });
    std::vector<SideBox> boxes;
    // The box still growing for each side (Allied 0, Hun 1) and band (17th 0, 18th 1).
    std::ptrdiff_t open[2][2] = {{-1, -1}, {-1, -1}};
    for (const Stretch* stretch : order) {
        const Rect box = stretchBox(*stretch, scale);
        auto& slot = open[stretch->side == Side::Allied ? 0 : 1][stretch->pilotNumber == 18];
        if (slot >= 0) {
            Rect& grown = boxes[static_cast<std::size_t>(slot)].box;
            if (box.x <= grown.x + grown.width + 1) {
                grown.width = std::max(grown.width, box.x + box.width - grown.x);
                continue;
            }
        }
        slot = static_cast<std::ptrdiff_t>(boxes.size());
        boxes.push_back({stretch->side, box});
    }
    return boxes;
}

std::vector<long long> timeTicks(long long start, long long end, int most) {
    static constexpr long long kSteps[] = {60,   120,  300,   600,   900,   1800,
                                           3600, 7200, 10800, 14400, 21600, 43200};
    const auto fits = [&](long long step) { return (end - start) / step + 1 <= most; };
    long long step = 0;
    for (const long long candidate : kSteps) {
        if (fits(candidate)) {
            step = candidate;
            break;
        }
    }
    // Longer games: 1, 2 or 5 days times a power of ten.
    for (long long days = 1; step == 0; days *= 10) {
        for (const long long times : {1, 2, 5}) {
            if (fits(times * days * kSecondsPerDay)) {
                step = times * days * kSecondsPerDay;
                break;
            }
        }
    }
    std::vector<long long> ticks;
    const long long first = (start + step - 1) / step * step;
    for (long long at = first; at <= end; at += step) {
        ticks.push_back(at);
    }
    return ticks;
}

std::vector<Bar> minuteBars(const std::vector<results::MinuteCount>& timeline, Side side,
                            long long start, const Scale& scale) {
    std::vector<Bar> bars;
    DayLine line(static_cast<int>(start - start % 60));
    for (const auto& minute : timeline) {
        const long long at = line.place(minute.minute * 60);
        const bool allied = side == Side::Allied;
        const std::int64_t killsBack =
            allied ? minute.alliedKillsTakenBack : minute.hunKillsTakenBack;
        const std::int64_t deathsBack =
            allied ? minute.alliedDeathsTakenBack : minute.hunDeathsTakenBack;
        const std::int64_t kills = (allied ? minute.alliedKills : minute.hunKills) - killsBack;
        const std::int64_t deaths = (allied ? minute.alliedDeaths : minute.hunDeaths) - deathsBack;
        if (kills == 0 && deaths == 0 && killsBack == 0 && deathsBack == 0) {
            continue;
        }
        const double left = scale.x(static_cast<double>(at));
        const double right = scale.x(static_cast<double>(at + 60));
        if (!bars.empty() && std::floor(bars.back().x) == std::floor(left)) {
            Bar& bar = bars.back();
            bar.width = std::max(bar.width, right - bar.x);
            bar.kills += kills;
            bar.deaths += deaths;
            bar.killsTakenBack += killsBack;
            bar.deathsTakenBack += deathsBack;
        } else {
            bars.push_back({left, right - left, kills, deaths, killsBack, deathsBack});
        }
    }
    return bars;
}

}  // namespace vorskal::html
