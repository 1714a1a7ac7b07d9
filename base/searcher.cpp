#include "base/searcher.h"

#include <cstring>

#include "base/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorskal {
namespace {

// Characters that are rare in a log's text make good candidate finders;
// blanks and vowels the worst.
int commonness(char c) {
    switch (c) {
        case ' ':
            return 10;
        case 'e':
        case 'a':
        case 'o':
        case 'i':
        case 't':
        case 'n':
        case 's':
        case 'r':
            return 5;
        default:
            return (c >= 'a' && c <= 'z') ? 2 : 3;
    }
}

}  // namespace

Searcher::Searcher(std::string_view needle, bool foldCase) : needle_(needle), fold_(foldCase) {
    if (fold_) {
        for (char& c : needle_) {
            c = vorskal::foldCase(c);
        }
    }
    const std::size_t m = needle_.size();
    if (m < 2) {
        return;
    }
    // With letter case disregarded, only letters can be compared with their
    // 0x20 bit set; pick the rarest characters far apart.
    auto usable = [&](std::size_t i) { return !fold_ || (needle_[i] >= 'a' && needle_[i] <= 'z'); };
    int best = 1 << 30;
    for (std::size_t i = 0; i < m; ++i) {
        for (std::size_t k = i + 1; k < m; ++k) {
            if (!usable(i) || !usable(k)) {
                continue;
            }
            const int cost = commonness(needle_[i]) + commonness(needle_[k]) -
                             static_cast<int>((k - i) > 8 ? 2 : 0);
            if (cost < best) {
                best = cost;
                first_ = i;
                second_ = k;
            }
        }
    }
    if (best == 1 << 30) {
        first_ = 0;
        second_ = m - 1;
    }
}

bool Searcher::matchesAt(const char* at) const {
    const std::size_t m = needle_.size();
    std::size_t k = 0;
#if defined(__SSE2__)
    // 16 bytes at a time, the last step overlapping the one before; with
    // letter case disregarded, capital letters are made small first.
    if (m >= 16) {
        const __m128i beforeA = _mm_set1_epi8('A' - 1);
        const __m128i afterZ = _mm_set1_epi8('Z' + 1);
        const __m128i bit = _mm_set1_epi8(0x20);
        for (;; k += 16) {
            const std::size_t from = k + 16 <= m ? k : m - 16;
            __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + from));
            if (fold_) {
                const __m128i capital =
                    _mm_and_si128(_mm_cmpgt_epi8(x, beforeA), _mm_cmplt_epi8(x, afterZ));
                x = _mm_add_epi8(x, _mm_and_si128(capital, bit));
            }
            const __m128i y =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(needle_.data() + from));
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)) != 0xffff) {
                return false;
            }
            if (from + 16 == m) {
                return true;
            }
        }
    }
#endif
    for (; k < m; ++k) {
        if ((fold_ ? vorskal::foldCase(at[k]) : at[k]) != needle_[k]) {
            return false;
        }
    }
    return true;
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
    if (m == 1) {
        for (std::size_t i = 0; i < n; ++i) {
            if ((fold_ ? vorskal::foldCase(h[i]) : h[i]) == needle_[0]) {
                return i;
            }
        }
        return npos_;
    }
    const std::size_t last = n - m;  // candidates start at 0 .. last
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi8(needle_[first_]);
    const __m128i b = _mm_set1_epi8(needle_[second_]);
    const __m128i bit = _mm_set1_epi8(fold_ ? 0x20 : 0);
    // The candidates among the 16 that start at `at`, from `from` on.
    const auto candidates = [&](std::size_t at, std::size_t from) {
        const __m128i x =
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at + first_)), bit);
        const __m128i y =
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h + at + second_)), bit);
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, a), _mm_cmpeq_epi8(y, b))));
        return mask & ~((1u << (from - at)) - 1);
    };
    const auto firstMatch = [&](std::size_t at, unsigned mask) {
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t found = at + static_cast<std::size_t>(__builtin_ctz(mask));
            if (matchesAt(h + found)) {
                return found;
            }
        }
        return npos_;
    };
    if (last + 1 >= 16) {
        for (; i + 16 <= last + 1; i += 16) {
            if (const std::size_t found = firstMatch(i, candidates(i, i)); found != npos_) {
                return found;
            }
        }
        // The last candidates in one more step that overlaps the one before.
        const std::size_t at = last + 1 - 16;
        return i > last ? npos_ : firstMatch(at, candidates(at, i));
    }
#endif
    const auto folded = [&](char c) { return fold_ ? vorskal::foldCase(c) : c; };
    for (; i <= last; ++i) {
        if (folded(h[i + first_]) == needle_[first_] &&
            folded(h[i + second_]) == needle_[second_] && matchesAt(h + i)) {
            return i;
        }
    }
    return npos_;
}

}  // namespace vorskal
