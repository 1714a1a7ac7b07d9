#include "gen/log_writer.h"

namespace vorskal::gen {
namespace {
constexpr std::size_t kBufferBytes = 1 << 20;
}

LogWriter::LogWriter(PieceSink& sink, std::uint64_t plannedBytes, int pieces)
    : sink_(sink), plannedBytes_(plannedBytes), pieces_(pieces < 1 ? 1 : pieces) {
    buffer_.reserve(kBufferBytes + 4096);
    sink_.beginPiece(0);
}

void LogWriter::line(const GameClock& clock, std::string_view event) {
    const std::size_t before = buffer_.size();
    buffer_ += clock.stamp();
    buffer_ += event;
    buffer_ += "\r\n";
    bytes_ += buffer_.size() - before;
    ++lines_;
    // The piece ends after this line once the total reaches its share.
    while (piece_ + 1 < pieces_ && bytes_ >= plannedBytes_ / static_cast<std::uint64_t>(pieces_) *
                                                 static_cast<std::uint64_t>(piece_ + 1)) {
        flush();
        sink_.endPiece();
        sink_.beginPiece(++piece_);
    }
    if (buffer_.size() >= kBufferBytes) {
        flush();
    }
}

void LogWriter::flush() {
    if (!buffer_.empty()) {
        sink_.write(buffer_);
        buffer_.clear();
    }
}

void LogWriter::finish() {
    flush();
    sink_.endPiece();
    // Pieces that no line reached (a game smaller than planned) exist all the same.
    while (piece_ + 1 < pieces_) {
        sink_.beginPiece(++piece_);
        sink_.endPiece();
    }
}

}  // namespace vorskal::gen
