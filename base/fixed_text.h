#pragma once
// A fixed-length text field of N characters, and the widths the tally uses.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace vorskal {

// The name fields: the first 11 characters of a name pick a pilot, 16 are kept.
inline constexpr std::size_t kNamePrefixWidth = 11;
inline constexpr std::size_t kNameWidth = 16;
// The width of a log line shown in the report.
inline constexpr std::size_t kLineFieldWidth = 128;

// Storing cuts after N characters or pads with blanks; reading gives all N
// characters. A field never stored holds N NUL characters, so it equals no
// text read from a log.
template <std::size_t N>
struct FixedText {
    std::array<char, N> chars{};

    void store(std::string_view text) {
        const std::size_t n = text.copy(chars.data(), N);
        std::fill(chars.begin() + static_cast<std::ptrdiff_t>(n), chars.end(), ' ');
    }
    std::string_view view() const { return {chars.data(), N}; }
};

// A text of at most N characters, kept with its length: a piece taken from a
// log line (a name, a location key) that need not stay beside the line.
template <std::size_t N>
struct ShortText {
    std::array<char, N> chars{};
    std::size_t length = 0;

    // Keeps the first N characters of `text`.
    void store(std::string_view text) { length = text.copy(chars.data(), N); }
    std::string_view view() const { return {chars.data(), length}; }
};

}  // namespace vorskal
