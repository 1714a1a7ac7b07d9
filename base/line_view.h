#pragma once
// A line held in memory as the rules that take lines apart read it: its
// size, where a phrase or a byte first occurs, a few bytes at a place. A
// line too long to hold answers the same questions through overloads of its
// own (logs/line_text.h: LongLine), so that each rule is written once, for
// both.
#include <cstddef>
#include <cstring>
#include <string_view>

#include "base/fixed_text.h"
#include "base/searcher.h"

namespace vorskal {

inline std::size_t textSize(std::string_view line) {
    return line.size();
}

inline std::size_t findPhrase(std::string_view line, const Searcher& needle, std::size_t from,
                              std::size_t to) {
    const std::size_t at = needle.find(line.substr(from, to - from));
    return at == std::string_view::npos ? at : from + at;
}

inline std::size_t findByte(std::string_view line, char byte, std::size_t from, std::size_t to) {
    const std::size_t at = line.substr(from, to - from).find(byte);
    return at == std::string_view::npos ? at : from + at;
}

// Whether `phrase` stands in the line at `at`.
inline bool standsAt(std::string_view line, std::size_t at, std::string_view phrase) {
    return at <= line.size() && line.size() - at >= phrase.size() &&
           std::memcmp(line.data() + at, phrase.data(), phrase.size()) == 0;
}

// Up to N bytes from `at` (fewer at the line's end).
template <std::size_t N>
ShortText<N> bytesAt(std::string_view line, std::size_t at, std::size_t count = N) {
    ShortText<N> text;
    text.store(at < line.size() ? line.substr(at, count < N ? count : N) : std::string_view{});
    return text;
}

}  // namespace vorskal
