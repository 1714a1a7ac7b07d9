#pragma once
// Finds, in a block of log bytes, the few lines that matter and counts the
// rest without looking at them one by one. Every 64 bytes give bit masks of
// the line ends and of the places where an event phrase may begin: "Kill
// of " or "Target " at column 19 of a line, "the arena" anywhere, the
// selected-target marker anywhere (in any letter case). A line without such a
// place costs nothing of its own: it is only counted, by the population count
// of the line ends.
//
// A line is handed over when it may be of a kind (classifyLine, logs/
// log_line.h, tells what it is: possibly nothing) or when it does not end in
// CR LF (a lone CR, a lone LF, or the end of the input), so that whoever
// copies the lines can mend its end.
//
// Line ends are CR LF, a lone CR or a lone LF. A scan stops before a line
// whose end it cannot see: one that runs past the block, or one that ends in
// CR at the block's last byte (an LF may follow in the next block). At the
// end of the input (`atEnd`) the last line ends there.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "logs/log_line.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vorskal {

// Bytes past the block's end that a scan may read (they must be readable;
// their values do not matter).
inline constexpr std::size_t kEventScanSlack = 64 + 16;

// What a scan did: the lines it counted (every line it saw the end of, handed
// over or not) and where the first line it did not see the end of begins.
struct EventScan {
    std::size_t done = 0;
    std::uint64_t lines = 0;
};

namespace event_scan_detail {

inline constexpr std::size_t kEventColumn = 18;  // 0-based column of "Kill of " and "Target "
inline constexpr std::size_t kArenaA = kArenaPhrase.find('a');
inline constexpr std::size_t kArenaN = kArenaPhrase.find('n');
inline constexpr std::size_t kMarkerY = kSelectedMarker.find('y');
inline constexpr std::size_t kMarkerDistance = kSelectedMarker.find('v') - kMarkerY;
static_assert(kArenaPhrase[0] == 't' && kKillOf.substr(0, 2) == "Ki" &&
              kTarget.substr(0, 2) == "Ta");

struct Masks {
    std::uint64_t cr = 0;
    std::uint64_t lf = 0;
    std::uint64_t event = 0;   // "Ki" or "Ta": a kill or destruction line if at column 19
    std::uint64_t arena = 0;   // "the arena" may begin here
    std::uint64_t marker = 0;  // the marker may begin here
};

inline Masks masksPlain(const char* p) {
    Masks m;
    for (std::size_t i = 0; i < 64; ++i) {
        const char c = p[i];
        const std::uint64_t bit = std::uint64_t{1} << i;
        m.cr |= c == '\r' ? bit : 0;
        m.lf |= c == '\n' ? bit : 0;
        if ((c == 'K' && p[i + 1] == 'i') || (c == 'T' && p[i + 1] == 'a')) {
            m.event |= bit;
        }
        if (c == 't' && p[i + kArenaA] == 'a' && p[i + kArenaN] == 'n') {
            m.arena |= bit;
        }
        if ((c | 0x20) == 'y' && (p[i + kMarkerDistance] | 0x20) == 'v') {
            m.marker |= bit;
        }
    }
    return m;
}

// Not on Windows: GCC there cannot align the stack to the 32 bytes that
// spilled AVX registers need, and an unaligned spill crashes.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define VORSKAL_EVENT_SCAN_AVX2 1
__attribute__((target("avx2"))) inline __m256i load32(const char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}
__attribute__((target("avx2"))) inline std::uint64_t bits32(__m256i x) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(x)));
}
__attribute__((target("avx2"))) inline __m256i equal32(__m256i x, char c) {
    return _mm256_cmpeq_epi8(x, _mm256_set1_epi8(c));
}

__attribute__((target("avx2"))) inline Masks masksAvx2(const char* p) {
    const __m256i fold = _mm256_set1_epi8(0x20);
    Masks m;
    for (int k = 0; k < 2; ++k) {
        const char* q = p + 32 * k;
        const int shift = 32 * k;
        const __m256i x = load32(q);
        const __m256i x1 = load32(q + 1);
        m.cr |= bits32(equal32(x, '\r')) << shift;
        m.lf |= bits32(equal32(x, '\n')) << shift;
        const __m256i event = _mm256_or_si256(_mm256_and_si256(equal32(x, 'K'), equal32(x1, 'i')),
                                              _mm256_and_si256(equal32(x, 'T'), equal32(x1, 'a')));
        m.event |= bits32(event) << shift;
        const __m256i arena = _mm256_and_si256(
            equal32(x, 't'),
            _mm256_and_si256(equal32(load32(q + kArenaA), 'a'), equal32(load32(q + kArenaN), 'n')));
        const __m256i marker =
            _mm256_and_si256(equal32(_mm256_or_si256(x, fold), 'y'),
                             equal32(_mm256_or_si256(load32(q + kMarkerDistance), fold), 'v'));
        m.arena |= bits32(arena) << shift;
        m.marker |= bits32(marker) << shift;
    }
    return m;
}

// The same masks 64 bytes at a time, for processors that have AVX-512BW.
__attribute__((target("avx512f,avx512bw"))) inline std::uint64_t equal64(const char* at, char c) {
    return _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(at), _mm512_set1_epi8(c));
}
__attribute__((target("avx512f,avx512bw"))) inline std::uint64_t foldedEqual64(const char* at,
                                                                               char c) {
    return _mm512_cmpeq_epi8_mask(_mm512_or_si512(_mm512_loadu_si512(at), _mm512_set1_epi8(0x20)),
                                  _mm512_set1_epi8(c));
}
__attribute__((target("avx512f,avx512bw"))) inline Masks masksAvx512(const char* p) {
    Masks m;
    m.cr = equal64(p, '\r');
    m.lf = equal64(p, '\n');
    m.event = (equal64(p, 'K') & equal64(p + 1, 'i')) | (equal64(p, 'T') & equal64(p + 1, 'a'));
    m.arena = equal64(p, 't') & equal64(p + kArenaA, 'a') & equal64(p + kArenaN, 'n');
    m.marker = foldedEqual64(p, 'y') & foldedEqual64(p + kMarkerDistance, 'v');
    return m;
}
#endif

inline std::uint64_t below(unsigned bit) {
    return (std::uint64_t{1} << bit) - 1;  // bit < 64
}

inline std::uint64_t upFrom(std::size_t bit) {
    return bit >= 64 ? 0 : ~below(static_cast<unsigned>(bit));
}

// Where a scan stands between blocks.
struct ScanPlace {
    std::uint64_t lines = 0;    // lines ended before the block
    std::size_t lineStart = 0;  // where the line open at the block's start begins
    std::size_t skipUntil = 0;  // bytes before this belong to lines handed over
};

// Hands over the lines of the block at `block` that hold a `wanted` byte.
// Returns false when a line's end lies past the input (the scan stops there:
// `place.lineStart` is that line's start and `place.lines` counts the lines
// before it).
template <Masks (*MasksOf)(const char*), typename OnLine>
__attribute__((noinline)) bool handOver(const char* p, std::size_t n, bool atEnd, std::size_t block,
                                        std::uint64_t ends, std::uint64_t wanted, ScanPlace& place,
                                        OnLine& onLine) {
    wanted &= upFrom(place.skipUntil > block ? place.skipUntil - block : 0);
    while (wanted != 0) {
        const auto bit = static_cast<unsigned>(__builtin_ctzll(wanted));
        const std::uint64_t before = ends & below(bit);
        const std::uint64_t index =
            place.lines + static_cast<std::uint64_t>(__builtin_popcountll(before));
        const std::size_t begin =
            before != 0 ? block + 64 - static_cast<std::size_t>(__builtin_clzll(before))
                        : place.lineStart;
        // The line's end: the first line end at or after the wanted byte.
        std::size_t last = n;  // the line end's last byte; n: the input's end ends the line
        const std::uint64_t after = ends & ~below(bit);
        if (after != 0) {
            last = block + static_cast<std::size_t>(__builtin_ctzll(after));
        } else {
            for (std::size_t at = block + 64; at < n; at += 64) {
                const Masks more = MasksOf(p + at);
                const std::uint64_t stop = (more.cr | more.lf) & ~upFrom(n - at);
                if (stop != 0) {
                    last = at + static_cast<std::size_t>(__builtin_ctzll(stop));
                    if (p[last] == '\r' && last + 1 < n && p[last + 1] == '\n') {
                        ++last;
                    }
                    break;
                }
            }
            // Unseen: no end before the input's end, or a CR at its last byte.
            if (!atEnd && (last == n || (last + 1 == n && p[last] == '\r'))) {
                place.lineStart = begin;
                place.lines = index;
                return false;
            }
        }
        std::size_t end = last;  // of the line's text
        std::size_t following = last + 1;
        if (last == n) {
            following = n;
        } else if (p[last] == '\n' && last > begin && p[last - 1] == '\r') {
            end = last - 1;
        }
        onLine(begin, end, following, index);
        place.skipUntil = following;
        wanted &= upFrom(following - block);
    }
    return true;
}

template <Masks (*MasksOf)(const char*), typename OnLine>
inline __attribute__((always_inline)) EventScan scanWith(const char* p, std::size_t n, bool atEnd,
                                                         OnLine& onLine) {
    ScanPlace place;
    std::uint64_t startCarry = 1;    // a line starts at the block's first byte
    std::uint64_t startsBefore = 0;  // line starts of the block before, for column 19
    std::uint64_t crCarry = 0;       // the block before ended in CR
    Masks m = n > 0 ? MasksOf(p) : Masks{};
    for (std::size_t block = 0; block < n; block += 64) {
        const std::size_t left = n - block;
        Masks next;
        std::uint64_t lfNext = 0;  // an LF right after the byte (the next block's first included)
        if (left > 64) [[likely]] {
            next = MasksOf(p + block + 64);
            lfNext = (m.lf >> 1) | (next.lf << 63);
        } else {
            const std::uint64_t inside = ~upFrom(left);
            m.cr &= inside;
            m.lf &= inside;
            m.event &= inside;
            m.arena &= inside;
            m.marker &= inside;
            lfNext = m.lf >> 1;
        }
        std::uint64_t ends = m.lf | (m.cr & ~lfNext);  // the last byte of each line end
        if (left <= 64 && !atEnd) {
            ends &= ~(m.cr & (std::uint64_t{1} << (left - 1)));  // an LF may follow
        }
        const std::uint64_t odd = (m.lf & ~((m.cr << 1) | crCarry)) | (m.cr & ~lfNext);
        const std::uint64_t starts = (ends << 1) | startCarry;
        // Column 19 of a line: 18 bytes after a line start, in this block or the one before.
        const std::uint64_t column =
            (starts << kEventColumn) | (startsBefore >> (64 - kEventColumn));
        const std::uint64_t wanted = (m.event & column) | m.arena | m.marker | odd;
        if (wanted != 0) [[unlikely]] {
            if (!handOver<MasksOf>(p, n, atEnd, block, ends, wanted, place, onLine)) {
                return EventScan{place.lineStart, place.lines};
            }
        }
        place.lines += static_cast<std::uint64_t>(__builtin_popcountll(ends));
        if (ends != 0) {
            place.lineStart = block + 64 - static_cast<std::size_t>(__builtin_clzll(ends));
        }
        startCarry = ends >> 63;
        startsBefore = starts;
        crCarry = m.cr >> 63;
        m = next;
    }
    if (atEnd && place.lineStart < n) {
        // The last line has no end: it ends with the input.
        if (place.skipUntil <= place.lineStart) {
            onLine(place.lineStart, n, n, place.lines);
        }
        ++place.lines;
        place.lineStart = n;
    }
    return EventScan{place.lineStart, place.lines};
}

#if defined(VORSKAL_EVENT_SCAN_AVX2)
template <typename OnLine>
__attribute__((target("avx2,popcnt"), flatten)) EventScan scanAvx2(const char* p, std::size_t n,
                                                                   bool atEnd, OnLine& onLine) {
    return scanWith<masksAvx2>(p, n, atEnd, onLine);
}
template <typename OnLine>
__attribute__((target("avx512f,avx512bw,popcnt"), flatten)) EventScan scanAvx512(const char* p,
                                                                                 std::size_t n,
                                                                                 bool atEnd,
                                                                                 OnLine& onLine) {
    return scanWith<masksAvx512>(p, n, atEnd, onLine);
}
#endif

}  // namespace event_scan_detail

// Calls onLine(begin, end, next, index) for the lines of p[0, n) that may
// be of a kind or do not end in CR LF, in order: the line is p[begin, end),
// the following line begins at `next`, and `index` lines of p come before it.
template <typename OnLine>
EventScan scanEventLines(const char* p, std::size_t n, bool atEnd, OnLine&& onLine) {
#if defined(VORSKAL_EVENT_SCAN_AVX2)
    static const bool avx512 = __builtin_cpu_supports("avx512f") &&
                               __builtin_cpu_supports("avx512bw") &&
                               __builtin_cpu_supports("popcnt");
    if (avx512) {
        return event_scan_detail::scanAvx512(p, n, atEnd, onLine);
    }
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    if (avx2) {
        return event_scan_detail::scanAvx2(p, n, atEnd, onLine);
    }
#endif
    return event_scan_detail::scanWith<event_scan_detail::masksPlain>(p, n, atEnd, onLine);
}

}  // namespace vorskal
