#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

// Where the compiler can make code for a wider processor than the one built for, and pick
// it when the program starts, the block loops take thirty-two bytes at a time on a
// processor with AVX2.
#if defined(__SSE2__) && defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define QW_AVX2_BLOCKS 1
#endif

namespace qw {

/// How many bytes the block loops look at together: the widest the processor allows, or
/// fewer (to test that each width finds the same).
enum class BlockWidth { Widest, Sixteen, One };

/// Whether the processor runs the thirty-two-byte loops; asked once.
bool cpuHasAvx2();

namespace detail {

#if defined(QW_AVX2_BLOCKS)
/// forEachByteOf over the whole blocks of thirty-two bytes; returns where it stopped.
template <typename Found>
__attribute__((target("avx2"))) size_t forEachByteOfWide(const char* data, size_t size, char a,
                                                          char b, char c, Found& found) {
    const __m256i va = _mm256_set1_epi8(a), vb = _mm256_set1_epi8(b), vc = _mm256_set1_epi8(c);
    size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const __m256i hit = _mm256_or_si256(
            _mm256_or_si256(_mm256_cmpeq_epi8(x, va), _mm256_cmpeq_epi8(x, vb)),
            _mm256_cmpeq_epi8(x, vc));
        for (uint32_t mask = uint32_t(_mm256_movemask_epi8(hit)); mask != 0; mask &= mask - 1)
            found(i + size_t(std::countr_zero(mask)));
    }
    return i;
}
#endif

} // namespace detail

/// Calls found(position) for every byte of text equal to a, b or c, first to last. One
/// pass over the text, sixteen or thirty-two bytes at a time where the processor allows:
/// for a page where these bytes are frequent (line ends, "=" of attributes) this costs far
/// less than a search from each hit to the next.
template <typename Found>
void forEachByteOf(std::string_view text, char a, char b, char c, Found found,
                   BlockWidth width = BlockWidth::Widest) {
    const char* data = text.data();
    const size_t size = text.size();
    size_t i = 0;
#if defined(QW_AVX2_BLOCKS)
    if (width == BlockWidth::Widest && cpuHasAvx2())
        i = detail::forEachByteOfWide(data, size, a, b, c, found);
#endif
#if defined(__SSE2__)
    if (width != BlockWidth::One) {
        const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
        for (; i + 16 <= size; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const __m128i hit = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)), _mm_cmpeq_epi8(x, vc));
            for (unsigned mask = unsigned(_mm_movemask_epi8(hit)); mask != 0; mask &= mask - 1)
                found(i + size_t(std::countr_zero(mask)));
        }
    }
#endif
    for (; i < size; ++i)
        if (data[i] == a || data[i] == b || data[i] == c)
            found(i);
}

} // namespace qw
