#include "league/site/ratings_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "html/html_text.h"
#include "html/page_parts.h"
#include "html/svg_parts.h"

namespace vorskal::league {

namespace {

using html::appendAt;
using html::appendElement;
using html::appendText;

// A number of rating points: whole, or with one decimal and its sign.
std::string whole(double value) {
    return std::to_string(std::llround(value));
}

std::string signedPoints(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f", value);
    return text;
}

// The chart's layout: a row per pilot under a rating axis.
constexpr double kWidth = 720;
constexpr double kLeft = 170;
constexpr double kRight = 24;
constexpr double kTop = 28;
constexpr double kRow = 20;

// Every pilot's rating as a point on a bar from r - 2 RD to r + 2 RD.
void appendIntervalChart(std::string& out, const char* id, const char* side,
                         const std::vector<PilotRating>& pilots, const PilotMask& mask) {
    double low = pilots.front().rating.rating;
    double high = low;
    for (const PilotRating& p : pilots) {
        low = std::min(low, p.rating.rating - 2 * p.rating.rd);
        high = std::max(high, p.rating.rating + 2 * p.rating.rd);
    }
    double step = 100;
    for (const double wider : {250.0, 500.0, 1000.0}) {
        if ((high - low) / step > 8) {
            step = wider;
        }
    }
    low = std::floor(low / step) * step;
    high = std::max(std::ceil(high / step) * step, low + step);
    const double height = kTop + kRow * static_cast<double>(pilots.size()) + 8;
    const auto x = [&](double rating) {
        return kLeft + (rating - low) / (high - low) * (kWidth - kLeft - kRight);
    };
    html::appendSvgStart(out, id, kWidth, height, "Ratings with their uncertainty",
                         "Each pilot's rating as a point, on a bar from twice its deviation "
                         "below to twice above; the axis runs from " +
                             whole(low) + " to " + whole(high) + ".");
    for (double tick = low; tick <= high + step / 2; tick += step) {
        html::appendLine(out, "grid", x(tick), kTop - 6, x(tick), height - 8);
        html::appendLabel(out, "time", x(tick), 16, whole(tick));
    }
    double y = kTop + kRow / 2;
    for (const PilotRating& p : pilots) {
        html::appendLabel(out, "count", kLeft - 8, y + 4, mask.name(p.name));
        const double from = x(p.rating.rating - 2 * p.rating.rd);
        out += "<rect class=\"death " + std::string(side) + "\"";
        appendAt(out, "x", from);
        appendAt(out, "y", y - 5);
        appendAt(out, "width", x(p.rating.rating + 2 * p.rating.rd) - from);
        appendAt(out, "height", 10);
        out += "/><circle class=\"point " + std::string(side) + "\"";
        appendAt(out, "cx", x(p.rating.rating));
        appendAt(out, "cy", y);
        appendAt(out, "r", 4);
        out += "/>";
        y += kRow;
    }
    out += "</svg>";
}

void appendRole(std::string& out, RatingRole role, const std::vector<PilotRating>& pilots,
                const PilotMask& mask,
                const std::function<std::string(const std::string&)>& pilotPage) {
    const bool fighter = role == RatingRole::Fighter;
    out += fighter ? "<section id=\"fighters\">" : "<section id=\"two-seaters\">";
    appendElement(out, "h2", "", fighter ? "Fighters" : "Two-seaters");
    if (pilots.empty()) {
        appendElement(out, "p", "class=\"muted\"", "No pilot rated in this role.");
        out += "</section>\n";
        return;
    }
    out += fighter ? "<table class=\"sortable\" id=\"fighter-ratings\">"
                   : "<table class=\"sortable\" id=\"two-seater-ratings\">";
    out += "<thead><tr>";
    appendElement(out, "th", "scope=\"col\" class=\"n\"", "Rank");
    appendElement(out, "th", "scope=\"col\"", "Pilot");
    for (const char* number : {"Rating", "\xC2\xB1 2 RD", "Games"}) {
        appendElement(out, "th", "scope=\"col\" class=\"n\"", number);
    }
    appendElement(out, "th", "scope=\"col\"", "Moved most in his last game by");
    out += "</tr></thead><tbody>";
    for (std::size_t i = 0; i < pilots.size(); ++i) {
        const PilotRating& p = pilots[i];
        const std::string& name = mask.name(p.name);
        out += "<tr>";
        html::appendNumberCell(out, static_cast<std::int64_t>(i + 1));
        const std::string page = pilotPage(name);
        if (page.empty()) {
            appendElement(out, "td", "", name);
        } else {
            out += "<td><a href=\"";
            appendText(out, page);
            out += "\">";
            appendText(out, name);
            out += "</a></td>";
        }
        appendElement(out, "td", "class=\"n\"", whole(p.rating.rating));
        appendElement(out, "td", "class=\"n\"", whole(2 * p.rating.rd));
        html::appendNumberCell(out, p.games);
        std::string why;
        const RatingMove& last = p.moves.back();
        for (const RatingMove::Opponent& o : last.opponents) {
            why += (why.empty() ? "" : ", ") + mask.name(o.name) + " " + signedPoints(o.points);
        }
        appendElement(out, "td", "", "game " + std::to_string(last.game) + ": " + why);
        out += "</tr>";
    }
    out += "</tbody></table><figure>";
    appendIntervalChart(out, fighter ? "fighter-rating-chart" : "two-seater-rating-chart",
                        fighter ? "allied" : "hun", pilots, mask);
    appendElement(out, "figcaption", "",
                  "The point is the rating; the bar runs from twice its deviation below to twice "
                  "above, where the rating lies with about 95% certainty.");
    out += "</figure></section>\n";
}

}  // namespace

std::string ratingsBody(const std::vector<PilotRating>& all, const PilotMask& mask,
                        const std::function<std::string(const std::string&)>& pilotPage) {
    std::string body = "<header>";
    appendElement(body, "h1", "", "Ratings");
    appendElement(body, "p", "",
                  "Glicko-2 ratings: each game a rating period, each kill that counts a win of "
                  "the killer over the victim, fighters and two-seaters rated apart. A new pilot "
                  "starts at 1500 with a deviation of 350.");
    body += "</header>\n";
    for (const RatingRole role : {RatingRole::Fighter, RatingRole::TwoSeater}) {
        appendRole(body, role, ratingsOf(all, role), mask, pilotPage);
    }
    return body;
}

}  // namespace vorskal::league
