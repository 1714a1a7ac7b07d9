#include "results/csv_writer.h"

#include <filesystem>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "base/log_text.h"
#include "base/output_stream.h"
#include "base/system_files.h"
#include "results/json_text.h"

namespace vorskal::results {
namespace {

// One file of the set, written through replaceFile: it takes the old file's
// place only at close().
class CsvFile {
  public:
    CsvFile(const std::filesystem::path& directory, std::string_view name,
            std::initializer_list<std::string_view> header)
        : out_(replaceFile((directory / name).string())) {
        for (const std::string_view field : header) {
            cell(field);
        }
        end();
    }
    CsvFile& cell(std::string_view text) {
        out_ << (first_ ? "" : ",") << csvField(logText(text));
        first_ = false;
        return *this;
    }
    CsvFile& cell(std::int64_t number) { return cell(std::to_string(number)); }
    CsvFile& flag(bool value) { return cell(value ? "true" : "false"); }
    void end() {
        out_ << "\r\n";
        first_ = true;
    }
    void writeOut() { out_.writeOut(); }
    void close() { out_.close(); }

  private:
    OutputStream out_;
    bool first_ = true;
};

using Written = std::unique_ptr<CsvFile>;

std::string joinLocations(const std::vector<std::string>& keys) {
    std::string joined;
    for (const std::string& key : keys) {
        joined += (joined.empty() ? "" : ",") + key;
    }
    return joined;
}

Written pilots(const GameResults& results, const std::filesystem::path& dir) {
    Written written(new CsvFile(dir, kPilotsCsv,
                                {"name", "team", "teamCode", "kills", "deaths", "targetsDestroyed",
                                 "targetPoints", "locations", "score"}));
    CsvFile& csv = *written;
    for (const PilotRow& row : results.pilots) {
        csv.cell(row.name).cell(sideName(row.team)).cell(row.teamCode).cell(row.kills);
        csv.cell(row.deaths).cell(row.targetsDestroyed).cell(row.targetPoints);
        csv.cell(joinLocations(row.locations)).cell(row.score);
        csv.end();
    }
    return written;
}

Written teams(const GameResults& results, const std::filesystem::path& dir) {
    Written written(new CsvFile(dir, kTeamsCsv,
                                {"team", "kills", "deaths", "targetsDestroyed", "targetPoints",
                                 "score", "overMaxPenalty", "final"}));
    CsvFile& csv = *written;
    for (const auto& [name, totals] :
         {std::pair{"Allied", &results.allied}, std::pair{"Hun", &results.hun}}) {
        csv.cell(name).cell(totals->kills).cell(totals->deaths).cell(totals->targetsDestroyed);
        csv.cell(totals->targetPoints).cell(totals->score).cell(totals->overMaxPenalty);
        csv.cell(totals->final);
        csv.end();
    }
    return written;
}

Correction correctionFromJson(std::string_view text) {
    const nlohmann::json j = nlohmann::json::parse(text);
    Correction item;
    item.kind = kindNamed(j["kind"].get<std::string>()).value_or(CorrectionKind::MultiDeath);
    item.applied = j["applied"].get<bool>();
    item.note = j["note"].get<std::string>();
    for (const auto& line : j["evidence"]) {
        item.evidence.push_back({line["line"].get<std::uint64_t>(), line["text"]});
    }
    for (const auto& move : j["moves"]) {
        item.moves.push_back(
            {move["pilot"].is_string() ? move["pilot"].get<std::string>() : "",
             sideNamed(move["team"].get<std::string>()),
             fieldNamed(move["field"].get<std::string>()).value_or(MoveField::Kills),
             move["by"].get<std::int64_t>(), move["points"].get<std::int64_t>()});
    }
    return item;
}

Written corrections(const GameResults& results, const std::filesystem::path& dir,
                    const SpilledRows* spilled) {
    Written written(new CsvFile(dir, kCorrectionsCsv,
                                {"correction", "kind", "applied", "note", "pilot", "team", "field",
                                 "by", "points", "evidenceLines", "evidenceTexts"}));
    CsvFile& csv = *written;
    std::int64_t number = 0;
    const auto write = [&](const Correction& item) {
        ++number;
        std::string lines;
        std::string texts;
        for (const EvidenceLine& line : item.evidence) {
            lines += (lines.empty() ? "" : " ") + std::to_string(line.line);
            texts += (texts.empty() ? "" : "\n") + line.text;
        }
        const auto row = [&](const Move* move) {
            csv.cell(number).cell(kindName(item.kind)).flag(item.applied).cell(item.note);
            if (move != nullptr) {
                csv.cell(move->pilot).cell(sideName(move->team)).cell(fieldName(move->field));
                csv.cell(move->by).cell(move->points);
            } else {
                csv.cell("").cell("").cell("").cell("").cell("");
            }
            csv.cell(lines).cell(texts);
            csv.end();
        };
        if (item.moves.empty()) {
            row(nullptr);
        }
        for (const Move& move : item.moves) {
            row(&move);
        }
    };
    if (spilled == nullptr) {
        for (const Correction& item : results.corrections) {
            write(item);
        }
    } else {
        spilled->forEachCorrection([&](std::string_view json) { write(correctionFromJson(json)); });
    }
    return written;
}

std::string stringOr(const nlohmann::json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

Written targets(const GameResults& results, const std::filesystem::path& dir,
                const SpilledRows* spilled) {
    Written written(new CsvFile(dir, kTargetsCsv,
                                {"line", "text", "key", "targetType", "team", "teamCode", "points",
                                 "redBoxed", "pilot", "reason"}));
    CsvFile& csv = *written;
    const auto row = [&](const TargetRow& r) {
        csv.cell(static_cast<std::int64_t>(r.line)).cell(r.text).cell(r.key).cell(r.targetType);
        csv.cell(sideName(r.team)).cell(r.teamCode).cell(r.points).flag(r.redBoxed);
        csv.cell(r.pilot).cell(r.reason);
        csv.end();
    };
    if (spilled == nullptr) {
        for (const TargetRow& r : results.targets) {
            row(r);
        }
    } else {
        spilled->forEachTarget([&](std::string_view json) {
            const nlohmann::json j = nlohmann::json::parse(json);
            // Texts are UTF-8 already; written again as they are.
            csv.cell(j["line"].get<std::int64_t>()).cell(stringOr(j["text"]));
            csv.cell(stringOr(j["key"])).cell(stringOr(j["targetType"]));
            csv.cell(stringOr(j["team"])).cell(j["teamCode"].get<std::int64_t>());
            csv.cell(j["points"].get<std::int64_t>()).flag(j["redBoxed"].get<bool>());
            csv.cell(stringOr(j["pilot"])).cell(stringOr(j["reason"]));
            csv.end();
        });
    }
    return written;
}

Written arena(const GameResults& results, const std::filesystem::path& dir,
              const SpilledRows* spilled) {
    Written written(new CsvFile(
        dir, kArenaCsv, {"line", "time", "seconds", "side", "event", "pilot", "inGameAfter"}));
    CsvFile& csv = *written;
    const auto row = [&](const ArenaEvent& r) {
        csv.cell(static_cast<std::int64_t>(r.line)).cell(r.time);
        csv.cell(r.time.empty() ? std::string() : std::to_string(r.seconds));
        csv.cell(sideName(r.side)).cell(r.entry ? "entry" : "exit").cell(r.pilot);
        csv.cell(r.inGameAfter);
        csv.end();
    };
    if (spilled == nullptr) {
        for (const ArenaEvent& r : results.arena) {
            row(r);
        }
    } else {
        spilled->forEachArenaEvent([&](std::string_view json) {
            const nlohmann::json j = nlohmann::json::parse(json);
            csv.cell(j["line"].get<std::int64_t>()).cell(stringOr(j["time"]));
            csv.cell(j["seconds"].is_null() ? std::string() : j["seconds"].dump());
            csv.cell(stringOr(j["side"]));
            csv.cell(stringOr(j["event"])).cell(stringOr(j["pilot"]));
            csv.cell(j["inGameAfter"].get<std::int64_t>());
            csv.end();
        });
    }
    return written;
}

Written warnings(const GameResults& results, const std::filesystem::path& dir) {
    Written written(new CsvFile(dir, kWarningsCsv, {"code", "file", "line", "message"}));
    CsvFile& csv = *written;
    for (const Warning& item : results.warnings) {
        csv.cell(item.code).cell(item.file);
        csv.cell(item.line == 0 ? std::string() : std::to_string(item.line)).cell(item.message);
        csv.end();
    }
    return written;
}

}  // namespace

std::string csvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

void writeCsv(const GameResults& results, const std::string& directory,
              const SpilledRows* spilled) {
    const std::filesystem::path dir(directory);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        throw std::runtime_error(directory + ": cannot be made: " + error.message());
    }
    const Written set[] = {pilots(results, dir),
                           teams(results, dir),
                           corrections(results, dir, spilled),
                           targets(results, dir, spilled),
                           arena(results, dir, spilled),
                           warnings(results, dir)};
    // Every byte of every file is handed over (a full disk says so here)
    // before the first file takes its place.
    for (const Written& file : set) {
        file->writeOut();
    }
    for (const Written& file : set) {
        file->close();
    }
}

}  // namespace vorskal::results
