#pragma once

#include <string>
#include <string_view>

namespace qw {

/// True when text is well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view text);

/// Decodes Windows-1252 bytes to UTF-8. The five unassigned bytes map to the control
/// characters of the same number, so every byte string survives a round trip.
std::string windows1252ToUtf8(std::string_view bytes);

/// Encodes UTF-8 text as Windows-1252; false (out untouched) when a character has no
/// Windows-1252 form or the text is not UTF-8.
bool utf8ToWindows1252(std::string_view utf8, std::string& out);

} // namespace qw
