#include "results/json_writer.h"

#include <functional>
#include <string>
#include <vector>

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

// Where the long lists' rows come from: each calls its argument with every
// row's JSON text, in order.
using Emit = std::function<void(std::string_view)>;
struct Rows {
    std::function<void(const Emit&)> corrections;
    std::function<void(const Emit&)> targets;
    std::function<void(const Emit&)> arena;
};

void write(const GameResults& results, std::ostream& out, const Rows& rows) {
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
    out << ",\n\"report\":"
        << Json({{"key", textOrNull(results.report.key)},
                 {"sha256", textOrNull(results.report.sha256)}})
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
    arrayMember(out, "corrections", [&](auto emit) { rows.corrections(emit); });
    arrayMember(out, "targets", [&](auto emit) { rows.targets(emit); });
    out << ",\n\"arena\":{\"overMax\":[";
    for (std::size_t i = 0; i < results.overMax.size(); ++i) {
        out << (i == 0 ? "" : ",") << stretchJson(results.overMax[i]).dump();
    }
    out << "],\"events\":[";
    bool first = true;
    rows.arena([&](std::string_view element) {
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

template <typename Row>
std::function<void(const Emit&)> each(const std::vector<Row>& list,
                                      std::string (*json)(const Row&)) {
    return [&list, json](const Emit& emit) {
        for (const Row& row : list) {
            emit(json(row));
        }
    };
}

}  // namespace

void writeJson(const GameResults& results, std::ostream& out, const SpilledRows& spilled) {
    write(results, out,
          {[&](const Emit& emit) {
               spilled.forEachCorrection([&](const Correction& row) { emit(correctionJson(row)); });
           },
           [&](const Emit& emit) {
               spilled.forEachTarget([&](const TargetRow& row) { emit(targetJson(row)); });
           },
           [&](const Emit& emit) {
               spilled.forEachArenaEvent([&](const ArenaEvent& row) { emit(arenaJson(row)); });
           }});
}

void writeJson(const GameResults& results, std::ostream& out) {
    write(results, out,
          {each(results.corrections, &correctionJson), each(results.targets, &targetJson),
           each(results.arena, &arenaJson)});
}

}  // namespace vorskal::results
