#include "results/csv_writer.h"

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "base/output_stream.h"
#include "base/system_files.h"
#include "results/csv_text.h"

namespace vorskal::results {
namespace {

// One file of the set with its header row, written through replaceFile: it
// takes the old file's place only at close().
class CsvFile {
  public:
    CsvFile(const std::filesystem::path& directory, std::string_view name,
            std::initializer_list<std::string_view> header)
        : out_(replaceFile((directory / name).string())), csv_(out_) {
        for (const std::string_view field : header) {
            csv_.text(field);
        }
        csv_.endRow();
    }
    CsvWriter& csv() { return csv_; }
    void writeOut() { out_.writeOut(); }
    void close() { out_.close(); }

  private:
    OutputStream out_;
    CsvWriter csv_;
};

using Written = std::unique_ptr<CsvFile>;

std::int64_t lineNumber(std::uint64_t line) {
    return static_cast<std::int64_t>(line);
}

Written pilots(const GameResults& results, const std::filesystem::path& dir) {
    Written written(new CsvFile(dir, kPilotsCsv,
                                {"name", "team", "teamCode", "kills", "deaths", "targetsDestroyed",
                                 "targetPoints", "locations", "score"}));
    CsvWriter& csv = written->csv();
    for (const PilotRow& row : results.pilots) {
        std::string locations;
        for (const std::string& key : row.locations) {
            locations += (locations.empty() ? "" : ",") + key;
        }
        csv.text(row.name).text(sideName(row.team)).number(row.teamCode).number(row.kills);
        csv.number(row.deaths).number(row.targetsDestroyed).number(row.targetPoints);
        csv.text(locations).number(row.score);
        csv.endRow();
    }
    return written;
}

Written teams(const GameResults& results, const std::filesystem::path& dir) {
    Written written(new CsvFile(dir, kTeamsCsv,
                                {"team", "kills", "deaths", "targetsDestroyed", "targetPoints",
                                 "score", "overMaxPenalty", "final"}));
    CsvWriter& csv = written->csv();
    for (const Side side : {Side::Allied, Side::Hun}) {
        const TeamTotals& totals = side == Side::Allied ? results.allied : results.hun;
        csv.text(sideName(side)).number(totals.kills).number(totals.deaths);
        csv.number(totals.targetsDestroyed).number(totals.targetPoints).number(totals.score);
        csv.number(totals.overMaxPenalty).number(totals.final);
        csv.endRow();
    }
    return written;
}

Written corrections(const std::filesystem::path& dir, const SpilledRows& spilled) {
    Written written(new CsvFile(dir, kCorrectionsCsv,
                                {"correction", "kind", "applied", "note", "pilot", "team", "field",
                                 "by", "points", "evidenceLines", "evidenceTexts"}));
    CsvWriter& csv = written->csv();
    std::int64_t number = 0;
    spilled.forEachCorrection([&](const Correction& item) {
        ++number;
        std::string lines;
        std::vector<std::string_view> texts;
        for (const EvidenceLine& line : item.evidence) {
            lines += (lines.empty() ? "" : " ") + std::to_string(line.line);
            texts.push_back(line.text);
        }
        const auto row = [&](const Move* move) {
            csv.number(number).text(kindName(item.kind)).flag(item.applied).text(item.note);
            if (move != nullptr) {
                csv.text(move->pilot).text(sideName(move->team)).text(fieldName(move->field));
                csv.number(move->by).number(move->points);
            } else {
                csv.empty().empty().empty().empty().empty();
            }
            csv.text(lines).lines(texts);
            csv.endRow();
        };
        if (item.moves.empty()) {
            row(nullptr);
        }
        for (const Move& move : item.moves) {
            row(&move);
        }
    });
    return written;
}

Written targets(const std::filesystem::path& dir, const SpilledRows& spilled) {
    Written written(new CsvFile(dir, kTargetsCsv,
                                {"line", "text", "key", "targetType", "team", "teamCode", "points",
                                 "redBoxed", "pilot", "reason"}));
    CsvWriter& csv = written->csv();
    spilled.forEachTarget([&](const TargetRow& row) {
        csv.number(lineNumber(row.line)).text(row.text).text(row.key).text(row.targetType);
        csv.text(sideName(row.team)).number(row.teamCode).number(row.points).flag(row.redBoxed);
        csv.text(row.pilot).text(row.reason);
        csv.endRow();
    });
    return written;
}

Written arena(const std::filesystem::path& dir, const SpilledRows& spilled) {
    Written written(new CsvFile(
        dir, kArenaCsv, {"line", "time", "seconds", "side", "event", "pilot", "inGameAfter"}));
    CsvWriter& csv = written->csv();
    spilled.forEachArenaEvent([&](const ArenaEvent& row) {
        csv.number(lineNumber(row.line)).text(row.time);
        if (row.time.empty()) {  // no time of day on the line
            csv.empty();
        } else {
            csv.number(row.seconds);
        }
        csv.text(sideName(row.side)).text(row.entry ? "entry" : "exit").text(row.pilot);
        csv.number(row.inGameAfter);
        csv.endRow();
    });
    return written;
}

Written kills(const std::filesystem::path& dir, const SpilledRows& spilled) {
    Written written(new CsvFile(dir, kKillsCsv,
                                {"line", "time", "victim", "victimAircraft", "victimSide", "killer",
                                 "killerAircraft", "killerSide", "selfKill", "takenBackBy"}));
    CsvWriter& csv = written->csv();
    spilled.forEachKill([&](const KillRow& row) {
        csv.number(lineNumber(row.line)).text(row.time).text(row.victim).text(row.victimAircraft);
        csv.text(sideName(row.victimSide)).text(row.killer.value_or(""));
        csv.text(row.killerAircraft).text(sideName(row.killerSide)).flag(row.selfKill);
        if (row.takenBackBy) {
            csv.number(*row.takenBackBy);
        } else {
            csv.empty();
        }
        csv.endRow();
    });
    return written;
}

Written warnings(const GameResults& results, const std::filesystem::path& dir) {
    Written written(
        new CsvFile(dir, kWarningsCsv, {"code", "file", "line", "message", "subject", "accepted"}));
    CsvWriter& csv = written->csv();
    for (const Warning& item : results.warnings) {
        csv.text(item.code).text(item.file);
        if (item.line == 0) {
            csv.empty();
        } else {
            csv.number(lineNumber(item.line));
        }
        csv.text(item.message).text(item.subject).flag(item.accepted);
        csv.endRow();
    }
    return written;
}

}  // namespace

void writeCsv(const GameResults& results, const std::string& directory,
              const SpilledRows& spilled) {
    const std::filesystem::path dir(directory);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        throw std::runtime_error(directory + ": cannot be made: " + error.message());
    }
    const Written set[] = {pilots(results, dir),  teams(results, dir), corrections(dir, spilled),
                           targets(dir, spilled), arena(dir, spilled), kills(dir, spilled),
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
