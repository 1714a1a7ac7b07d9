#pragma once
// Text helpers of the tally. Bytes are characters: lengths and columns count
// bytes, and "without regard to letter case" folds the ASCII letters only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorskal {

inline constexpr std::size_t npos = std::string_view::npos;

inline char foldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Exact search; the empty needle is found at 0.
std::size_t findExact(std::string_view haystack, std::string_view needle);
inline bool containsExact(std::string_view haystack, std::string_view needle) {
    return findExact(haystack, needle) != npos;
}

// Search without regard to letter case.
std::size_t findFolded(std::string_view haystack, std::string_view needle);
inline bool containsFolded(std::string_view haystack, std::string_view needle) {
    return findFolded(haystack, needle) != npos;
}

// The text of `count` characters from 1-based column `column`: cut short, or
// empty, where the line ends before.
inline std::string_view columns(std::string_view line, std::size_t column, std::size_t count) {
    const std::size_t start = column - 1;
    if (start >= line.size()) {
        return {};
    }
    return line.substr(start, count);
}

// The first n characters (the whole text when it is shorter).
inline std::string_view firstChars(std::string_view text, std::size_t n) {
    return text.substr(0, n < text.size() ? n : text.size());
}

// The first n characters, padded with blanks on the right to exactly n.
std::string padded(std::string_view text, std::size_t n);

// The hash of the tables' keys (FNV-1a over the bytes, from `seed`).
inline std::size_t hashBytes(std::string_view bytes, std::uint64_t seed = 0) {
    std::uint64_t h = 1469598103934665603ull ^ seed;
    for (const char c : bytes) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
}

}  // namespace vorskal
