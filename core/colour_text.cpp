#include "core/colour_text.h"

#include "core/text_util.h"

#include <array>
#include <cstdio>
#include <span>

namespace qw {

namespace {

struct NamedColour {
    const char* name;
    uint32_t bgr;
};

constexpr std::array<NamedColour, 16> kBasicColours = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

/// System colour names, read as the usual desktop defaults; never written.
constexpr std::array<NamedColour, 9> kSystemColours = {{
    {"clWindow", 0xFFFFFF},
    {"clWindowText", 0x000000},
    {"clBtnFace", 0xF0F0F0},
    {"clBtnText", 0x000000},
    {"clInfoBk", 0xE1FFFF},
    {"clInfoText", 0x000000},
    {"clHighlight", 0xD77800},
    {"clHighlightText", 0xFFFFFF},
    {"clNone", 0xFFFFFF},
}};

Rgb fromBgr(uint32_t bgr) {
    return {uint8_t(bgr & 0xFF), uint8_t((bgr >> 8) & 0xFF), uint8_t((bgr >> 16) & 0xFF)};
}

uint32_t toBgr(Rgb c) {
    return uint32_t(c.blue) << 16 | uint32_t(c.green) << 8 | c.red;
}

} // namespace

std::optional<Rgb> parseColourText(std::string_view text) {
    const std::string t = trim(text);
    // "$" texts (what the table stores for most topics) are no names.
    for (const auto& named : t.starts_with('$') ? std::span<const NamedColour>()
                                                : std::span<const NamedColour>(kBasicColours)) {
        if (equalsNoCase(t, named.name))
            return fromBgr(named.bgr);
    }
    for (const auto& named : t.starts_with('$') ? std::span<const NamedColour>()
                                                : std::span<const NamedColour>(kSystemColours)) {
        if (equalsNoCase(t, named.name))
            return fromBgr(named.bgr);
    }
    if (t.size() < 2 || t.size() > 9 || t[0] != '$')
        return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 1; i < t.size(); ++i) {
        const char c = t[i];
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = uint32_t(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = uint32_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = uint32_t(c - 'A' + 10);
        else
            return std::nullopt;
        value = value << 4 | digit;
    }
    return fromBgr(value & 0xFFFFFF);
}

std::string colourText(Rgb colour) {
    const uint32_t bgr = toBgr(colour);
    for (const auto& named : kBasicColours) {
        if (named.bgr == bgr)
            return named.name;
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", unsigned(bgr));
    return buffer;
}

std::string htmlColourFromText(std::string_view text) {
    const Rgb c = parseColourText(text).value_or(Rgb{255, 255, 255});
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string html = "#";
    for (const uint8_t part : {c.red, c.green, c.blue}) {
        html += kHex[part >> 4];
        html += kHex[part & 15];
    }
    return html;
}

} // namespace qw
