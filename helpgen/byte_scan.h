#pragma once

#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qw {

/// Calls found(position) for every byte of text equal to a, b or c, first to last. One
/// pass over the text, sixteen bytes at a time where the processor allows: for a page
/// where these bytes are frequent (line ends, "=" of attributes) this costs far less
/// than a search from each hit to the next.
template <typename Found>
void forEachByteOf(std::string_view text, char a, char b, char c, Found found) {
    const char* data = text.data();
    const size_t size = text.size();
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
    for (; i + 16 <= size; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)),
                                         _mm_cmpeq_epi8(x, vc));
        for (unsigned mask = unsigned(_mm_movemask_epi8(hit)); mask != 0; mask &= mask - 1)
            found(i + size_t(std::countr_zero(mask)));
    }
#endif
    for (; i < size; ++i)
        if (data[i] == a || data[i] == b || data[i] == c)
            found(i);
}

} // namespace qw
