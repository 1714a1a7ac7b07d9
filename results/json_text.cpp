#include "results/json_text.h"

#include <cstdio>

namespace vorskal::results {
namespace {

bool validUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t follow = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
        } else {
            return false;
        }
        if (i + follow >= text.size()) {
            return false;
        }
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0) ||
            (c == 0xF0 && second < 0x90) || (c == 0xF4 && second >= 0x90)) {
            return false;  // overlong, a surrogate, or beyond U+10FFFF
        }
        for (std::size_t k = 1; k <= follow; ++k) {
            const auto f = static_cast<unsigned char>(text[i + k]);
            if ((f & 0xC0) != 0x80) {
                return false;
            }
        }
        i += follow + 1;
    }
    return true;
}

}  // namespace

std::string toUtf8(std::string_view text) {
    if (validUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 8);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string jsonString(std::string_view text) {
    const std::string utf8 = toUtf8(text);
    std::string out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char ch : utf8) {
        switch (ch) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(ch) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(ch));
                    out += escaped;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

std::string_view sideName(Side side) {
    switch (side) {
        case Side::Allied:
            return "Allied";
        case Side::Hun:
            return "Hun";
        case Side::Unknown:
            break;
    }
    return "unknown";
}

std::string correctionJson(const Correction& row) {
    std::string out = "{\"kind\":" + jsonString(row.kind);
    out += row.applied ? ",\"applied\":true" : ",\"applied\":false";
    out += ",\"note\":" + jsonString(row.note);
    out += ",\"evidence\":[";
    for (std::size_t i = 0; i < row.evidence.size(); ++i) {
        out += i == 0 ? "" : ",";
        out += "{\"line\":" + std::to_string(row.evidence[i].line) +
               ",\"text\":" + jsonString(row.evidence[i].text) + "}";
    }
    out += "],\"moves\":[";
    for (std::size_t i = 0; i < row.moves.size(); ++i) {
        const Move& move = row.moves[i];
        out += i == 0 ? "" : ",";
        out += "{\"pilot\":" + (move.pilot.empty() ? "null" : jsonString(move.pilot));
        out += ",\"team\":\"" + std::string(sideName(move.team)) + "\"";
        out += ",\"field\":" + jsonString(move.field);
        out += ",\"by\":" + std::to_string(move.by);
        out += ",\"points\":" + std::to_string(move.points) + "}";
    }
    out += "]}";
    return out;
}

std::string targetJson(const TargetRow& row) {
    std::string out = "{\"line\":" + std::to_string(row.line);
    out += ",\"text\":" + jsonString(row.text);
    out += ",\"key\":" + jsonString(row.key);
    out += ",\"targetType\":" + (row.targetType.empty() ? "null" : jsonString(row.targetType));
    out += ",\"team\":\"" + std::string(sideName(row.team)) + "\"";
    out += ",\"teamCode\":" + std::to_string(row.teamCode);
    out += ",\"points\":" + std::to_string(row.points);
    out += row.redBoxed ? ",\"redBoxed\":true" : ",\"redBoxed\":false";
    out += ",\"pilot\":" + (row.pilot.empty() ? "null" : jsonString(row.pilot));
    out += ",\"reason\":" + (row.reason.empty() ? "null" : jsonString(row.reason));
    out += '}';
    return out;
}

std::string arenaJson(const ArenaEvent& row) {
    std::string out = "{\"line\":" + std::to_string(row.line);
    // No time of day on the line: null for both.
    out += ",\"time\":" + (row.time.empty() ? "null" : jsonString(row.time));
    out += ",\"seconds\":" + (row.time.empty() ? "null" : std::to_string(row.seconds));
    out += ",\"side\":\"" + std::string(sideName(row.side)) + "\"";
    out += row.entry ? ",\"event\":\"entry\"" : ",\"event\":\"exit\"";
    out += ",\"pilot\":" + jsonString(row.pilot);
    out += ",\"inGameAfter\":" + std::to_string(row.inGameAfter);
    out += '}';
    return out;
}

}  // namespace vorskal::results
