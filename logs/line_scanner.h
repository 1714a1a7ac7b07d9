#pragma once
// Splits a block of log bytes into lines and classifies each, in one sweep:
// every 64 bytes give three bit masks at once (line ends, places where "the
// arena" may begin, places where the selected-target marker may stand), so
// a line of chatter costs a few bit operations, and only a line with a
// candidate in it is searched in full. The kinds are exactly those of
// classifyLine.
//
// Line ends are CR LF, a lone CR or a lone LF. A scan stops before a line
// whose end it cannot see: one that runs past the block, or one that ends in
// CR at the block's last byte (an LF may follow in the next block). At the
// end of the input (`atEnd`) the last line ends there.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "logs/kept_lines.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vorskal {

// Bytes past the block's end that a scan may read (they must be readable;
// their values do not matter).
inline constexpr std::size_t kScanSlack = 64 + 16;

namespace scan_detail {

inline constexpr std::size_t kArenaA = kArenaPhrase.find('a');  // 'a' after 't'
inline constexpr std::size_t kArenaN = kArenaPhrase.find('n');
inline constexpr std::size_t kMarkerY = kSelectedMarker.find('y');
inline constexpr std::size_t kMarkerDistance = kSelectedMarker.find('v') - kMarkerY;
static_assert(kArenaPhrase[0] == 't');

struct BlockMasks {
    std::uint64_t ends = 0;    // CR or LF
    std::uint64_t arena = 0;   // 't' with 'a' and 'n' at their places in "the arena"
    std::uint64_t marker = 0;  // 'y' with 'v' at the marker's distance, any letter case
};

// Masks of the 64 bytes at p (p[0, 64 + kScanSlack - 64) readable).
inline BlockMasks blockMasks(const char* p) {
    BlockMasks m;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i t = _mm_set1_epi8('t');
    const __m128i a = _mm_set1_epi8('a');
    const __m128i n = _mm_set1_epi8('n');
    const __m128i y = _mm_set1_epi8('y');
    const __m128i v = _mm_set1_epi8('v');
    const __m128i fold = _mm_set1_epi8(0x20);
    auto load = [](const char* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    };
    auto bits = [](__m128i x) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x)));
    };
    for (int k = 0; k < 4; ++k) {
        const char* q = p + 16 * k;
        const __m128i x = load(q);
        m.ends |= bits(_mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf))) << (16 * k);
        const __m128i arena = _mm_and_si128(_mm_cmpeq_epi8(x, t),
                                            _mm_and_si128(_mm_cmpeq_epi8(load(q + kArenaA), a),
                                                          _mm_cmpeq_epi8(load(q + kArenaN), n)));
        m.arena |= bits(arena) << (16 * k);
        const __m128i marker =
            _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(x, fold), y),
                          _mm_cmpeq_epi8(_mm_or_si128(load(q + kMarkerDistance), fold), v));
        m.marker |= bits(marker) << (16 * k);
    }
#else
    for (std::size_t i = 0; i < 64; ++i) {
        const char c = p[i];
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (c == '\r' || c == '\n') {
            m.ends |= bit;
        }
        if (c == 't' && p[i + kArenaA] == 'a' && p[i + kArenaN] == 'n') {
            m.arena |= bit;
        }
        if ((c | 0x20) == 'y' && (p[i + kMarkerDistance] | 0x20) == 'v') {
            m.marker |= bit;
        }
    }
#endif
    return m;
}

// Not on Windows: GCC there cannot align the stack to the 32 bytes that
// spilled AVX registers need, and an unaligned spill crashes.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define VORSKAL_SCAN_AVX2 1
__attribute__((target("avx2"))) inline __m256i load32(const char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}
__attribute__((target("avx2"))) inline std::uint64_t bits32(__m256i x) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(x)));
}

// The same masks 32 bytes at a time, for processors that have AVX2.
__attribute__((target("avx2"))) inline BlockMasks blockMasksAvx2(const char* p) {
    BlockMasks m;
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i t = _mm256_set1_epi8('t');
    const __m256i a = _mm256_set1_epi8('a');
    const __m256i n = _mm256_set1_epi8('n');
    const __m256i y = _mm256_set1_epi8('y');
    const __m256i v = _mm256_set1_epi8('v');
    const __m256i fold = _mm256_set1_epi8(0x20);
    for (int k = 0; k < 2; ++k) {
        const char* q = p + 32 * k;
        const __m256i x = load32(q);
        m.ends |= bits32(_mm256_or_si256(_mm256_cmpeq_epi8(x, cr), _mm256_cmpeq_epi8(x, lf)))
                  << (32 * k);
        const __m256i arena = _mm256_and_si256(
            _mm256_cmpeq_epi8(x, t), _mm256_and_si256(_mm256_cmpeq_epi8(load32(q + kArenaA), a),
                                                      _mm256_cmpeq_epi8(load32(q + kArenaN), n)));
        m.arena |= bits32(arena) << (32 * k);
        const __m256i marker = _mm256_and_si256(
            _mm256_cmpeq_epi8(_mm256_or_si256(x, fold), y),
            _mm256_cmpeq_epi8(_mm256_or_si256(load32(q + kMarkerDistance), fold), v));
        m.marker |= bits32(marker) << (32 * k);
    }
    return m;
}
#endif

template <BlockMasks (*Masks)(const char*), typename OnLine>
inline __attribute__((always_inline)) std::size_t scanWith(const char* p, std::size_t n, bool atEnd,
                                                           OnLine& onLine) {
    std::size_t begin = 0;
    bool arena = false;  // a candidate lies in the current line's bytes scanned so far
    bool marker = false;
    bool skipLf = false;  // the line before ended in CR at the last block's last byte
    auto finish = [&](std::size_t end, std::size_t next) {
        const std::string_view line(p + begin, end - begin);
        onLine(begin, end, next, classifyCandidate(line, arena, marker));
        begin = next;
        arena = false;
        marker = false;
    };
    for (std::size_t block = 0; block < n; block += 64) {
        BlockMasks m = Masks(p + block);
        if (n - block < 64) {
            const std::uint64_t inside = (std::uint64_t{1} << (n - block)) - 1;
            m.ends &= inside;
            m.arena &= inside;
            m.marker &= inside;
        }
        if (skipLf) {
            skipLf = false;
            if (p[block] == '\n' && begin == block + 1) {
                m.ends &= ~std::uint64_t{1};
            }
        }
        while (m.ends != 0) {
            const auto bit = static_cast<unsigned>(__builtin_ctzll(m.ends));
            const std::size_t end = block + bit;
            const std::uint64_t upTo =
                bit == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (bit + 1)) - 1;
            arena = arena || (m.arena & upTo) != 0;
            marker = marker || (m.marker & upTo) != 0;
            m.arena &= ~upTo;
            m.marker &= ~upTo;
            m.ends &= ~upTo;
            std::size_t next = end + 1;
            if (p[end] == '\r') {
                if (end + 1 == n) {
                    if (!atEnd) {
                        return begin;  // an LF may follow in the next block
                    }
                } else if (p[end + 1] == '\n') {
                    next = end + 2;
                    if (bit == 63) {
                        skipLf = true;
                    } else {
                        m.ends &= ~(std::uint64_t{1} << (bit + 1));
                    }
                }
            }
            finish(end, next);
        }
        arena = arena || m.arena != 0;
        marker = marker || m.marker != 0;
    }
    if (atEnd && begin < n) {
        finish(n, n);
    }
    return begin;
}

#if defined(VORSKAL_SCAN_AVX2)
template <typename OnLine>
__attribute__((target("avx2"), flatten)) std::size_t scanAvx2(const char* p, std::size_t n,
                                                              bool atEnd, OnLine& onLine) {
    return scanWith<blockMasksAvx2>(p, n, atEnd, onLine);
}
#endif

}  // namespace scan_detail

// Calls onLine(begin, end, next, kinds) for every line of p[0, n) whose end
// it can see, in order: the line is p[begin, end), the following line
// begins at `next` (after its CR LF, CR or LF). Returns where the first line
// it did not hand over begins (n when it handed over all).
template <typename OnLine>
std::size_t scanLines(const char* p, std::size_t n, bool atEnd, OnLine&& onLine) {
#if defined(VORSKAL_SCAN_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        return scan_detail::scanAvx2(p, n, atEnd, onLine);
    }
#endif
    return scan_detail::scanWith<scan_detail::blockMasks>(p, n, atEnd, onLine);
}

}  // namespace vorskal
