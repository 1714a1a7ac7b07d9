#include "logs/merge.h"

#include <memory>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/line_end.h"
#include "base/time_of_day.h"
#include "logs/background_writer.h"
#include "logs/event_scanner.h"

namespace vorskal {
namespace {

constexpr std::size_t kWindow = 256 << 10;  // read at once; small enough to stay in cache
constexpr std::size_t kTimedColumns = 17;   // a line's date and time of day

// A line that may be of a kind, as a numbered log's copier hands it over:
// in the window (`text`), or, longer than the window, where it lies (`long`).
struct HandedLine {
    std::string_view text;
    const LongLine* longLine = nullptr;
    LinePlace place;
    std::uint64_t index = 0;  // lines of the log before it
};

// Copies one numbered log into the merged file. Lines that end in CR LF go
// out as they are; a line that ends in a lone CR, a lone LF or the end of
// the file gets CR LF.
//
// The log is read through a window that moves forward. Where the file
// service can, a window is scanned in place in the log's mapping, read in
// first so that a log cut short meanwhile fails with a message instead of
// stopping the process, and written from there (a window that ends the log
// is copied, for the scan's slack); else it is read (`pread`) into a buffer.
// Either way each window, once scanned, goes to the writer as it is: the
// bytes are read once, and written from where they were read.
class PieceCopier {
  public:
    PieceCopier(std::string name, std::uint32_t number, std::shared_ptr<const MappedFile> piece,
                BackgroundWriter& writer, MergeWatcher* watcher, std::size_t window)
        : name_(std::move(name)),
          number_(number),
          piece_(std::move(piece)),
          writer_(writer),
          watcher_(watcher),
          window_(window),
          size_(piece_->size()) {}

    // Calls onLine(const HandedLine&) for the lines that may be of a kind,
    // in order. Returns the number of lines.
    template <typename OnLine>
    std::uint64_t run(OnLine&& onLine) {
        std::uint64_t lines = 0;
        std::uint64_t start = 0;                                 // of the window in the log
        std::vector<std::pair<std::size_t, std::size_t>> mends;  // lines ended otherwise
        while (start < size_) {
            const std::size_t filled =
                size_ - start < window_ ? static_cast<std::size_t>(size_ - start) : window_;
            const bool atEnd = start + filled == size_;
            // In place when the scan's slack lies in the log too.
            const char* p = kEventScanSlack <= size_ - start - filled
                                ? piece_->resident(start, filled + kEventScanSlack)
                                : nullptr;
            WindowBuffer window;
            if (p == nullptr) {
                window = writer_.takeBuffer(window_ + kEventScanSlack);
                read(start, filled, window.bytes.get());
                p = window.bytes.get();
            }
            mends.clear();
            const EventScan scan = scanEventLines(
                p, filled, atEnd,
                [&](std::size_t begin, std::size_t end, std::size_t next, std::uint64_t index) {
                    onLine(HandedLine{std::string_view(p + begin, end - begin), nullptr,
                                      LinePlace{start + begin, end - begin, number_},
                                      lines + index});
                    if (next - end != 2) {
                        mends.emplace_back(end, next);
                    }
                });
            lines += scan.lines;
            if (scan.done == 0 && !atEnd) {
                if (window.bytes != nullptr) {
                    writer_.submitBuffer(std::move(window), 0);  // back to the writer's spares
                }
                start = copyLongLine(start, lines, onLine);
                ++lines;
                continue;
            }
            if (watcher_ != nullptr) {
                watch(p, scan.done, lines - scan.lines, lines);
            }
            write(p, start, std::move(window), scan.done, mends);
            if (atEnd) {
                break;
            }
            start += scan.done;
        }
        facts_.lines = lines;
        return lines;
    }

    std::uint64_t size() const { return size_; }
    // The watcher's facts of this log (its lines, its first and last timed lines).
    MergeWatcher::Piece& facts() { return facts_; }

  private:
    // Reads `count` bytes at `at` of the log into `out`.
    void read(std::uint64_t at, std::size_t count, char* out) {
        if (piece_->readAt(at, out, count) != count) {
            throw TallyFailure(name_ + ": the file ended while it was read");
        }
    }

    // Copies the line at `start`, which does not end within a window,
    // window by window, ended by CR LF; hands it over, read where it lies;
    // returns where the next line begins. `index` lines come before it.
    template <typename OnLine>
    std::uint64_t copyLongLine(std::uint64_t start, std::uint64_t index, OnLine& onLine) {
        std::uint64_t at = start;
        std::string_view ending;  // the line's own end in the log; none at the log's end
        for (;;) {
            WindowBuffer window = writer_.takeBuffer(window_ + kEventScanSlack);
            char* p = window.bytes.get();
            const std::size_t filled =
                size_ - at < window_ ? static_cast<std::size_t>(size_ - at) : window_;
            read(at, filled, p);
            const std::size_t stop = findLineEnd(p, filled);
            if (stop < filled) {
                ending = "\n";
                if (p[stop] == '\r') {
                    char after = '\0';
                    if (stop + 1 < filled) {
                        after = p[stop + 1];
                    } else if (at + filled < size_) {
                        read(at + filled, 1, &after);
                    }
                    ending = after == '\n' ? "\r\n" : "\r";
                }
            }
            if (watcher_ != nullptr) {
                watcher_->pieceBytes(std::string_view(p, stop));
                watcher_->mergedBytes(std::string_view(p, stop));
            }
            writer_.submitBuffer(std::move(window), stop);
            at += stop;
            if (stop < filled || at == size_) {
                break;
            }
        }
        writer_.submitBytes("\r\n");
        if (watcher_ != nullptr) {
            watcher_->pieceBytes(ending);
            watcher_->mergedBytes("\r\n");
            char first[kTimedColumns];
            const std::size_t count = at - start < kTimedColumns ? at - start : kTimedColumns;
            read(start, count, first);
            noteTimed(std::string_view(first, count), index + 1);
        }
        const LongLine line(*piece_, name_, start, at - start);
        onLine(HandedLine{{}, &line, LinePlace{start, at - start, number_}, index});
        return at + ending.size();
    }

    // A line of the log, by its first bytes: the first and the last that
    // hold a time of day are the watcher's facts.
    void noteTimed(std::string_view line, std::uint64_t number) {
        const std::string_view columns = line.substr(0, kTimedColumns);
        if (!timeOfDayOf(columns)) {
            return;
        }
        if (facts_.firstTimedLine == 0) {
            facts_.firstTimed = std::string(columns);
            facts_.firstTimedLine = number;
        }
        facts_.lastTimed = std::string(columns);
        facts_.lastTimedLine = number;
    }

    // The watcher sees the window's first `used` bytes, which hold lines
    // `before` + 1 to `after` of the log. Only the log's first timed line and
    // each window's last one are looked for, the first from the front until
    // it is found, the last from the back, so the lines between cost nothing.
    void watch(const char* p, std::size_t used, std::uint64_t before, std::uint64_t after) {
        watcher_->pieceBytes(std::string_view(p, used));
        std::uint64_t line = before;
        for (std::size_t begin = 0; facts_.firstTimedLine == 0 && begin < used;) {
            std::size_t end = begin + findLineEnd(p + begin, used - begin);
            std::size_t next = end + 1;
            if (end == used) {
                next = end;
            } else if (p[end] == '\r' && end + 1 < used && p[end + 1] == '\n') {
                next = end + 2;
            }
            ++line;
            noteTimed(std::string_view(p + begin, end - begin), line);
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
            const std::string_view text(p + begin, end - begin);
            if (timeOfDayOf(text.substr(0, kTimedColumns))) {
                noteTimed(text, line);
                return;
            }
            stop = begin;
        }
    }

    // Hands the window's first `done` bytes (at `p`, from `start` of the
    // log: in place, or in `window`) to the writer, each line in `mends` (its
    // end, where the next begins) ended by CR LF instead.
    void write(const char* p, std::uint64_t start, WindowBuffer window, std::size_t done,
               const std::vector<std::pair<std::size_t, std::size_t>>& mends) {
        if (mends.empty()) {
            if (watcher_ != nullptr) {
                watcher_->mergedBytes(std::string_view(p, done));
            }
            if (window.bytes != nullptr) {
                writer_.submitBuffer(std::move(window), done);
            } else {
                writer_.submitResident(piece_, start, p, done);
            }
            return;
        }
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
        if (window.bytes != nullptr) {
            writer_.submitBuffer(std::move(window), 0);
        } else {
            piece_->release(start, done);
        }
    }

    std::string name_;
    std::uint32_t number_;
    std::shared_ptr<const MappedFile> piece_;  // the writer keeps it while it writes from it
    BackgroundWriter& writer_;
    MergeWatcher* watcher_;
    std::size_t window_;
    std::uint64_t size_;
    MergeWatcher::Piece facts_;
};

}  // namespace

MergeResult mergeServerLogs(FileService& files, const MergeNotes& notes) {
    if (!files.exists(numberedLogName(0))) {
        return MergeResult::MissingFirstLog;
    }
    const std::size_t window = notes.window != 0 ? notes.window : kWindow;
    std::unique_ptr<OutputFile> merged = files.createOrReplace(std::string(kMergedLogName));
    {
        BackgroundWriter writer(*merged);
        std::uint64_t linesBefore = 0;  // of the logs before this one
        std::uint64_t lastMarked = 0;   // the number of the last line with the marker

        const auto handOn = [&](const HandedLine& handed) {
            const std::uint64_t number = linesBefore + handed.index + 1;
            const LineKinds kinds = handed.longLine != nullptr ? classifyLine(*handed.longLine)
                                                               : classifyLine(handed.text);
            if (notes.lines != nullptr && (kinds & kPassLines) != 0) {
                ReadLine line;
                line.number = number;
                line.afterMarker = lastMarked != 0 && lastMarked + 1 == number;
                line.place = handed.place;
                line.text = handed.text;
                line.inMemory = handed.longLine == nullptr;
                line.parts = handed.longLine != nullptr ? takeLineApart(*handed.longLine, kinds)
                                                        : takeLineApart(handed.text, kinds);
                notes.lines->take(line);
            }
            if ((kinds & kMarkerLine) != 0) {
                lastMarked = number;
            }
        };
        for (std::uint64_t n = 0;; ++n) {
            const std::string name = numberedLogName(n);
            if (n > 0 && !files.exists(name)) {
                break;
            }
            // The log is open only while it is read.
            namingFileWhenOutOfMemory(name, [&] {
                PieceCopier copier(name, static_cast<std::uint32_t>(n), files.map(name), writer,
                                   notes.watcher, window);
                linesBefore += copier.run(handOn);
                if (notes.watcher != nullptr) {
                    MergeWatcher::Piece& facts = copier.facts();
                    facts.name = name;
                    facts.bytes = copier.size();
                    notes.watcher->pieceDone(facts);
                }
            });
        }
        writer.finish();
    }
    merged->close();
    return MergeResult::Merged;
}

}  // namespace vorskal
