#include "core/cell_text.h"

#include "core/text_util.h"

#include <array>
#include <cstdint>

namespace qw {

namespace {

/// Code points of the bytes 0x80 to 0x9F; the unassigned ones keep their own number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

/// Reads one code point at pos and advances; false on malformed input.
bool nextCodePoint(std::string_view text, size_t& pos, char32_t& cp) {
    const auto byte = [&](size_t i) { return uint8_t(text[i]); };
    const uint8_t lead = byte(pos);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        cp = lead;
        ++pos;
        return true;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, cp = lead & 0x07;
    } else {
        return false;
    }
    if (pos + length > text.size())
        return false;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    pos += length;
    return true;
}

} // namespace

bool isValidUtf8(std::string_view text) {
    size_t pos = 0;
    char32_t cp = 0;
    while (pos < text.size()) {
        if (!nextCodePoint(text, pos, cp))
            return false;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const auto b = uint8_t(c);
        if (b >= 0x80 && b <= 0x9F)
            appendUtf8(out, kHighControls[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

bool utf8ToWindows1252(std::string_view utf8, std::string& out) {
    std::string result;
    result.reserve(utf8.size());
    size_t pos = 0;
    char32_t cp = 0;
    while (pos < utf8.size()) {
        if (!nextCodePoint(utf8, pos, cp))
            return false;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            result += char(cp);
            continue;
        }
        size_t i = 0;
        while (i < kHighControls.size() && kHighControls[i] != cp)
            ++i;
        if (i == kHighControls.size())
            return false;
        result += char(0x80 + i);
    }
    out = std::move(result);
    return true;
}

} // namespace qw
