#include "logs/background_writer.h"

namespace vorskal {
namespace {
constexpr std::size_t kQueueLimit = 8;
constexpr std::uint64_t kReleaseBatch = 2 << 20;
constexpr std::size_t kFreeLimit = kQueueLimit + 2;  // more are never in use at once
}  // namespace

BackgroundWriter::BackgroundWriter(OutputFile& file)
    : file_(file),
      worker_([this](Piece& piece) { write(piece); }, kQueueLimit,
              WorkerThread<Piece>::AtStop::WorkThroughQueue) {}

WindowBuffer BackgroundWriter::takeBuffer(std::size_t capacity) {
    {
        std::lock_guard lock(freeMutex_);
        for (auto it = free_.begin(); it != free_.end(); ++it) {
            if (it->capacity >= capacity) {
                WindowBuffer buffer = std::move(*it);
                free_.erase(it);
                return buffer;
            }
        }
    }
    return WindowBuffer{std::make_unique_for_overwrite<char[]>(capacity), capacity};
}

void BackgroundWriter::submitBuffer(WindowBuffer buffer, std::size_t length) {
    Piece piece;
    piece.buffer = std::move(buffer);
    piece.length = length;
    submit(std::move(piece));
}

void BackgroundWriter::submitBytes(std::string bytes) {
    if (!bytes.empty()) {
        Piece piece;
        piece.bytes = std::move(bytes);
        submit(std::move(piece));
    }
}

void BackgroundWriter::submitResident(std::shared_ptr<const MappedFile> file, std::uint64_t offset,
                                      const char* bytes, std::size_t length) {
    Piece piece;
    piece.file = std::move(file);
    piece.resident = bytes;
    piece.offset = offset;
    piece.length = length;
    submit(std::move(piece));
}

void BackgroundWriter::submit(Piece piece) {
    if (!worker_.submit(std::move(piece))) {
        std::rethrow_exception(worker_.failure());
    }
}

void BackgroundWriter::finish() {
    if (const std::exception_ptr failure = worker_.finish()) {
        std::rethrow_exception(failure);
    }
}

void BackgroundWriter::releaseWritten() {
    if (written_.file != nullptr) {
        written_.file->release(written_.offset, static_cast<std::size_t>(written_.length));
    }
    written_ = {};
}

void BackgroundWriter::write(Piece& piece) {
    if (piece.file != nullptr) {
        file_.write(std::string_view(piece.resident, piece.length));
        if (written_.file != piece.file || written_.offset + written_.length != piece.offset) {
            releaseWritten();
            written_ = {piece.file, piece.offset, 0};
        }
        written_.length += piece.length;
        if (written_.length >= kReleaseBatch) {
            releaseWritten();
        }
        return;
    }
    if (piece.buffer.bytes == nullptr) {
        file_.write(piece.bytes);
        return;
    }
    if (piece.length > 0) {
        file_.write(std::string_view(piece.buffer.bytes.get(), piece.length));
    }
    std::lock_guard lock(freeMutex_);
    if (free_.size() < kFreeLimit) {
        free_.push_back(std::move(piece.buffer));
    }
}

}  // namespace vorskal
