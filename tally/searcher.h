#pragma once
// A fixed needle searched in many texts: Boyer-Moore-Horspool, exact or
// without regard to (ASCII) letter case. The passes look for the same few
// phrases in every line of the log, so the skip table is made once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorskal {

class Searcher {
public:
    Searcher(std::string_view needle, bool foldCase);

    // Position of the first occurrence, or std::string_view::npos.
    std::size_t find(std::string_view haystack) const;
    bool foundIn(std::string_view haystack) const { return find(haystack) != npos_; }

private:
    static constexpr std::size_t npos_ = std::string_view::npos;
    std::string needle_;  // folded to small letters when fold_ is set
    std::array<std::uint8_t, 256> skip_{};
    bool fold_;
};

}  // namespace vorskal
