#include "results/sha256.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && \
    !defined(VORSKAL_PORTABLE_SHA256)
#include <cpuid.h>
#include <immintrin.h>
#define VORSKAL_SHA_NI 1
#endif

namespace vorskal::results {
namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotr(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

void portableBlocks(std::uint32_t* state, const unsigned char* data, std::size_t count) {
    for (; count > 0; --count, data += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i) {
            w[i] = (std::uint32_t{data[4 * i]} << 24) | (std::uint32_t{data[4 * i + 1]} << 16) |
                   (std::uint32_t{data[4 * i + 2]} << 8) | std::uint32_t{data[4 * i + 3]};
        }
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (std::size_t i = 0; i < 64; ++i) {
            const std::uint32_t s1 = rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25);
            const std::uint32_t ch = (e & f) ^ (~e & g);
            const std::uint32_t t1 = h + s1 + ch + kRound[i] + w[i];
            const std::uint32_t s0 = rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22);
            const std::uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
            const std::uint32_t t2 = s0 + maj;
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef VORSKAL_SHA_NI
// The usual arrangement for the SHA extensions: the state as ABEF and CDGH,
// four rounds per pair of sha256rnds2, the message schedule with
// sha256msg1/msg2.
__attribute__((target("sha,sse4.1"))) void shaNiBlocks(std::uint32_t* state,
                                                       const unsigned char* data,
                                                       std::size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i tmp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i state1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    tmp = _mm_shuffle_epi32(tmp, 0xB1);                // CDAB
    state1 = _mm_shuffle_epi32(state1, 0x1B);          // EFGH
    __m128i state0 = _mm_alignr_epi8(tmp, state1, 8);  // ABEF
    state1 = _mm_blend_epi16(state1, tmp, 0xF0);       // CDGH

    for (; count > 0; --count, data += 64) {
        const __m128i abefSave = state0;
        const __m128i cdghSave = state1;
        __m128i msg[4];
#pragma GCC unroll 16
        for (int r = 0; r < 16; ++r) {
            if (r < 4) {
                msg[r] = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * r)), byteSwap);
            }
            const __m128i w = msg[r % 4];  // message words 4r .. 4r+3
            __m128i k = _mm_add_epi32(
                w, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound.data() + 4 * r)));
            state1 = _mm_sha256rnds2_epu32(state1, state0, k);
            if (r >= 3 && r <= 14) {
                // Words 4(r+1) ..: their slot holds msg1 of words 4(r-3) and 4(r-2).
                __m128i& next = msg[(r + 1) % 4];
                next = _mm_add_epi32(next, _mm_alignr_epi8(w, msg[(r + 3) % 4], 4));
                next = _mm_sha256msg2_epu32(next, w);
            }
            k = _mm_shuffle_epi32(k, 0x0E);
            state0 = _mm_sha256rnds2_epu32(state0, state1, k);
            if (r >= 1 && r <= 12) {
                msg[(r + 3) % 4] = _mm_sha256msg1_epu32(msg[(r + 3) % 4], w);
            }
        }
        state0 = _mm_add_epi32(state0, abefSave);
        state1 = _mm_add_epi32(state1, cdghSave);
    }

    tmp = _mm_shuffle_epi32(state0, 0x1B);        // FEBA
    state1 = _mm_shuffle_epi32(state1, 0xB1);     // DCHG
    state0 = _mm_blend_epi16(tmp, state1, 0xF0);  // DCBA
    state1 = _mm_alignr_epi8(state1, tmp, 8);     // ABEF -> HGFE
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), state1);
}

// Two streams at once, each as above: the rounds of one wait on their own
// results, so the other's fill the gaps.
__attribute__((target("sha,sse4.1"))) void shaNiBlocks2(std::uint32_t* stateA,
                                                        const unsigned char* dataA,
                                                        std::uint32_t* stateB,
                                                        const unsigned char* dataB,
                                                        std::size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i s0[2];
    __m128i s1[2];
    std::uint32_t* states[2] = {stateA, stateB};
    const unsigned char* data[2] = {dataA, dataB};
    for (int x = 0; x < 2; ++x) {
        __m128i tmp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(states[x]));
        s1[x] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(states[x] + 4));
        tmp = _mm_shuffle_epi32(tmp, 0xB1);
        s1[x] = _mm_shuffle_epi32(s1[x], 0x1B);
        s0[x] = _mm_alignr_epi8(tmp, s1[x], 8);
        s1[x] = _mm_blend_epi16(s1[x], tmp, 0xF0);
    }
    for (; count > 0; --count, data[0] += 64, data[1] += 64) {
        const __m128i save0[2] = {s0[0], s0[1]};
        const __m128i save1[2] = {s1[0], s1[1]};
        __m128i msg[2][4];
#pragma GCC unroll 16
        for (int r = 0; r < 16; ++r) {
            const __m128i kr =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound.data() + 4 * r));
#pragma GCC unroll 2
            for (int x = 0; x < 2; ++x) {
                if (r < 4) {
                    msg[x][r] = _mm_shuffle_epi8(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data[x] + 16 * r)),
                        byteSwap);
                }
                const __m128i w = msg[x][r % 4];
                __m128i k = _mm_add_epi32(w, kr);
                s1[x] = _mm_sha256rnds2_epu32(s1[x], s0[x], k);
                if (r >= 3 && r <= 14) {
                    __m128i& next = msg[x][(r + 1) % 4];
                    next = _mm_add_epi32(next, _mm_alignr_epi8(w, msg[x][(r + 3) % 4], 4));
                    next = _mm_sha256msg2_epu32(next, w);
                }
                k = _mm_shuffle_epi32(k, 0x0E);
                s0[x] = _mm_sha256rnds2_epu32(s0[x], s1[x], k);
                if (r >= 1 && r <= 12) {
                    msg[x][(r + 3) % 4] = _mm_sha256msg1_epu32(msg[x][(r + 3) % 4], w);
                }
            }
        }
        for (int x = 0; x < 2; ++x) {
            s0[x] = _mm_add_epi32(s0[x], save0[x]);
            s1[x] = _mm_add_epi32(s1[x], save1[x]);
        }
    }
    for (int x = 0; x < 2; ++x) {
        const __m128i tmp = _mm_shuffle_epi32(s0[x], 0x1B);
        s1[x] = _mm_shuffle_epi32(s1[x], 0xB1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(states[x]), _mm_blend_epi16(tmp, s1[x], 0xF0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(states[x] + 4), _mm_alignr_epi8(s1[x], tmp, 8));
    }
}

bool hasShaNi() {
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_SSE4_1) == 0 || (c & bit_SSSE3) == 0) {
            return false;
        }
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 && (b & bit_SHA) != 0;
    }();
    return has;
}
#endif

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::blocks(const unsigned char* data, std::size_t count) {
#ifdef VORSKAL_SHA_NI
    if (hasShaNi()) {
        shaNiBlocks(state_.data(), data, count);
        return;
    }
#endif
    portableBlocks(state_.data(), data, count);
}

void Sha256::updateBoth(Sha256& a, Sha256& b, std::string_view bytes) {
#ifdef VORSKAL_SHA_NI
    if (hasShaNi() && bytes.size() >= 256) {
        // Fill each one's partial block, then run whole blocks of both at once.
        const std::size_t ka = a.buffered_ > 0 ? 64 - a.buffered_ : 0;
        const std::size_t kb = b.buffered_ > 0 ? 64 - b.buffered_ : 0;
        a.update(bytes.substr(0, ka));
        b.update(bytes.substr(0, kb));
        const std::size_t blocks = (bytes.size() - (ka > kb ? ka : kb)) / 64;
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        shaNiBlocks2(a.state_.data(), data + ka, b.state_.data(), data + kb, blocks);
        a.length_ += blocks * 64;
        b.length_ += blocks * 64;
        a.update(bytes.substr(ka + blocks * 64));
        b.update(bytes.substr(kb + blocks * 64));
        return;
    }
#endif
    a.update(bytes);
    b.update(bytes);
}

void Sha256::update(std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = bytes.size();
    length_ += size;
    if (buffered_ > 0) {
        const std::size_t take = size < 64 - buffered_ ? size : 64 - buffered_;
        std::memcpy(buffer_.data() + buffered_, data, take);
        buffered_ += take;
        data += take;
        size -= take;
        if (buffered_ < 64) {
            return;
        }
        blocks(buffer_.data(), 1);
        buffered_ = 0;
    }
    blocks(data, size / 64);
    data += size / 64 * 64;
    size %= 64;
    std::memcpy(buffer_.data(), data, size);
    buffered_ = size;
}

std::string Sha256::hexDigest() {
    const std::uint64_t bits = length_ * 8;
    buffer_[buffered_++] = 0x80;
    if (buffered_ > 56) {
        std::memset(buffer_.data() + buffered_, 0, 64 - buffered_);
        blocks(buffer_.data(), 1);
        buffered_ = 0;
    }
    std::memset(buffer_.data() + buffered_, 0, 56 - buffered_);
    for (std::size_t i = 0; i < 8; ++i) {
        buffer_[56 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    }
    blocks(buffer_.data(), 1);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (const std::uint32_t word : state_) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            hex += kHex[(word >> shift) & 0xf];
        }
    }
    return hex;
}

}  // namespace vorskal::results
