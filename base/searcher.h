#pragma once
// A fixed needle searched in many texts, exactly or without regard to
// (ASCII) letter case. Candidates are found 16 bytes at a time by two of
// the needle's characters at their distance, then checked in full; the
// passes look for the same few phrases in every line of the log.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorskal {

class Searcher {
  public:
    Searcher(std::string_view needle, bool foldCase);

    // Position of the first occurrence, or std::string_view::npos.
    std::size_t find(std::string_view haystack) const;
    std::size_t size() const { return needle_.size(); }
    // Splits at the first occurrence into the text before and after it;
    // false when the needle does not occur.
    bool split(std::string_view text, std::string_view& before, std::string_view& after) const {
        const std::size_t at = find(text);
        if (at == npos_) {
            return false;
        }
        before = text.substr(0, at);
        after = text.substr(at + needle_.size());
        return true;
    }

  private:
    bool matchesAt(const char* at) const;

    static constexpr std::size_t npos_ = std::string_view::npos;
    std::string needle_;  // folded to small letters when fold_ is set
    bool fold_;
    std::size_t first_ = 0;  // positions of the two characters that find candidates
    std::size_t second_ = 0;
};

}  // namespace vorskal
