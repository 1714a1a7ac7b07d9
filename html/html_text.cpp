#include "html/html_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vorskal::html {
namespace {

// The length of the valid UTF-8 sequence at `text[at]` (2 to 4), or 0.
std::size_t utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

}  // namespace

void appendText(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            case '\'':
                out += "&#39;";
                continue;
            default:
                break;
        }
        if (c >= 0x80) {
            if (const std::size_t length = utf8Length(text, i)) {
                out.append(text.substr(i, length));
                i += length - 1;
            } else if (c >= 0xA0) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += "\xEF\xBF\xBD";
            }
        } else if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) {
            out += "\xEF\xBF\xBD";
        } else {
            out += static_cast<char>(c);
        }
    }
}

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
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

}  // namespace vorskal::html
