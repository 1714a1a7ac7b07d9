#include "html/svg_parts.h"

#include "html/html_text.h"

namespace vorskal::html {

using results::Side;

const char* sideClass(Side side) {
    return side == Side::Allied ? "allied" : "hun";
}

void appendAt(std::string& out, const char* name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    appendCoordinate(out, value);
    out += '"';
}

void appendLine(std::string& out, const char* cls, double x1, double y1, double x2, double y2) {
    out += "<line class=\"";
    out += cls;
    out += '"';
    appendAt(out, "x1", x1);
    appendAt(out, "y1", y1);
    appendAt(out, "x2", x2);
    appendAt(out, "y2", y2);
    out += "/>";
}

void appendLabel(std::string& out, const char* cls, double x, double y, std::string_view text) {
    out += "<text class=\"";
    out += cls;
    out += '"';
    appendAt(out, "x", x);
    appendAt(out, "y", y);
    out += '>';
    appendText(out, text);
    out += "</text>";
}

void appendPolyline(std::string& out, const char* cls, const std::vector<Point>& points) {
    out += "<polyline class=\"";
    out += cls;
    out += "\" points=\"";
    bool first = true;
    for (const auto& p : points) {
        if (!first) {
            out += ' ';
        }
        first = false;
        appendCoordinate(out, p.x);
        out += ',';
        appendCoordinate(out, p.y);
    }
    out += "\"/>";
}

void appendSvgStart(std::string& out, const char* id, double width, double height,
                    std::string_view title, std::string_view words) {
    out += "<svg id=\"";
    out += id;
    out += "\" class=\"chart\" role=\"img\" viewBox=\"0 0 ";
    appendCoordinate(out, width);
    out += ' ';
    appendCoordinate(out, height);
    out += "\" xmlns=\"http://www.w3.org/2000/svg\"><title>";
    appendText(out, title);
    out += "</title><desc>";
    appendText(out, words);
    out += "</desc>";
}

}  // namespace vorskal::html
