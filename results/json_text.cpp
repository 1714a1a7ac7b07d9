#include "results/json_text.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "base/log_text.h"

namespace vorskal::results {

std::string jsonString(std::string_view text) {
    // The log text holds no control character: only quotes and backslashes
    // need escaping.
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    appendLogText(out, text);
    if (std::any_of(out.begin() + 1, out.end(), [](char c) { return c == '"' || c == '\\'; })) {
        std::string escaped = "\"";
        for (std::size_t i = 1; i < out.size(); ++i) {
            if (out[i] == '"' || out[i] == '\\') {
                escaped += '\\';
            }
            escaped += out[i];
        }
        out.swap(escaped);
    }
    out += '"';
    return out;
}

Json textJson(std::string_view text) {
    return Json(logText(text));
}

Json textOrNull(std::string_view text) {
    return text.empty() ? Json(nullptr) : textJson(text);
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

namespace {

std::string stringOr(const Json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

template <typename Value>
Value named(const std::optional<Value>& value, std::string_view name) {
    if (!value) {
        throw std::invalid_argument("unknown name \"" + std::string(name) + "\"");
    }
    return *value;
}

}  // namespace

Correction correctionFromJson(std::string_view text) {
    const Json j = Json::parse(text);
    Correction row;
    const std::string kind = j.at("kind");
    row.kind = named(kindNamed(kind), kind);
    row.applied = j.at("applied");
    row.note = j.at("note");
    for (const Json& line : j.at("evidence")) {
        row.evidence.push_back({line.at("line"), line.at("text")});
    }
    for (const Json& move : j.at("moves")) {
        const std::string field = move.at("field");
        row.moves.push_back({stringOr(move.at("pilot")), sideNamed(stringOr(move.at("team"))),
                             named(fieldNamed(field), field), move.at("by"), move.at("points")});
    }
    return row;
}

Json optionsJson(const RunFacts& run) {
    return {{"overMaxPilotCorrection", run.overMaxPilotCorrection},
            {"multiDeathCorrection", run.multiDeathCorrection},
            {"fighterTargetCorrection", run.fighterTargetCorrection},
            {"redBoxedOnly", run.redBoxedOnly}};
}

Json fileJson(const FileFacts& file) {
    return {{"name", textJson(file.name)},
            {"bytes", file.bytes},
            {"lines", file.lines},
            {"sha256", textOrNull(file.sha256)}};
}

Json settingsJson(const Settings& settings) {
    Json types = Json::array();
    for (const TypeValue& type : settings.typeValues) {
        types.push_back({{"type", textJson(type.type)}, {"points", type.points}});
    }
    return {{"map", textJson(settings.map)},
            {"killPoints", settings.killPoints},
            {"deathPoints", settings.deathPoints},
            {"typeValues", types}};
}

Json pilotJson(const PilotRow& row) {
    Json locations = Json::array();
    for (const std::string& key : row.locations) {
        locations.push_back(textJson(key));
    }
    return {{"name", textJson(row.name)},
            {"team", sideName(row.team)},
            {"teamCode", row.teamCode},
            {"kills", row.kills},
            {"deaths", row.deaths},
            {"targetsDestroyed", row.targetsDestroyed},
            {"targetPoints", row.targetPoints},
            {"locations", locations},
            {"score", row.score}};
}

Json teamJson(const TeamTotals& totals) {
    return {{"kills", totals.kills},
            {"deaths", totals.deaths},
            {"targetsDestroyed", totals.targetsDestroyed},
            {"targetPoints", totals.targetPoints},
            {"score", totals.score},
            {"overMaxPenalty", totals.overMaxPenalty},
            {"final", totals.final}};
}

Json stretchJson(const OverMaxStretch& stretch) {
    return {{"side", sideName(stretch.side)},     {"pilotNumber", stretch.pilotNumber},
            {"start", textOrNull(stretch.start)}, {"end", textOrNull(stretch.end)},
            {"minutes", stretch.minutes},         {"points", stretch.points}};
}

Json minuteJson(const MinuteCount& count) {
    return {{"minute", count.minute},
            {"alliedKills", count.alliedKills},
            {"hunKills", count.hunKills},
            {"alliedDeaths", count.alliedDeaths},
            {"hunDeaths", count.hunDeaths},
            {"alliedKillsTakenBack", count.alliedKillsTakenBack},
            {"hunKillsTakenBack", count.hunKillsTakenBack},
            {"alliedDeathsTakenBack", count.alliedDeathsTakenBack},
            {"hunDeathsTakenBack", count.hunDeathsTakenBack}};
}

Json warningJson(const Warning& warning) {
    return {{"code", textJson(warning.code)},
            {"file", textOrNull(warning.file)},
            {"line", warning.line == 0 ? Json(nullptr) : Json(warning.line)},
            {"message", textJson(warning.message)},
            {"subject", textOrNull(warning.subject)},
            {"accepted", warning.accepted}};
}

}  // namespace vorskal::results
