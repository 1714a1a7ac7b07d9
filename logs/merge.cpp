#include "logs/merge.h"

#include <memory>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "logs/background_writer.h"
#include "logs/event_scanner.h"
#include "logs/log_line.h"

namespace vorskal {
namespace {

constexpr std::size_t kWindow = 256 << 10;  // read at once; small enough to stay in cache

// "HH:MM:SS" at columns 10 to 17, a time of day from 00:00:00 to 23:59:59.
bool holdsTimeOfDay(std::string_view line) {
    if (line.size() < 17 || line[11] != ':' || line[14] != ':') {
        return false;
    }
    for (const std::size_t at : {9u, 10u, 12u, 13u, 15u, 16u}) {
        if (line[at] < '0' || line[at] > '9') {
            return false;
        }
    }
    return line.substr(9, 2) <= "23" && line[12] <= '5' && line[15] <= '5';
}

// Copies one numbered log into the merged file. Lines that end in CR LF go
// out as they are; a line that ends in a lone CR, a lone LF or the end of
// the file gets CR LF.
//
// The log is read through a window that moves forward (`pread`: a log cut
// short while it is read fails with a message, where a mapping's page would
// stop the process), and each window, once scanned, goes to the writer as
// it is: the bytes are read once, and written from where they were read.
class PieceCopier {
  public:
    PieceCopier(std::string name, std::shared_ptr<MappedFile> piece, BackgroundWriter& writer,
                MergeWatcher* watcher)
        : name_(std::move(name)),
          piece_(std::move(piece)),
          writer_(writer),
          watcher_(watcher),
          size_(piece_->bytes().size()) {}

    // Calls onLine(text, lasting, kinds, index) for the lines that may be of
    // a kind, in order: `text` in the window, `lasting` in the log's mapping,
    // `index` lines of the log before it. Returns the number of lines.
    template <typename OnLine>
    std::uint64_t run(OnLine&& onLine) {
        std::uint64_t lines = 0;
        std::size_t capacity = kWindow;  // what the window reads
        std::uint64_t start = 0;         // of the window in the log
        const std::string_view bytes = piece_->bytes();
        std::vector<std::pair<std::size_t, std::size_t>> mends;  // lines ended otherwise
        while (start < size_) {
            WindowBuffer window = writer_.takeBuffer(capacity + kEventScanSlack);
            char* p = window.bytes.get();
            const std::size_t want =
                size_ - start < capacity ? static_cast<std::size_t>(size_ - start) : capacity;
            const std::size_t filled = piece_->readAt(start, p, want);
            if (filled != want) {
                throw TallyFailure(std::string(name_) + ": the file ended while it was read");
            }
            const bool atEnd = start + filled == size_;
            windowStart_ = start;
            mends.clear();
            const EventScan scan = scanEventLines(
                p, filled, atEnd,
                [&](std::size_t begin, std::size_t end, std::size_t next, LineKinds kinds,
                    std::uint64_t index) {
                    if (kinds != 0) {
                        onLine(std::string_view(p + begin, end - begin),
                               bytes.substr(start + begin, end - begin), kinds, lines + index);
                    }
                    if (next - end != 2) {
                        mends.emplace_back(end, next);
                    }
                });
            lines += scan.lines;
            if (scan.done == 0 && !atEnd) {
                writer_.submitBuffer(std::move(window), 0);  // back to the writer's spares
                capacity *= 2;  // one line fills the window: take a larger one
                continue;
            }
            if (watcher_ != nullptr) {
                watch(p, atEnd ? filled : scan.done, lines - scan.lines, lines);
            }
            write(std::move(window), scan.done, mends);
            if (atEnd) {
                break;
            }
            capacity = kWindow;
            start += scan.done;
        }
        facts_.lines = lines;
        return lines;
    }

    // The watcher's facts of this log (its lines, its first and last timed lines).
    MergeWatcher::Piece& facts() { return facts_; }

  private:
    // The watcher sees the window's first `used` bytes, which hold lines
    // `before` + 1 to `after` of the log. Only the log's first timed line and
    // each window's last one are looked for, the first from the front until
    // it is found, the last from the back, so the lines between cost nothing.
    void watch(const char* p, std::size_t used, std::uint64_t before, std::uint64_t after) {
        watcher_->pieceBytes(std::string_view(p, used));
        const std::string_view lasting = piece_->bytes().substr(windowStart_, used);
        std::uint64_t line = before;
        for (std::size_t begin = 0; facts_.firstTimedLine == 0 && begin < used;) {
            std::size_t end = begin;
            while (end < used && p[end] != '\r' && p[end] != '\n') {
                ++end;
            }
            std::size_t next = end + 1;
            if (end == used) {
                next = end;
            } else if (p[end] == '\r' && end + 1 < used && p[end + 1] == '\n') {
                next = end + 2;
            }
            ++line;
            if (holdsTimeOfDay(std::string_view(p + begin, end - begin))) {
                facts_.firstTimed = lasting.substr(begin, end - begin);
                facts_.firstTimedLine = line;
            }
            begin = next;
        }
        line = after;
        for (std::size_t stop = used; stop > 0; --line) {
            // `stop` is just past the line's end: CR LF, CR, LF, or none at the end of the log.
            std::size_t end = stop;
            if (p[end - 1] == '\n') {
                --end;
                if (end > 0 && p[end - 1] == '\r') {
                    --end;
                }
            } else if (p[end - 1] == '\r') {
                --end;
            }
            std::size_t begin = end;
            while (begin > 0 && p[begin - 1] != '\n' && p[begin - 1] != '\r') {
                --begin;
            }
            if (holdsTimeOfDay(std::string_view(p + begin, end - begin))) {
                facts_.lastTimed = lasting.substr(begin, end - begin);
                facts_.lastTimedLine = line;
                return;
            }
            stop = begin;
        }
    }
    // Hands the window's first `done` bytes to the writer, each line in
    // `mends` (its end, where the next begins) ended by CR LF instead.
    void write(WindowBuffer window, std::size_t done,
               const std::vector<std::pair<std::size_t, std::size_t>>& mends) {
        if (mends.empty()) {
            if (watcher_ != nullptr) {
                watcher_->mergedBytes(std::string_view(window.bytes.get(), done));
            }
            writer_.submitBuffer(std::move(window), done);
            return;
        }
        const char* p = window.bytes.get();
        std::string mended;
        mended.reserve(done + 2 * mends.size());
        std::size_t from = 0;
        for (const auto& [end, next] : mends) {
            mended.append(p + from, end - from);
            mended.append("\r\n");
            from = next;
        }
        mended.append(p + from, done - from);
        if (watcher_ != nullptr) {
            watcher_->mergedBytes(mended);
        }
        writer_.submitBytes(std::move(mended));
        writer_.submitBuffer(std::move(window), 0);
    }

    std::string name_;
    std::shared_ptr<MappedFile> piece_;
    BackgroundWriter& writer_;
    MergeWatcher* watcher_;
    std::uint64_t size_;
    std::uint64_t windowStart_ = 0;
    MergeWatcher::Piece facts_;
};

}  // namespace

std::string numberedLogName(std::uint64_t n) {
    return "ux7server" + std::to_string(n) + ".log";
}

MergeResult mergeServerLogs(FileService& files, MergeNotes* notes) {
    if (!files.exists(numberedLogName(0))) {
        return MergeResult::MissingFirstLog;
    }
    KeptLines* const kept = notes != nullptr ? notes->kept : nullptr;
    const bool killHook = notes != nullptr && notes->onKillLine;
    std::unique_ptr<OutputFile> merged = files.createOrReplace(std::string(kMergedLogName));
    {
        BackgroundWriter writer(*merged);
        std::uint64_t linesBefore = 0;  // of the logs before this one
        std::uint64_t lastMarked = 0;   // the number of the last line with the marker

        for (std::uint64_t n = 0;; ++n) {
            const std::string name = numberedLogName(n);
            if (n > 0 && !files.exists(name)) {
                break;
            }
            std::shared_ptr<MappedFile> piece = files.map(name);
            if (notes != nullptr) {
                notes->pieces.push_back(piece);
            }
            MergeWatcher* const watcher = notes != nullptr ? notes->watcher : nullptr;
            const std::uint64_t bytes = piece->bytes().size();
            PieceCopier copier(name, std::move(piece), writer, watcher);
            linesBefore += copier.run([&](std::string_view line, std::string_view lasting,
                                          LineKinds kinds, std::uint64_t index) {
                const std::uint64_t number = linesBefore + index + 1;
                const bool afterMarker = lastMarked != 0 && lastMarked + 1 == number;
                if (killHook && (kinds & kKillLine) != 0) {
                    notes->onKillLine(LogLine{line, number, afterMarker, lasting});
                }
                if (kept != nullptr && (kinds & kKeptKinds) != 0) {
                    kept->add(number, line, kinds, afterMarker);
                }
                if ((kinds & kMarkerLine) != 0) {
                    lastMarked = number;
                }
            });
            if (watcher != nullptr) {
                MergeWatcher::Piece& facts = copier.facts();
                facts.name = name;
                facts.bytes = bytes;
                watcher->pieceDone(facts);
            }
        }
        writer.finish();
    }
    merged->close();
    return MergeResult::Merged;
}

}  // namespace vorskal
