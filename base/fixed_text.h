#pragma once
// A fixed-length text field of N characters, and the widths the tally uses.
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
        const std::size_t n = text.size() < N ? text.size() : N;
        for (std::size_t i = 0; i < n; ++i) {
            chars[i] = text[i];
        }
        for (std::size_t i = n; i < N; ++i) {
            chars[i] = ' ';
        }
    }
    std::string_view view() const { return {chars.data(), N}; }
};

}  // namespace vorskal
