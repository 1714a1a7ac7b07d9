#include "logs/line_text.h"

#include <cstring>

#include "base/failure.h"
#include "logs/log_names.h"

namespace vorskal {
namespace {

// Bytes searched at once in a long line, and room for the longest needle.
constexpr std::size_t kChunk = 64 << 10;
constexpr std::size_t kLongestNeedle = 256;

}  // namespace

std::string nameOfLogFile(std::uint32_t file) {
    return file == kMergedLogFile ? std::string(kMergedLogName) : numberedLogName(file);
}

LongLine::LongLine(const MappedFile& file, std::string_view name, std::uint64_t offset,
                   std::uint64_t length)
    : file_(file), name_(name), offset_(offset), length_(length) {}

void LongLine::read(std::size_t at, std::size_t count, char* out) const {
    if (file_.readAt(offset_ + at, out, count) != count) {
        throw TallyFailure(std::string(name_) + ": the file ended while it was read");
    }
}

std::size_t LongLine::find(const Searcher& needle, std::size_t from, std::size_t to) const {
    const std::size_t m = needle.size();
    if (m == 0 || m > kLongestNeedle) {
        throw TallyFailure("a phrase of " + std::to_string(m) + " bytes cannot be searched for");
    }
    if (to > size()) {
        to = size();
    }
    if (chunk_ == nullptr) {
        chunk_ = std::make_unique_for_overwrite<char[]>(kChunk + kLongestNeedle);
    }
    // Each piece overlaps the next by the needle's length less one, so that
    // an occurrence across two pieces is whole in the first.
    for (std::size_t at = from; at + m <= to; at += kChunk) {
        const std::size_t count = to - at < kChunk + m - 1 ? to - at : kChunk + m - 1;
        read(at, count, chunk_.get());
        const std::size_t found = needle.find(std::string_view(chunk_.get(), count));
        if (found != std::string_view::npos) {
            return at + found;
        }
    }
    return std::string_view::npos;
}

std::size_t LongLine::findByte(char byte, std::size_t from, std::size_t to) const {
    if (to > size()) {
        to = size();
    }
    if (chunk_ == nullptr) {
        chunk_ = std::make_unique_for_overwrite<char[]>(kChunk + kLongestNeedle);
    }
    for (std::size_t at = from; at < to; at += kChunk) {
        const std::size_t count = to - at < kChunk ? to - at : kChunk;
        read(at, count, chunk_.get());
        const std::size_t found = std::string_view(chunk_.get(), count).find(byte);
        if (found != std::string_view::npos) {
            return at + found;
        }
    }
    return std::string_view::npos;
}

bool standsAt(const LongLine& line, std::size_t at, std::string_view phrase) {
    char bytes[kLongestNeedle];
    return phrase.size() <= sizeof bytes && line.copy(at, phrase.size(), bytes) == phrase.size() &&
           std::string_view(bytes, phrase.size()) == phrase;
}

std::size_t LongLine::copy(std::size_t at, std::size_t count, char* out) const {
    if (at >= size()) {
        return 0;
    }
    const std::size_t n = size() - at < count ? size() - at : count;
    read(at, n, out);
    return n;
}

}  // namespace vorskal
