#include "results/json_text.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "base/log_text.h"
#include "base/number.h"

namespace vorskal::results {

void appendJsonString(std::string& out, std::string_view text) {
    // The log text holds no control character: only quotes and backslashes
    // need escaping.
    out += '"';
    const std::size_t from = out.size();
    appendLogText(out, text);
    const auto shown = out.begin() + static_cast<std::ptrdiff_t>(from);
    const auto first = std::find_if(shown, out.end(), [](char c) { return c == '"' || c == '\\'; });
    if (first != out.end()) {
        std::string escaped(first, out.end());
        out.erase(first, out.end());
        for (const char c : escaped) {
            if (c == '"' || c == '\\') {
                out += '\\';
            }
            out += c;
        }
    }
    out += '"';
}

Json textJson(std::string_view text) {
    return Json(logText(text));
}

Json textOrNull(std::string_view text) {
    return text.empty() ? Json(nullptr) : textJson(text);
}

namespace {

// `"name":` and a JSON string, or null for an empty text when `orNull`.
void stringMember(std::string& out, std::string_view name, std::string_view text,
                  bool orNull = false) {
    out += name;
    if (orNull && text.empty()) {
        out += "null";
    } else {
        appendJsonString(out, text);
    }
}

void numberMember(std::string& out, std::string_view name, std::int64_t value) {
    out += name;
    appendNumber(out, value);
}

}  // namespace

void appendCorrectionJson(std::string& out, const Correction& row) {
    out += "{\"kind\":\"";
    out += kindName(row.kind);
    out += row.applied ? "\",\"applied\":true" : "\",\"applied\":false";
    stringMember(out, ",\"note\":", row.note);
    out += ",\"evidence\":[";
    for (std::size_t i = 0; i < row.evidence.size(); ++i) {
        numberMember(out, i == 0 ? "{\"line\":" : ",{\"line\":",
                     static_cast<std::int64_t>(row.evidence[i].line));
        stringMember(out, ",\"text\":", row.evidence[i].text);
        out += '}';
    }
    out += "],\"moves\":[";
    for (std::size_t i = 0; i < row.moves.size(); ++i) {
        const Move& move = row.moves[i];
        stringMember(out, i == 0 ? "{\"pilot\":" : ",{\"pilot\":", move.pilot, true);
        out += ",\"team\":\"";
        out += sideName(move.team);
        out += "\",\"field\":\"";
        out += fieldName(move.field);
        numberMember(out, "\",\"by\":", move.by);
        numberMember(out, ",\"points\":", move.points);
        out += '}';
    }
    out += "]}";
}

void appendTargetJson(std::string& out, const TargetRow& row) {
    numberMember(out, "{\"line\":", static_cast<std::int64_t>(row.line));
    stringMember(out, ",\"text\":", row.text);
    stringMember(out, ",\"key\":", row.key);
    stringMember(out, ",\"targetType\":", row.targetType, true);
    out += ",\"team\":\"";
    out += sideName(row.team);
    numberMember(out, "\",\"teamCode\":", row.teamCode);
    numberMember(out, ",\"points\":", row.points);
    out += row.redBoxed ? ",\"redBoxed\":true" : ",\"redBoxed\":false";
    stringMember(out, ",\"pilot\":", row.pilot, true);
    stringMember(out, ",\"reason\":", row.reason, true);
    out += '}';
}

void appendArenaJson(std::string& out, const ArenaEvent& row) {
    numberMember(out, "{\"line\":", static_cast<std::int64_t>(row.line));
    // No time of day on the line: null for both.
    stringMember(out, ",\"time\":", row.time, true);
    if (row.time.empty()) {
        out += ",\"seconds\":null";
    } else {
        numberMember(out, ",\"seconds\":", row.seconds);
    }
    out += ",\"side\":\"";
    out += sideName(row.side);
    out += row.entry ? "\",\"event\":\"entry\"" : "\",\"event\":\"exit\"";
    stringMember(out, ",\"pilot\":", row.pilot);
    numberMember(out, ",\"inGameAfter\":", row.inGameAfter);
    out += '}';
}

void appendKillJson(std::string& out, const KillRow& row) {
    numberMember(out, "{\"line\":", static_cast<std::int64_t>(row.line));
    stringMember(out, ",\"time\":", row.time, true);  // null: no time of day on the line
    stringMember(out, ",\"victim\":", row.victim);
    stringMember(out, ",\"victimAircraft\":", row.victimAircraft);
    out += ",\"victimSide\":\"";
    out += sideName(row.victimSide);
    out += '"';
    if (row.killer) {
        stringMember(out, ",\"killer\":", *row.killer);
    } else {
        out += ",\"killer\":null";
    }
    stringMember(out, ",\"killerAircraft\":", row.killerAircraft);
    out += ",\"killerSide\":\"";
    out += sideName(row.killerSide);
    out += row.selfKill ? "\",\"selfKill\":true" : "\",\"selfKill\":false";
    if (row.takenBackBy) {
        numberMember(out, ",\"takenBackBy\":", *row.takenBackBy);
    } else {
        out += ",\"takenBackBy\":null";
    }
    out += '}';
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
