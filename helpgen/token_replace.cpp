#include "helpgen/token_replace.h"

#include "core/text_util.h"

#include <algorithm>
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

TokenFinder::TokenFinder(std::string_view token) : m_token(toLower(token)) {
    if (m_token.empty())
        return;
    m_lower = m_token[0];
    m_upper = upperChar(m_lower);
}

size_t TokenFinder::find(std::string_view text, size_t from) const {
    const size_t n = m_token.size();
    if (n == 0 || text.size() < n)
        return std::string_view::npos;
    const size_t last = text.size() - n;
    const size_t npos = std::string_view::npos;
    // Next candidates for each case of the first character, advanced separately so
    // that a rare case is not searched for again at every candidate of the other.
    size_t nextLower = findChar(text, m_lower, from);
    size_t nextUpper = m_upper != m_lower ? findChar(text, m_upper, from) : npos;
    for (;;) {
        const size_t hit = std::min(nextLower, nextUpper);
        if (hit == npos || hit > last)
            return npos;
        size_t i = 1;
        while (i < n && lowerChar(text[hit + i]) == m_token[i])
            ++i;
        if (i == n)
            return hit;
        if (hit == nextLower)
            nextLower = findChar(text, m_lower, hit + 1);
        else
            nextUpper = findChar(text, m_upper, hit + 1);
    }
}

size_t replaceToken(std::span<std::string> lines, std::string_view token,
                    std::string_view replacement) {
    if (token.empty() || token == replacement)
        return 0;
    const TokenFinder finder(token);
    const bool rescan = !containsNoCase(replacement, token);
    size_t count = 0;
    for (std::string& line : lines)
        count += replaceInLine(line, finder, replacement, rescan);
    return count;
}

} // namespace qw
