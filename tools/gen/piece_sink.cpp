#include "gen/piece_sink.h"

#include <stdexcept>

namespace vorskal::gen {

std::string pieceName(int number) {
    return "ux7server" + std::to_string(number) + ".log";
}

DirectorySink::DirectorySink(std::filesystem::path directory) : directory_(std::move(directory)) {}

DirectorySink::~DirectorySink() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void DirectorySink::beginPiece(int number) {
    current_ = directory_ / pieceName(number);
    file_ = std::fopen(current_.string().c_str(), "wb");
    if (file_ == nullptr) {
        throw std::runtime_error("cannot create " + current_.string());
    }
}

void DirectorySink::write(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        throw std::runtime_error("cannot write " + current_.string());
    }
}

void DirectorySink::endPiece() {
    const int failed = std::fclose(file_);
    file_ = nullptr;
    if (failed != 0) {
        throw std::runtime_error("cannot write " + current_.string());
    }
}

void MemorySink::beginPiece(int number) {
    pieces_.resize(static_cast<std::size_t>(number) + 1);
}

void MemorySink::write(std::string_view bytes) {
    pieces_.back() += bytes;
}

std::string MemorySink::joined() const {
    std::string all;
    for (const std::string& piece : pieces_) {
        all += piece;
    }
    return all;
}

}  // namespace vorskal::gen
