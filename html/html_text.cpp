#include "html/html_text.h"

#include <cmath>
#include <cstdio>

#include "base/log_text.h"

namespace vorskal::html {

void appendText(std::string& out, std::string_view text) {
    for (const char c : logText(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
}

void appendCoordinate(std::string& out, double value) {
    const long long tenths = std::llround(value * 10);
    if (tenths < 0) {
        out += '-';
    }
    const long long magnitude = tenths < 0 ? -tenths : tenths;
    appendNumber(out, magnitude / 10);
    if (magnitude % 10 != 0) {
        out += '.';
        out += static_cast<char>('0' + magnitude % 10);
    }
}

std::string minutesText(double minutes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", minutes);
    return text;
}

std::string minutesRounded(double minutes) {
    const long long tenths = std::llround(minutes * 10);
    std::string text = tenths < 0 ? "-" : "";
    const long long magnitude = tenths < 0 ? -tenths : tenths;
    text += std::to_string(magnitude / 10);
    if (magnitude % 10 != 0) {
        text += '.';
        text += static_cast<char>('0' + magnitude % 10);
    }
    return text == "-0" ? "0" : text;
}

}  // namespace vorskal::html
