#include "base/line_reader.h"

#include <cstring>

#include "base/line_end.h"

namespace vorskal {

LineReader::LineReader(std::unique_ptr<InputFile> file, std::size_t chunkSize)
    : file_(std::move(file)), buffer_(chunkSize), chunk_(chunkSize) {}

bool LineReader::fill() {
    if (eof_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buffer_.size() - end_ < chunk_ / 2) {
        buffer_.resize(buffer_.size() * 2);
    }
    const std::size_t got = file_->read(buffer_.data() + end_, buffer_.size() - end_);
    if (got == 0) {
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineReader::next(std::string_view& line) {
    std::size_t scanned = 0;  // bytes after begin_ known to hold no line end
    for (;;) {
        if (skipLineFeed_ && begin_ < end_) {
            if (buffer_[begin_] == '\n') {
                ++begin_;
            }
            skipLineFeed_ = false;
        }
        const char* start = buffer_.data() + begin_;
        const std::size_t available = end_ - begin_;
        const std::size_t at = scanned + findLineEnd(start + scanned, available - scanned);
        if (at < available) {
            line = std::string_view(start, at);
            begin_ += at + 1;
            skipLineFeed_ = start[at] == '\r';
            return true;
        }
        scanned = available;
        if (skipLineFeed_ && available == 0) {
            // A CR ended the buffer: its LF, if any, is in the next read.
            if (!fill()) {
                return false;
            }
            continue;
        }
        if (!fill()) {
            if (end_ > begin_) {
                line = std::string_view(buffer_.data() + begin_, end_ - begin_);
                begin_ = end_;
                return true;
            }
            return false;
        }
    }
}

}  // namespace vorskal
