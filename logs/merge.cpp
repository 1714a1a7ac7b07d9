#include "logs/merge.h"

#include <memory>

#include "logs/background_writer.h"
#include "logs/line_end.h"
#include "logs/log_line.h"

namespace vorskal {
namespace {

constexpr std::size_t kDirectCopy = 64 << 10;  // runs this long are copied by the system
constexpr std::size_t kPendingLimit = 1 << 20;
constexpr std::size_t kReleaseStep = 16 << 20;

// Copies one numbered log into the merged file. Lines that end in CR LF go
// out as they are, in long runs copied straight from the log; a line that
// ends in a lone CR, a lone LF or the end of the file gets CR LF.
class PieceCopier {
  public:
    PieceCopier(std::shared_ptr<MappedFile> piece, BackgroundWriter& writer)
        : piece_(std::move(piece)), writer_(writer), bytes_(piece_->bytes()) {}

    template <typename OnLine>
    void run(OnLine&& onLine) {
        const char* p = bytes_.data();
        const std::size_t n = bytes_.size();
        std::size_t pos = 0;
        std::size_t released = 0;
        piece_->willRead(0, kReleaseStep);
        while (pos < n) {
            const std::size_t end = pos + findLineEnd(p + pos, n - pos);
            onLine(std::string_view(p + pos, end - pos));
            if (end < n && p[end] == '\r' && end + 1 < n && p[end + 1] == '\n') {
                pos = end + 2;
                if (pos - run_ >= kReleaseStep) {
                    copyRun(pos);  // let the writer start on the log's first part
                }
            } else {
                copyRun(end);
                pending_.append("\r\n");
                pos = end < n ? end + 1 : n;
                run_ = pos;
            }
            if (pos >= released + kReleaseStep) {
                piece_->release(released, pos);
                piece_->willRead(pos, pos + kReleaseStep);
                released = pos;
            }
        }
        copyRun(n);
        drain();
    }

  private:
    // Hands the log's bytes from the current run's start up to `end` to the writer.
    void copyRun(std::size_t end) {
        const std::size_t length = end - run_;
        if (length >= kDirectCopy) {
            drain();
            writer_.submitRange(piece_, run_, length);
        } else {
            pending_.append(bytes_.data() + run_, length);
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

    std::shared_ptr<MappedFile> piece_;
    BackgroundWriter& writer_;
    std::string_view bytes_;
    std::size_t run_ = 0;
    std::string pending_;
};

}  // namespace

std::string numberedLogName(std::uint64_t n) {
    return "ux7server" + std::to_string(n) + ".log";
}

MergeResult mergeServerLogs(FileService& files, KeptLines* kept) {
    if (!files.exists(numberedLogName(0))) {
        return MergeResult::MissingFirstLog;
    }
    std::unique_ptr<OutputFile> merged = files.createOrReplace(std::string(kMergedLogName));
    {
        BackgroundWriter writer(*merged);
        std::uint64_t number = 0;
        std::uint64_t offset = 0;  // in the merged log
        bool previousMarked = false;
        for (std::uint64_t n = 0;; ++n) {
            const std::string name = numberedLogName(n);
            if (n > 0 && !files.exists(name)) {
                break;
            }
            PieceCopier copier(files.map(name), writer);
            copier.run([&](std::string_view line) {
                ++number;
                if (kept != nullptr) {
                    const LineKinds kinds = classifyLine(line);
                    if ((kinds & kPassLines) != 0) {
                        kept->add(offset, number, line.size(), kinds, previousMarked);
                    }
                    previousMarked = (kinds & kMarkerLine) != 0;
                }
                offset += line.size() + 2;
            });
        }
        writer.finish();
    }
    merged->close();
    return MergeResult::Merged;
}

}  // namespace vorskal
