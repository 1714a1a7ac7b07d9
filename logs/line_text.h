#pragma once
// A log line's bytes as the rules that take lines apart read them. A line is
// in memory (a std::string_view), or too long to hold (a LongLine: where it
// lies in its file, read piece by piece whenever it is searched). Both answer
// the same few questions (its size, where a phrase or a byte first occurs, a
// few bytes at a place): a line in memory through base/line_view.h, a
// LongLine through the overloads below, so that each rule is written once,
// for both.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "base/line_view.h"
#include "base/platform.h"
#include "base/searcher.h"

namespace vorskal {

// Where a line lies, to read it again: the file, the offset of its first
// byte and its length without the line end.
struct LinePlace {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::uint32_t file = 0;  // numbered log n, or kMergedLogFile
};
inline constexpr std::uint32_t kMergedLogFile = 0xffffffff;

// The name of a LinePlace's file.
std::string nameOfLogFile(std::uint32_t file);

class LongLine {
  public:
    // The line of `length` bytes at `offset` of `file` (named `name` in messages).
    LongLine(const MappedFile& file, std::string_view name, std::uint64_t offset,
             std::uint64_t length);

    std::size_t size() const { return static_cast<std::size_t>(length_); }
    // Where the first occurrence of the needle that lies within [from, to)
    // begins; npos when there is none.
    std::size_t find(const Searcher& needle, std::size_t from, std::size_t to) const;
    std::size_t findByte(char byte, std::size_t from, std::size_t to) const;
    // Copies up to `count` bytes from `at` (fewer at the line's end) to `out`.
    std::size_t copy(std::size_t at, std::size_t count, char* out) const;

  private:
    // Reads exactly `count` bytes at `at` of the line; throws TallyFailure
    // naming the file when it has become shorter.
    void read(std::size_t at, std::size_t count, char* out) const;

    const MappedFile& file_;
    std::string_view name_;
    std::uint64_t offset_;
    std::uint64_t length_;
    mutable std::unique_ptr<char[]> chunk_;
};

inline std::size_t textSize(const LongLine& line) {
    return line.size();
}

inline std::size_t findPhrase(const LongLine& line, const Searcher& needle, std::size_t from,
                              std::size_t to) {
    return line.find(needle, from, to);
}

inline std::size_t findByte(const LongLine& line, char byte, std::size_t from, std::size_t to) {
    return line.findByte(byte, from, to);
}

// Whether `phrase` stands in the line at `at`.
bool standsAt(const LongLine& line, std::size_t at, std::string_view phrase);

// Up to N bytes from `at` (fewer at the line's end).
template <std::size_t N>
ShortText<N> bytesAt(const LongLine& line, std::size_t at, std::size_t count = N) {
    ShortText<N> text;
    text.length = line.copy(at, count < N ? count : N, text.chars.data());
    return text;
}

}  // namespace vorskal
