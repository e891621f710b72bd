#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// ASCII-only case mapping: bytes above 127 pass unchanged, so texts in any
/// single-byte code page or in UTF-8 survive a round trip.
std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);
/// Appends text with ASCII capitals made small, as toLower does, without a copy between.
void appendLowered(std::string& out, std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
/// Position of the first occurrence of needle in haystack ignoring ASCII case, or npos.
size_t findNoCase(std::string_view haystack, std::string_view needle, size_t from = 0);
bool containsNoCase(std::string_view haystack, std::string_view needle);
/// Inline: it runs for several cells of every row, mostly with a constant prefix.
inline bool startsWith(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix);
}
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

/// Removes blanks and control characters (code 32 and below) from both ends.
std::string trim(std::string_view text);
/// trim, as a view into text.
std::string_view trimView(std::string_view text);

/// Splits a cell at commas, trims each item and drops empty ones ("a, ,b" gives a, b).
std::vector<std::string> splitItems(std::string_view cell);
/// The items of splitItems one by one, as views of the cell: the next item from at on
/// (at moves past it), or empty when none is left.
std::string_view nextItem(std::string_view cell, size_t& at);
std::string join(const std::vector<std::string>& items, std::string_view separator);

/// Replaces every occurrence of token (ignoring case) by replacement in place.
/// Matching resumes after the inserted text, so a replacement that contains its
/// own token never loops. Returns the number of replacements made.
size_t replaceAllNoCase(std::string& text, std::string_view token, std::string_view replacement);

/// Parses a whole decimal integer with optional sign; false when text is anything else.
bool parseInt(std::string_view text, long long& value);
/// The integer in text, or fallback when text is not a decimal integer.
int toIntDef(std::string_view text, int fallback);

/// Appends the code point cp to out as UTF-8 (one to four bytes).
void appendUtf8(std::string& out, char32_t cp);

/// Reserves room for size bytes in text and, for a large text, has the system map all of
/// that memory at once instead of page by page as it is first written. Contents unchanged.
void reserveMapped(std::string& text, size_t size);

} // namespace qw
