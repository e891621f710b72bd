#include "helpgen/token_replace.h"

#include "core/text_util.h"

#include <algorithm>
#include <bit>
#include <cstring>


namespace qw {

namespace {

char lowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

char upperChar(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

/// The first position at or after from holding c, or npos.
size_t findChar(std::string_view text, char c, size_t from) {
    if (from >= text.size())
        return std::string_view::npos;
    const void* hit = std::memchr(text.data() + from, c, text.size() - from);
    return hit == nullptr ? std::string_view::npos
                          : size_t(static_cast<const char*>(hit) - text.data());
}

/// How often a character turns up in help pages, roughly (higher is more often): markup
/// and spaces most, then letters by their share of English text in either case, then
/// digits and other punctuation.
int pageFrequency(char c) {
    static constexpr int kLetters[26] = {82, 15, 28, 43, 127, 22, 20, 61, 70, 2, 8,  40, 24,
                                         67, 75, 19, 1,  60, 63,  91, 28, 10, 24, 2, 20, 1};
    if (c >= 'a' && c <= 'z')
        return kLetters[c - 'a'];
    if (c >= 'A' && c <= 'Z')
        return kLetters[c - 'A'];
    if (c >= '0' && c <= '9')
        return 20;
    switch (c) {
    case ' ':
        return 150;
    case '<':
    case '>':
        return 100;
    case '"':
    case '=':
    case '/':
        return 60;
    case '&':
    case ';':
    case '\t':
    case '\n':
    case '\r':
        return 30;
    case '\'':
    case '.':
    case ',':
        return 20;
    default:
        return 5;
    }
}

/// Replaces the occurrences in one line; returns the count.
size_t replaceInLine(std::string& line, const TokenFinder& finder, std::string_view replacement,
                     bool rescan) {
    const size_t tokenSize = finder.token().size();
    const size_t rescanLimit = line.size() + 16;
    size_t count = 0;
    size_t pos = finder.find(line);
    while (pos != std::string::npos) {
        line.replace(pos, tokenSize, replacement);
        ++count;
        if (rescan && count > rescanLimit)
            rescan = false; // cut a rewrite that keeps feeding itself short
        // Text before pos - tokenSize + 1 is unchanged and held no occurrence, so
        // searching from there equals searching the line again from its start.
        const size_t from =
            rescan ? (pos + 1 > tokenSize ? pos + 1 - tokenSize : 0) : pos + replacement.size();
        pos = finder.find(line, from);
    }
    return count;
}

} // namespace

TokenFinder::TokenFinder(std::string_view token) : m_token(toLower(token)), m_given(token) {
    if (m_token.empty())
        return;
    // The search runs from one candidate of the anchor character to the next: the
    // token's character that pages hold least often keeps the candidates few (the "<" of
    // "<pre>" stands in every line of a page, its "p" in few).
    for (size_t i = 1; i < m_token.size(); ++i)
        if (pageFrequency(m_token[i]) < pageFrequency(m_token[m_anchor]))
            m_anchor = i;
    m_lower = m_token[m_anchor];
    m_upper = upperChar(m_lower);
    // A second character, the next rarest, narrows the candidates of a search that looks
    // at sixteen places at once.
    m_second = m_anchor == 0 ? 1 : 0;
    for (size_t i = 0; i < m_token.size(); ++i)
        if (i != m_anchor && pageFrequency(m_token[i]) < pageFrequency(m_token[m_second]))
            m_second = i;
}

bool TokenFinder::matchesAt(std::string_view text, size_t at) const {
    for (size_t i = 0; i < m_token.size(); ++i)
        if (lowerChar(text[at + i]) != m_token[i])
            return false;
    return true;
}

size_t TokenFinder::find(std::string_view text, size_t from) const {
    return find(text, from, BlockWidth::Widest);
}

size_t TokenFinder::find(std::string_view text, size_t from, BlockWidth width) const {
    const size_t n = m_token.size();
    if (n == 0 || text.size() < n || from > text.size() - n)
        return std::string_view::npos;
    const size_t last = text.size() - n;
    const size_t npos = std::string_view::npos;
    // Next candidates for each case of the anchor character, advanced separately so
    // that a rare case is not searched for again at every candidate of the other. A
    // token starting at s has its anchor at s + m_anchor, so candidates come in the
    // order of their starts.
    size_t nextLower = findChar(text, m_lower, from + m_anchor);
    size_t nextUpper = m_upper != m_lower ? findChar(text, m_upper, from + m_anchor) : npos;
    // A text where the anchor is frequent is searched in blocks instead (see findInBlocks).
    size_t misses = 0;
    for (;;) {
        const size_t anchorAt = std::min(nextLower, nextUpper);
        if (anchorAt == npos || anchorAt - m_anchor > last)
            return npos;
        const size_t hit = anchorAt - m_anchor;
        if (matchesAt(text, hit))
            return hit;
        if (width != BlockWidth::One && ++misses == kMissesBeforeBlocks && n >= 2)
            return findInBlocks(text, hit + 1, width);
        if (anchorAt == nextLower)
            nextLower = findChar(text, m_lower, anchorAt + 1);
        else
            nextUpper = findChar(text, m_upper, anchorAt + 1);
    }
}

namespace {

#if defined(QW_AVX2_BLOCKS)
/// The thirty-two-byte loop of findInBlocks: the first start from from on whose anchor
/// and second character match (in either case) and for which matches(start) holds, or
/// npos with from left where the whole blocks end.
template <typename Matches>
__attribute__((target("avx2"))) size_t findPairWide(std::string_view text, size_t& from,
                                                     size_t anchor, size_t second, char anchorLow,
                                                     char secondLow, Matches matches) {
    const size_t reach = std::max(anchor, second) + 32;
    const __m256i al = _mm256_set1_epi8(anchorLow), au = _mm256_set1_epi8(upperChar(anchorLow));
    const __m256i sl = _mm256_set1_epi8(secondLow), su = _mm256_set1_epi8(upperChar(secondLow));
    const char* data = text.data();
    for (; from + reach <= text.size(); from += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + from + anchor));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + from + second));
        const __m256i both =
            _mm256_and_si256(_mm256_or_si256(_mm256_cmpeq_epi8(x, al), _mm256_cmpeq_epi8(x, au)),
                             _mm256_or_si256(_mm256_cmpeq_epi8(y, sl), _mm256_cmpeq_epi8(y, su)));
        for (uint32_t mask = uint32_t(_mm256_movemask_epi8(both)); mask != 0; mask &= mask - 1)
            if (const size_t hit = from + size_t(std::countr_zero(mask)); matches(hit))
                return hit;
    }
    return std::string_view::npos;
}
#endif

} // namespace

size_t TokenFinder::findInBlocks(std::string_view text, size_t from, BlockWidth width) const {
    const size_t last = text.size() - m_token.size();
    const auto matches = [&](size_t hit) { return hit <= last && matchesAt(text, hit); };
#if defined(QW_AVX2_BLOCKS)
    if (width == BlockWidth::Widest && cpuHasAvx2())
        if (const size_t hit = findPairWide(text, from, m_anchor, m_second, m_lower,
                                            m_token[m_second], matches);
            hit != std::string_view::npos)
            return hit;
#endif
#if defined(__SSE2__)
    // Sixteen candidate starts at a time: those holding the anchor and the second
    // character (in either case) where the token has them are compared whole.
    const size_t reach = std::max(m_anchor, m_second) + 16;
    const char second = m_token[m_second];
    const __m128i anchorLower = _mm_set1_epi8(m_lower), anchorUpper = _mm_set1_epi8(m_upper);
    const __m128i secondLower = _mm_set1_epi8(second), secondUpper = _mm_set1_epi8(upperChar(second));
    const char* data = text.data();
    for (; from + reach <= text.size(); from += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from + m_anchor));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from + m_second));
        const __m128i both = _mm_and_si128(
            _mm_or_si128(_mm_cmpeq_epi8(x, anchorLower), _mm_cmpeq_epi8(x, anchorUpper)),
            _mm_or_si128(_mm_cmpeq_epi8(y, secondLower), _mm_cmpeq_epi8(y, secondUpper)));
        for (unsigned mask = unsigned(_mm_movemask_epi8(both)); mask != 0; mask &= mask - 1)
            if (const size_t hit = from + size_t(std::countr_zero(mask)); matches(hit))
                return hit;
    }
#endif
    return find(text, from, BlockWidth::One);
}

size_t replaceToken(std::span<std::string> lines, std::string_view token,
                    std::string_view replacement) {
    if (token.empty() || token == replacement)
        return 0;
    return replaceToken(lines, TokenFinder(token), replacement);
}

size_t replaceToken(std::span<std::string> lines, const TokenFinder& finder,
                    std::string_view replacement) {
    const std::string& token = finder.given();
    if (token.empty() || token == replacement)
        return 0;
    const bool rescan = !containsNoCase(replacement, token);
    size_t count = 0;
    for (std::string& line : lines)
        count += replaceInLine(line, finder, replacement, rescan);
    return count;
}

} // namespace qw
