#pragma once
// Quick tests over one line that rule out the phrases a pass looks for:
// a line can only hold a phrase if it holds two of its characters at the
// phrase's distance. Most lines of a log are chatter, and for them these
// tests answer "no" after a few 16-byte steps.
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorskal {

// Whether some i has p[i] == first and p[i + distance] == second; with
// `fold`, bytes are compared with their 0x20 bit set (ASCII letters in any
// case then compare equal to their small form; `first` and `second` must
// be small letters).
inline bool mayHoldPair(const char* p, std::size_t n, char first, std::size_t distance, char second,
                        bool fold) {
    if (n <= distance) {
        return false;
    }
    const std::size_t last = n - distance;  // candidates are i < last
    std::size_t i = 0;
#if defined(__SSE2__)
    if (last >= 16) {
        const __m128i a = _mm_set1_epi8(first);
        const __m128i b = _mm_set1_epi8(second);
        const __m128i bit = _mm_set1_epi8(fold ? 0x20 : 0);
        const auto holds = [&](std::size_t at) {
            const __m128i x =
                _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)), bit);
            const __m128i y = _mm_or_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + distance)), bit);
            return _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(x, a), _mm_cmpeq_epi8(y, b))) !=
                   0;
        };
        for (; i + 16 <= last; i += 16) {
            if (holds(i)) {
                return true;
            }
        }
        // The last candidates in one more step that overlaps the one before.
        return i < last && holds(last - 16);
    }
#endif
    const char mask = fold ? 0x20 : 0;
    for (; i < last; ++i) {
        if (static_cast<char>(p[i] | mask) == first &&
            static_cast<char>(p[i + distance] | mask) == second) {
            return true;
        }
    }
    return false;
}

}  // namespace vorskal
