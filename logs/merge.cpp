#include "logs/merge.h"

#include <memory>

#include "base/failure.h"
#include "logs/background_writer.h"
#include "logs/event_scanner.h"
#include "logs/log_line.h"

namespace vorskal {
namespace {

constexpr std::size_t kDirectCopy = 64 << 10;  // runs this long are copied by the system
constexpr std::size_t kPendingLimit = 1 << 20;
constexpr std::size_t kWindow = 256 << 10;  // read at once; small enough to stay in cache
constexpr std::size_t kEarlyCopy = 16 << 20;

// Copies one numbered log into the merged file. Lines that end in CR LF go
// out as they are, in long runs copied straight from the log; a line that
// ends in a lone CR, a lone LF or the end of the file gets CR LF.
//
// The log is read through a window that moves forward (reading through the
// system costs far less than first touches of a mapping); a short run's
// bytes are taken from the window before it moves on, a long run is copied
// from the log itself.
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
        std::size_t allocated = 0;
        std::unique_ptr<char[]> buffer;
        std::uint64_t start = 0;  // of the window in the log
        const std::string_view bytes = piece_->bytes();
        while (start < size_) {
            if (capacity > allocated) {
                buffer = std::make_unique<char[]>(capacity + kEventScanSlack);
                allocated = capacity;
            }
            char* p = buffer.get();
            const std::size_t want =
                size_ - start < capacity ? static_cast<std::size_t>(size_ - start) : capacity;
            const std::size_t filled = piece_->readAt(start, p, want);
            const bool atEnd = start + filled == size_;
            if (filled != want) {
                throw TallyFailure(std::string(name_) + ": the file ended while it was read");
            }
            window_ = p;
            windowStart_ = start;
            const EventScan scan = scanEventLines(
                p, filled, atEnd,
                [&](std::size_t begin, std::size_t end, std::size_t next, LineKinds kinds,
                    std::uint64_t index) {
                    if (kinds != 0) {
                        onLine(std::string_view(p + begin, end - begin),
                               bytes.substr(start + begin, end - begin), kinds, lines + index);
                    }
                    if (next - end != 2) {
                        lineEnded(start + end, start + next);
                    }
                });
            lines += scan.lines;
            const std::size_t done = scan.done;
            if (atEnd) {
                break;
            }
            if (done == 0) {
                capacity *= 2;  // one line fills the window: take a larger one
                continue;
            }
            capacity = kWindow;
            start += done;
            if (start - run_ >= kEarlyCopy) {
                copyRun(start);  // let the writer start on the log's first part
            }
            keepShortRun(start);
        }
        copyRun(size_);
        drain();
        return lines;
    }

  private:
    // A line that does not end in CR LF ended at `end`; the next begins at
    // `next`: it gets CR LF.
    void lineEnded(std::uint64_t end, std::uint64_t next) {
        copyRun(end);
        pending_.append("\r\n");
        run_ = next;
    }
    // The window moves on to `start`: a short run takes its bytes along now.
    void keepShortRun(std::uint64_t start) {
        if (start - run_ < kDirectCopy) {
            copyRun(start);
        }
    }
    // Hands the log's bytes from the current run's start up to `end` to the
    // writer. A short run lies inside the window (keepShortRun).
    void copyRun(std::uint64_t end) {
        const std::uint64_t length = end - run_;
        if (length >= kDirectCopy) {
            drain();
            writer_.submitRange(piece_, run_, length);
        } else if (length > 0) {
            pending_.append(window_ + (run_ - windowStart_), length);
            if (pending_.size() >= kPendingLimit) {
                drain();
            }
        }
        run_ = end;
    }
    void drain() {
        if (!pending_.empty()) {
            writer_.submitBytes(std::move(pending_));
            pending_ = std::string();
        }
    }

    std::string name_;
    std::shared_ptr<MappedFile> piece_;
    BackgroundWriter& writer_;
    MergeWatcher* watcher_;
    std::uint64_t size_;
    std::uint64_t watchedTo_ = 0;  // the merged log's bytes are watched up to here
    const char* window_ = nullptr;
    std::uint64_t windowStart_ = 0;
    std::uint64_t run_ = 0;
    std::string pending_;
};

// "HH:MM:SS" at columns 10 to 17.
bool holdsTimeOfDay(std::string_view line) {
    if (line.size() < 17 || line[11] != ':' || line[14] != ':') {
        return false;
    }
    for (const std::size_t at : {9u, 10u, 12u, 13u, 15u, 16u}) {
        if (line[at] < '0' || line[at] > '9') {
            return false;
        }
    }
    return true;
}

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
            PieceCopier copier(name, std::move(piece), writer);
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
                facts.lines = number - firstNumber;
                watcher->pieceDone(facts);
            }
        }
        writer.finish();
    }
    merged->close();
    return MergeResult::Merged;
}

}  // namespace vorskal
