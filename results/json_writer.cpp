#include "results/json_writer.h"

#include <functional>
#include <string>
#include <vector>

#include "results/json_text.h"

namespace vorskal::results {
namespace {

// Writes an array's elements one a line: a line end before each, a comma
// between them.
class Elements {
  public:
    explicit Elements(std::ostream& out) : out_(out) {}
    void operator()(std::string_view element) {
        out_.write(first_ ? "\n" : ",\n", first_ ? 1 : 2);
        out_.write(element.data(), static_cast<std::streamsize>(element.size()));
        first_ = false;
    }

  private:
    std::ostream& out_;
    bool first_ = true;
};

// A member holding an array, one element per line.
template <typename Each>
void arrayMember(std::ostream& out, std::string_view name, Each&& each) {
    out << ",\n\"" << name << "\":[";
    Elements elements(out);
    each([&](std::string_view element) { elements(element); });
    out << "]";
}

// Where the long lists' rows come from: each calls its argument with every
// row's JSON text, in order.
using Emit = std::function<void(std::string_view)>;
struct Rows {
    std::function<void(const Emit&)> corrections;
    std::function<void(const Emit&)> targets;
    std::function<void(const Emit&)> arena;
    std::function<void(const Emit&)> kills;
};

// Calls `emit` with the JSON text of each row `forEach` hands over, made in one
// string that is reused (a large game has hundreds of thousands of rows).
template <typename Row, typename ForEach>
void emitRows(const Emit& emit, void (*json)(std::string&, const Row&), ForEach&& forEach) {
    std::string text;
    forEach([&](const Row& row) {
        text.clear();
        json(text, row);
        emit(text);
    });
}

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
    Elements events(out);
    rows.arena([&](std::string_view element) { events(element); });
    out << "]}";
    arrayMember(out, "kills", [&](auto emit) { rows.kills(emit); });
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
                                      void (*json)(std::string&, const Row&)) {
    return [&list, json](const Emit& emit) {
        emitRows(emit, json, [&](const auto& take) {
            for (const Row& row : list) {
                take(row);
            }
        });
    };
}

}  // namespace

void writeJson(const GameResults& results, std::ostream& out, const SpilledRows& spilled) {
    write(results, out,
          {[&](const Emit& emit) {
               emitRows(emit, &appendCorrectionJson,
                        [&](const auto& take) { spilled.forEachCorrection(take); });
           },
           [&](const Emit& emit) {
               emitRows(emit, &appendTargetJson,
                        [&](const auto& take) { spilled.forEachTarget(take); });
           },
           [&](const Emit& emit) {
               emitRows(emit, &appendArenaJson,
                        [&](const auto& take) { spilled.forEachArenaEvent(take); });
           },
           [&](const Emit& emit) {
               emitRows(emit, &appendKillJson,
                        [&](const auto& take) { spilled.forEachKill(take); });
           }});
}

void writeJson(const GameResults& results, std::ostream& out) {
    write(
        results, out,
        {each(results.corrections, &appendCorrectionJson), each(results.targets, &appendTargetJson),
         each(results.arena, &appendArenaJson), each(results.kills, &appendKillJson)});
}

}  // namespace vorskal::results
