#include "results/json_writer.h"

#include "results/json_text.h"

namespace vorskal::results {
namespace {

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

void writeJson(const GameResults& results, std::ostream& out, const SpilledRows& spilled) {
    out << "{\"formatVersion\":" << kFormatVersion;
    out << ",\n\"tool\":"
        << Json({{"name", textJson(results.toolName)}, {"version", textJson(results.toolVersion)}})
               .dump();
    out << ",\n\"run\":"
        << Json({{"startedAt", textJson(results.run.startedAt)},
                 {"directory", textJson(results.run.directory)},
                 {"options", optionsJson(results.run)}})
               .dump();
    out << ",\n\"game\":"
        << Json({{"date", textOrNull(results.gameDate)},
                 {"firstTime", textOrNull(results.firstTime)},
                 {"lastTime", textOrNull(results.lastTime)}})
               .dump();
    Json inputs = Json::array();
    for (const FileFacts& file : results.inputs) {
        inputs.push_back(fileJson(file));
    }
    out << ",\n\"inputs\":" << inputs.dump();
    out << ",\n\"settings\":" << settingsJson(results.settings).dump();
    arrayMember(out, "pilots", [&](auto emit) {
        for (const PilotRow& row : results.pilots) {
            emit(pilotJson(row).dump());
        }
    });
    out << ",\n\"teams\":"
        << Json({{"Allied", teamJson(results.allied)}, {"Hun", teamJson(results.hun)}}).dump();
    arrayMember(out, "corrections", [&](auto emit) { spilled.forEachCorrection(emit); });
    arrayMember(out, "targets", [&](auto emit) { spilled.forEachTarget(emit); });
    out << ",\n\"arena\":{\"overMax\":[";
    for (std::size_t i = 0; i < results.overMax.size(); ++i) {
        out << (i == 0 ? "" : ",") << stretchJson(results.overMax[i]).dump();
    }
    out << "],\"events\":[";
    bool first = true;
    spilled.forEachArenaEvent([&](std::string_view element) {
        out << (first ? "\n" : ",\n") << element;
        first = false;
    });
    out << "]}";
    arrayMember(out, "timeline", [&](auto emit) {
        for (const MinuteCount& count : results.timeline) {
            emit(minuteJson(count).dump());
        }
    });
    arrayMember(out, "warnings", [&](auto emit) {
        for (const Warning& item : results.warnings) {
            emit(warningJson(item).dump());
        }
    });
    out << "\n}\n";
}

}  // namespace vorskal::results
