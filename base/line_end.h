#pragma once
// Finding the end of a line: the first CR or LF in a block of bytes.
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorskal {

// Index of the first '\r' or '\n' in p[0, n), or n when there is none.
inline std::size_t findLineEnd(const char* p, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
        if (mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
    }
#endif
    for (; i < n; ++i) {
        if (p[i] == '\r' || p[i] == '\n') {
            return i;
        }
    }
    return n;
}

}  // namespace vorskal
