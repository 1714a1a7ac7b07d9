#include "results/json_writer.h"

#include <nlohmann/json.hpp>

#include "base/log_text.h"
#include "results/json_text.h"

namespace vorskal::results {
namespace {

using Json = nlohmann::ordered_json;

Json text(std::string_view value) {
    return Json(logText(value));
}

Json textOrNull(std::string_view value) {
    return value.empty() ? Json(nullptr) : text(value);
}

Json options(const RunFacts& run) {
    return {{"overMaxPilotCorrection", run.overMaxPilotCorrection},
            {"multiDeathCorrection", run.multiDeathCorrection},
            {"fighterTargetCorrection", run.fighterTargetCorrection},
            {"redBoxedOnly", run.redBoxedOnly}};
}

Json inputs(const GameResults& results) {
    Json list = Json::array();
    for (const FileFacts& file : results.inputs) {
        list.push_back({{"name", text(file.name)},
                        {"bytes", file.bytes},
                        {"lines", file.lines},
                        {"sha256", textOrNull(file.sha256)}});
    }
    return list;
}

Json settings(const Settings& settings) {
    Json types = Json::array();
    for (const TypeValue& type : settings.typeValues) {
        types.push_back({{"type", text(type.type)}, {"points", type.points}});
    }
    return {{"map", text(settings.map)},
            {"killPoints", settings.killPoints},
            {"deathPoints", settings.deathPoints},
            {"typeValues", types}};
}

Json pilot(const PilotRow& row) {
    Json locations = Json::array();
    for (const std::string& key : row.locations) {
        locations.push_back(text(key));
    }
    return {{"name", text(row.name)},
            {"team", sideName(row.team)},
            {"teamCode", row.teamCode},
            {"kills", row.kills},
            {"deaths", row.deaths},
            {"targetsDestroyed", row.targetsDestroyed},
            {"targetPoints", row.targetPoints},
            {"locations", locations},
            {"score", row.score}};
}

Json team(const TeamTotals& totals) {
    return {{"kills", totals.kills},
            {"deaths", totals.deaths},
            {"targetsDestroyed", totals.targetsDestroyed},
            {"targetPoints", totals.targetPoints},
            {"score", totals.score},
            {"overMaxPenalty", totals.overMaxPenalty},
            {"final", totals.final}};
}

Json stretch(const OverMaxStretch& item) {
    return {{"side", sideName(item.side)},     {"pilotNumber", item.pilotNumber},
            {"start", textOrNull(item.start)}, {"end", textOrNull(item.end)},
            {"minutes", item.minutes},         {"points", item.points}};
}

Json minute(const MinuteCount& count) {
    return {{"minute", count.minute},
            {"alliedKills", count.alliedKills},
            {"hunKills", count.hunKills},
            {"alliedDeaths", count.alliedDeaths},
            {"hunDeaths", count.hunDeaths}};
}

Json warning(const Warning& item) {
    return {{"code", text(item.code)},
            {"file", textOrNull(item.file)},
            {"line", item.line == 0 ? Json(nullptr) : Json(item.line)},
            {"message", text(item.message)}};
}

// A member holding an array, one element per line.
template <typename Each>
void arrayMember(std::ostream& out, std::string_view name, Each&& each) {
    out << ",\n\"" << name << "\":[";
    bool first = true;
    each([&](std::string_view element) {
        out << (first ? "\n" : ",\n") << element;
        first = false;
    });
    out << "]";
}

}  // namespace

void writeJson(const GameResults& results, std::ostream& out, const SpilledRows* spilled) {
    out << "{\"formatVersion\":" << kFormatVersion;
    out << ",\n\"tool\":"
        << Json({{"name", text(results.toolName)}, {"version", text(results.toolVersion)}}).dump();
    out << ",\n\"run\":"
        << Json({{"startedAt", text(results.run.startedAt)},
                 {"directory", text(results.run.directory)},
                 {"options", options(results.run)}})
               .dump();
    out << ",\n\"game\":"
        << Json({{"date", textOrNull(results.gameDate)},
                 {"firstTime", textOrNull(results.firstTime)},
                 {"lastTime", textOrNull(results.lastTime)}})
               .dump();
    out << ",\n\"inputs\":" << inputs(results).dump();
    out << ",\n\"settings\":" << settings(results.settings).dump();
    arrayMember(out, "pilots", [&](auto emit) {
        for (const PilotRow& row : results.pilots) {
            emit(pilot(row).dump());
        }
    });
    out << ",\n\"teams\":"
        << Json({{"Allied", team(results.allied)}, {"Hun", team(results.hun)}}).dump();
    arrayMember(out, "corrections", [&](auto emit) {
        if (spilled != nullptr) {
            spilled->forEachCorrection(emit);
        } else {
            for (const Correction& item : results.corrections) {
                emit(correctionJson(item));
            }
        }
    });
    arrayMember(out, "targets", [&](auto emit) {
        if (spilled != nullptr) {
            spilled->forEachTarget(emit);
        } else {
            for (const TargetRow& row : results.targets) {
                emit(targetJson(row));
            }
        }
    });
    out << ",\n\"arena\":{\"overMax\":[";
    for (std::size_t i = 0; i < results.overMax.size(); ++i) {
        out << (i == 0 ? "" : ",") << stretch(results.overMax[i]).dump();
    }
    out << "],\"events\":[";
    bool first = true;
    const auto event = [&](std::string_view element) {
        out << (first ? "\n" : ",\n") << element;
        first = false;
    };
    if (spilled != nullptr) {
        spilled->forEachArenaEvent(event);
    } else {
        for (const ArenaEvent& row : results.arena) {
            event(arenaJson(row));
        }
    }
    out << "]}";
    arrayMember(out, "timeline", [&](auto emit) {
        for (const MinuteCount& count : results.timeline) {
            emit(minute(count).dump());
        }
    });
    arrayMember(out, "warnings", [&](auto emit) {
        for (const Warning& item : results.warnings) {
            emit(warning(item).dump());
        }
    });
    out << "\n}\n";
}

}  // namespace vorskal::results
