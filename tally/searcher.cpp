#include "tally/searcher.h"

#include "tally/text.h"

namespace vorskal {

Searcher::Searcher(std::string_view needle, bool foldCase) : needle_(needle), fold_(foldCase) {
    if (fold_) {
        for (char& c : needle_) {
            c = vorskal::foldCase(c);
        }
    }
    const std::size_t m = needle_.size();
    const std::uint8_t full = static_cast<std::uint8_t>(m > 255 ? 255 : m);
    skip_.fill(full == 0 ? 1 : full);
    for (std::size_t k = 0; k + 1 < m; ++k) {
        const std::size_t distance = m - 1 - k;
        const auto step = static_cast<std::uint8_t>(distance > 255 ? 255 : distance);
        const auto c = static_cast<unsigned char>(needle_[k]);
        skip_[c] = step;
        if (fold_ && c >= 'a' && c <= 'z') {
            skip_[c - 'a' + 'A'] = step;
        }
    }
}

std::size_t Searcher::find(std::string_view haystack) const {
    const std::size_t m = needle_.size();
    const std::size_t n = haystack.size();
    if (m == 0) {
        return 0;
    }
    if (m > n) {
        return npos_;
    }
    const char* h = haystack.data();
    const char* pattern = needle_.data();
    const char last = pattern[m - 1];
    std::size_t i = 0;
    while (i + m <= n) {
        const char c = h[i + m - 1];
        const char folded = fold_ ? vorskal::foldCase(c) : c;
        if (folded == last) {
            std::size_t k = 0;
            if (fold_) {
                while (k + 1 < m && vorskal::foldCase(h[i + k]) == pattern[k]) {
                    ++k;
                }
            } else {
                while (k + 1 < m && h[i + k] == pattern[k]) {
                    ++k;
                }
            }
            if (k + 1 == m) {
                return i;
            }
        }
        i += skip_[static_cast<unsigned char>(c)];
    }
    return npos_;
}

}  // namespace vorskal
