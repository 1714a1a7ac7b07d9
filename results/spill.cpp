#include "results/spill.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "base/failure.h"
#include "base/system_files.h"

namespace vorskal::results {
namespace {

// A record is its length, then its fields in the order of the row's members:
// numbers, flags and names (enums) as eight bytes in the machine's order (the
// file lives as long as the run), texts as their length and their bytes.
class RecordWriter {
  public:
    explicit RecordWriter(std::string& out) : out_(out) { out_.assign(8, '\0'); }
    template <typename Number>
    RecordWriter& number(Number value) {
        const auto bits = static_cast<std::uint64_t>(value);
        char bytes[8];
        std::memcpy(bytes, &bits, 8);
        out_.append(bytes, 8);
        return *this;
    }
    RecordWriter& text(std::string_view text) {
        number(text.size());
        out_.append(text);
        return *this;
    }
    // The record's length in front of it.
    void close() {
        const std::uint64_t size = out_.size() - 8;
        std::memcpy(out_.data(), &size, 8);
    }

  private:
    std::string& out_;
};

class RecordReader {
  public:
    explicit RecordReader(std::string_view record) : rest_(record) {}
    template <typename Number>
    Number number() {
        std::uint64_t bits = 0;
        std::memcpy(&bits, take(8).data(), 8);
        return static_cast<Number>(bits);
    }
    bool flag() { return number<std::uint64_t>() != 0; }
    void text(std::string& into) { into.assign(take(number<std::uint64_t>())); }

  private:
    std::string_view take(std::uint64_t size) {
        if (size > rest_.size()) {
            throw TallyFailure("a row kept in the temporary file of the long lists is cut short");
        }
        const std::string_view taken = rest_.substr(0, size);
        rest_.remove_prefix(size);
        return taken;
    }
    std::string_view rest_;
};

}  // namespace

SpilledRows::SpilledRows() {
    for (List* list : {&corrections_, &targets_, &arena_, &kills_}) {
        try {
            ScratchFile scratch = openScratchFile();
            list->file = scratch.file;
            folder_ = scratch.folder;
            std::setvbuf(list->file, nullptr, _IOFBF, 1 << 16);
        } catch (const TallyFailure& failed) {
            list->failure = failed.what();
        }
    }
}

SpilledRows::~SpilledRows() {
    for (List* list : {&corrections_, &targets_, &arena_, &kills_}) {
        if (list->file != nullptr) {
            std::fclose(list->file);
        }
    }
}

std::string SpilledRows::failure(std::string_view action) const {
    return folder_ + ": cannot " + std::string(action) +
           " the temporary file of the long lists: " + std::strerror(errno);
}

void SpilledRows::add(List& list) {
    if (list.failure.empty() &&
        std::fwrite(record_.data(), 1, record_.size(), list.file) != record_.size()) {
        list.failure = failure("write");
    }
}

void SpilledRows::correction(const Correction& row) {
    RecordWriter record(record_);
    record.number(row.kind).number(row.applied).text(row.note).number(row.evidence.size());
    for (const EvidenceLine& line : row.evidence) {
        record.number(line.line).text(line.text);
    }
    record.number(row.moves.size());
    for (const Move& move : row.moves) {
        record.text(move.pilot).number(move.team).number(move.field).number(move.by);
        record.number(move.points);
    }
    record.close();
    add(corrections_);
}

void SpilledRows::target(const TargetRow& row) {
    RecordWriter record(record_);
    record.number(row.line).text(row.text).text(row.key).text(row.targetType).number(row.team);
    record.number(row.teamCode).number(row.points).number(row.redBoxed).text(row.pilot);
    record.text(row.reason).close();
    add(targets_);
}

void SpilledRows::arenaEvent(const ArenaEvent& row) {
    RecordWriter record(record_);
    record.number(row.line).text(row.time).number(row.seconds).number(row.side);
    record.number(row.entry).text(row.pilot).number(row.inGameAfter).close();
    add(arena_);
}

void SpilledRows::kill(const KillRow& row) {
    RecordWriter record(record_);
    record.number(row.line).text(row.time).text(row.victim).text(row.victimAircraft);
    record.number(row.victimSide).number(row.killer.has_value()).text(row.killer.value_or(""));
    record.text(row.killerAircraft).number(row.killerSide).number(row.selfKill);
    record.number(row.takenBackBy.has_value()).number(row.takenBackBy.value_or(0)).close();
    add(kills_);
}

void SpilledRows::forEach(const List& list,
                          const std::function<void(std::string_view)>& each) const {
    if (!list.failure.empty()) {
        throw TallyFailure(list.failure);
    }
    if (std::fflush(list.file) != 0) {
        throw TallyFailure(failure("write"));
    }
    std::rewind(list.file);
    std::string record;
    for (;;) {
        std::uint64_t size = 0;
        const std::size_t got = std::fread(&size, 1, 8, list.file);
        if (got == 0 && std::feof(list.file) != 0) {
            break;
        }
        if (got == 8) {
            record.resize(size);
        }
        if (got != 8 || std::fread(record.data(), 1, size, list.file) != size) {
            throw TallyFailure(std::ferror(list.file) != 0
                                   ? failure("read")
                                   : folder_ +
                                         ": the temporary file of the long lists ends "
                                         "inside a row");
        }
        each(record);
    }
    std::fseek(list.file, 0, SEEK_END);
}

void SpilledRows::forEachCorrection(const std::function<void(const Correction&)>& each) const {
    Correction row;
    forEach(corrections_, [&](std::string_view bytes) {
        RecordReader record(bytes);
        row.kind = record.number<CorrectionKind>();
        row.applied = record.flag();
        record.text(row.note);
        row.evidence.resize(record.number<std::size_t>());
        for (EvidenceLine& line : row.evidence) {
            line.line = record.number<std::uint64_t>();
            record.text(line.text);
        }
        row.moves.resize(record.number<std::size_t>());
        for (Move& move : row.moves) {
            record.text(move.pilot);
            move.team = record.number<Side>();
            move.field = record.number<MoveField>();
            move.by = record.number<std::int64_t>();
            move.points = record.number<std::int64_t>();
        }
        each(row);
    });
}

void SpilledRows::forEachTarget(const std::function<void(const TargetRow&)>& each) const {
    TargetRow row;
    forEach(targets_, [&](std::string_view bytes) {
        RecordReader record(bytes);
        row.line = record.number<std::uint64_t>();
        record.text(row.text);
        record.text(row.key);
        record.text(row.targetType);
        row.team = record.number<Side>();
        row.teamCode = record.number<std::int64_t>();
        row.points = record.number<std::int64_t>();
        row.redBoxed = record.flag();
        record.text(row.pilot);
        record.text(row.reason);
        each(row);
    });
}

void SpilledRows::forEachArenaEvent(const std::function<void(const ArenaEvent&)>& each) const {
    ArenaEvent row;
    forEach(arena_, [&](std::string_view bytes) {
        RecordReader record(bytes);
        row.line = record.number<std::uint64_t>();
        record.text(row.time);
        row.seconds = record.number<std::int32_t>();
        row.side = record.number<Side>();
        row.entry = record.flag();
        record.text(row.pilot);
        row.inGameAfter = record.number<std::int64_t>();
        each(row);
    });
}

void SpilledRows::forEachKill(const std::function<void(const KillRow&)>& each) const {
    KillRow row;
    forEach(kills_, [&](std::string_view bytes) {
        RecordReader record(bytes);
        row.line = record.number<std::uint64_t>();
        record.text(row.time);
        record.text(row.victim);
        record.text(row.victimAircraft);
        row.victimSide = record.number<Side>();
        const bool killer = record.flag();
        std::string name;
        record.text(name);
        row.killer = killer ? std::optional<std::string>(std::move(name)) : std::nullopt;
        record.text(row.killerAircraft);
        row.killerSide = record.number<Side>();
        row.selfKill = record.flag();
        const bool takenBack = record.flag();
        const auto by = record.number<std::int64_t>();
        row.takenBackBy = takenBack ? std::optional<std::int64_t>(by) : std::nullopt;
        each(row);
    });
}

}  // namespace vorskal::results
