#include "base/report_stream.h"

#include "base/failure.h"

namespace vorskal {
namespace {
constexpr std::size_t kSpillSize = 1 << 16;
}

ReportStream::ReportStream(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}

ReportStream::~ReportStream() {
    if (file_ != nullptr) {
        try {
            close();
        } catch (const TallyFailure&) {
            // The run that owned the stream has already reported its failure.
        }
    }
}

void ReportStream::writeLine(std::string_view text) {
    buffer_.append(text);
    buffer_.append("\r\n");
    spill();
}

void ReportStream::writePiece(std::string_view piece) {
    buffer_.append(piece);
    spill();
}

void ReportStream::writeBlankLines(int count) {
    for (int i = 0; i < count; ++i) {
        buffer_.append("\r\n");
    }
    spill();
}

void ReportStream::spill() {
    if (buffer_.size() >= kSpillSize) {
        file_->write(buffer_);
        buffer_.clear();
    }
}

void ReportStream::close() {
    if (file_ == nullptr) {
        return;
    }
    std::unique_ptr<OutputFile> file = std::move(file_);
    std::string pending;
    pending.swap(buffer_);
    if (!pending.empty()) {
        file->write(pending);
    }
    file->flush();
    file->close();
}

}  // namespace vorskal
