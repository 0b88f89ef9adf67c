// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/provenance.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <system_error>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#include <immintrin.h>
#define TARNVEL_SHA_EXTENSIONS 1
#endif

namespace board_cli {

namespace {

constexpr std::array<std::uint32_t, 64> kRound{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

std::uint32_t Rotr(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

void Compress(std::array<std::uint32_t, 8>& h, const unsigned char* block) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = static_cast<std::uint32_t>(block[4 * i]) << 24 |
               static_cast<std::uint32_t>(block[4 * i + 1]) << 16 |
               static_cast<std::uint32_t>(block[4 * i + 2]) << 8 |
               static_cast<std::uint32_t>(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = k + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) +
                                 kRound[static_cast<std::size_t>(i)] + w[i];
        const std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::uint32_t out[8] = {a, b, c, d, e, f, g, k};
    for (std::size_t i = 0; i < 8; ++i)
        h[i] += out[i];
}

#if defined(TARNVEL_SHA_EXTENSIONS)
// The processor's SHA extensions (Intel since Goldmont and Ice Lake, AMD since Zen), which do the same
// rounds some five times faster: the state is kept as the instructions want it, ABEF and CDGH.
__attribute__((target("sha,sse4.1,ssse3"))) void
CompressBlocksSha(std::array<std::uint32_t, 8>& h, const unsigned char* data, std::size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&h[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&h[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i w[4]; // the message schedule's last sixteen words, four to a vector
        for (std::size_t group = 0; group < 16; ++group) {
            __m128i& now = w[group % 4];
            if (group < 4) {
                now = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)),
                                       byteSwap);
            } else {
                const __m128i& last = w[(group + 3) % 4];
                const __m128i& beforeLast = w[(group + 2) % 4];
                now = _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(now, w[(group + 1) % 4]),
                                                         _mm_alignr_epi8(last, beforeLast, 4)),
                                           last);
            }
            __m128i k =
                _mm_add_epi32(now, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRound[4 * group])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, k);
            k = _mm_shuffle_epi32(k, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, k);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&h[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&h[4]), hgfe);
}

bool HasShaExtensions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_SSE4_1) == 0 || (c & bit_SSSE3) == 0)
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 && (b & bit_SHA) != 0;
}
#endif

void CompressBlocks(std::array<std::uint32_t, 8>& h, const unsigned char* data, std::size_t blocks,
                    bool hardware) {
#if defined(TARNVEL_SHA_EXTENSIONS)
    static const bool available = HasShaExtensions();
    if (hardware && available)
        return CompressBlocksSha(h, data, blocks);
#else
    (void)hardware;
#endif
    for (std::size_t i = 0; i < blocks; ++i)
        Compress(h, data + 64 * i);
}

} // namespace

bool Sha256InHardware() {
#if defined(TARNVEL_SHA_EXTENSIONS)
    return HasShaExtensions();
#else
    return false;
#endif
}

std::string Sha256Hex(std::string_view bytes, bool hardware) {
    std::array<std::uint32_t, 8> h{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t whole = bytes.size() / 64 * 64;
    CompressBlocks(h, data, whole / 64, hardware);
    // The tail, a 1 bit, zeros, and the length in bits, in one or two blocks.
    unsigned char tail[128] = {};
    const std::size_t rest = bytes.size() - whole;
    if (rest > 0)
        std::memcpy(tail, data + whole, rest);
    tail[rest] = 0x80;
    const std::size_t blocks = rest + 9 > 64 ? 2 : 1;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8u;
    for (std::size_t i = 0; i < 8; ++i)
        tail[blocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    CompressBlocks(h, tail, blocks, hardware);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(64);
    for (std::uint32_t word : h)
        for (int shift = 28; shift >= 0; shift -= 4)
            out.push_back(kHex[(word >> shift) & 15]);
    return out;
}

std::string IsoTime(std::time_t time) {
    std::tm utc{};
#if defined(_WIN32)
    gmtime_s(&utc, &time);
#else
    gmtime_r(&time, &utc);
#endif
    char buffer[32];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(buffer, n);
}

std::optional<std::time_t> RunTime(const char* sourceDateEpoch) {
    if (sourceDateEpoch == nullptr || *sourceDateEpoch == '\0')
        return std::time(nullptr);
    long long seconds = 0;
    const char* end = sourceDateEpoch + std::strlen(sourceDateEpoch);
    const auto [ptr, ec] = std::from_chars(sourceDateEpoch, end, seconds);
    if (ec != std::errc() || ptr != end || seconds < 0)
        return std::nullopt;
    return static_cast<std::time_t>(seconds);
}

} // namespace board_cli
