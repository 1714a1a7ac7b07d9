#include "results/json_text.h"

#include "base/log_text.h"

namespace vorskal::results {

std::string jsonString(std::string_view text) {
    // The log text holds no control character: only quotes and backslashes
    // need escaping.
    const std::string shown = logText(text);
    std::string out;
    out.reserve(shown.size() + 2);
    out += '"';
    for (const char ch : shown) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
        }
        out += ch;
    }
    out += '"';
    return out;
}

std::string correctionJson(const Correction& row) {
    std::string out = "{\"kind\":\"" + std::string(kindName(row.kind)) + "\"";
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
        out += ",\"field\":\"" + std::string(fieldName(move.field)) + "\"";
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
