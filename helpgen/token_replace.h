#pragma once

#include "core/byte_scan.h"
#include "core/file_io.h"

#include <span>
#include <string>
#include <string_view>

namespace qw {

/// Finds a token in text without regard to ASCII case, quickly enough to run over
/// every line of every page of a large project.
class TokenFinder {
public:
    explicit TokenFinder(std::string_view token);
    /// Position of the first occurrence at or after from, or npos. Never matches an
    /// empty token.
    size_t find(std::string_view text, size_t from = 0) const;
    /// find, looking at blocks of bytes no wider than width (One: at no blocks).
    size_t find(std::string_view text, size_t from, BlockWidth width) const;
    /// The token in lower case, and as given.
    const std::string& token() const { return m_token; }
    const std::string& given() const { return m_given; }
    /// The character (in each case) that every occurrence holds and the search goes by:
    /// text holding neither holds no occurrence.
    char anchorLower() const { return m_lower; }
    char anchorUpper() const { return m_upper; }

private:
    std::string m_token;
    std::string m_given;
    /// After this many candidates of the anchor that were no occurrence, the search
    /// goes on in blocks.
    static constexpr size_t kMissesBeforeBlocks = 8;
    /// find from from on, sixteen or thirty-two candidate starts at a time, each checked
    /// by the anchor and a second character before it is compared whole: for text where
    /// the anchor alone stands too often.
    size_t findInBlocks(std::string_view text, size_t from, BlockWidth width) const;
    bool matchesAt(std::string_view text, size_t at) const;
    size_t m_anchor = 0; // the token's character that candidates are sought by
    size_t m_second = 0; // the next rarest, checked with it
    char m_lower = 0;
    char m_upper = 0;
};

/// Replaces the token (ignoring case) by the replacement in every line and returns the
/// number of replacements. After each replacement the line is searched again from where
/// the changed text could first form a new occurrence, so text that the replacement
/// joins with its surroundings is replaced as well. A replacement that contains its own
/// token would never finish that way; such a pair, and a line whose rescans exceed its
/// length, fall back to resuming after the inserted text. An empty token, or a
/// replacement equal to the token, changes nothing and counts 0.
size_t replaceToken(std::span<std::string> lines, std::string_view token,
                    std::string_view replacement);
/// replaceToken with the token's finder made already.
size_t replaceToken(std::span<std::string> lines, const TokenFinder& token,
                    std::string_view replacement);

} // namespace qw
