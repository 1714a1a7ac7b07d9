#include "logs/background_writer.h"

namespace vorskal {
namespace {
constexpr std::size_t kQueueLimit = 8;
}

BackgroundWriter::BackgroundWriter(OutputFile& file)
    : file_(file),
      worker_([this](Piece& piece) { write(piece); }, kQueueLimit,
              WorkerThread<Piece>::AtStop::WorkThroughQueue) {}

void BackgroundWriter::submitRange(std::shared_ptr<const MappedFile> source, std::uint64_t offset,
                                   std::uint64_t length) {
    if (length > 0) {
        submit(Piece{std::move(source), offset, length, {}});
    }
}

void BackgroundWriter::submitBytes(std::string bytes) {
    if (!bytes.empty()) {
        submit(Piece{nullptr, 0, 0, std::move(bytes)});
    }
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

void BackgroundWriter::write(Piece& piece) {
    if (piece.source != nullptr) {
        file_.copyFrom(*piece.source, piece.offset, piece.length);
    } else {
        file_.write(piece.bytes);
    }
}

}  // namespace vorskal
