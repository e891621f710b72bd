#include "tools/keysender/key_notation.h"

#include <array>
#include <string>

namespace qw::keys {

namespace {

struct NamedKey {
    std::string_view name;
    std::uint8_t code;
};

// The names are those of the virtual keys; the codes are their virtual-key values, the
// neutral key identity that each platform back end maps to its own keys.
constexpr std::array<NamedKey, 72> kNamedKeys = {{
    {"LButton", 0x01},  {"RButton", 0x02}, {"Cancel", 0x03},    {"MButton", 0x04},
    {"Back", 0x08},     {"Tab", 0x09},     {"Clear", 0x0C},     {"Return", 0x0D},
    {"Shift", 0x10},    {"Control", 0x11}, {"Menu", 0x12},      {"Pause", 0x13},
    {"Capital", 0x14},  {"Escape", 0x1B},  {"Space", 0x20},     {"Prior", 0x21},
    {"Next", 0x22},     {"End", 0x23},     {"Home", 0x24},      {"Left", 0x25},
    {"Up", 0x26},       {"Right", 0x27},   {"Down", 0x28},      {"Select", 0x29},
    {"Print", 0x2A},    {"Execute", 0x2B}, {"SnapShot", 0x2C},  {"Insert", 0x2D},
    {"Delete", 0x2E},   {"Help", 0x2F},    {"NumPad0", 0x60},   {"NumPad1", 0x61},
    {"NumPad2", 0x62},  {"NumPad3", 0x63}, {"NumPad4", 0x64},   {"NumPad5", 0x65},
    {"NumPad6", 0x66},  {"NumPad7", 0x67}, {"NumPad8", 0x68},   {"NumPad9", 0x69},
    {"Multiply", 0x6A}, {"Add", 0x6B},     {"Separator", 0x6C}, {"Subtract", 0x6D},
    {"Decimal", 0x6E},  {"Divide", 0x6F},  {"F1", 0x70},        {"F2", 0x71},
    {"F3", 0x72},       {"F4", 0x73},      {"F5", 0x74},        {"F6", 0x75},
    {"F7", 0x76},       {"F8", 0x77},      {"F9", 0x78},        {"F10", 0x79},
    {"F11", 0x7A},      {"F12", 0x7B},     {"F13", 0x7C},       {"F14", 0x7D},
    {"F15", 0x7E},      {"F16", 0x7F},     {"F17", 0x80},       {"F18", 0x81},
    {"F19", 0x82},      {"F20", 0x83},     {"F21", 0x84},       {"F22", 0x85},
    {"F23", 0x86},      {"F24", 0x87},     {"NumLock", 0x90},   {"Scroll", 0x91},
}};

// Windows-1252 characters of the bytes 0x80 to 0x9F (0 where the code page has none).
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

char32_t byteAsCp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kCp1252High[byte - 0x80] != 0)
        return kCp1252High[byte - 0x80];
    return byte;
}

/// Decodes the character at `pos`, advancing `pos`; a byte that does not begin a valid
/// UTF-8 sequence is one Windows-1252 character.
char32_t decodeAt(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int length = lead < 0x80                   ? 1
                 : lead >= 0xC2 && lead < 0xE0 ? 2
                 : lead >= 0xE0 && lead < 0xF0 ? 3
                 : lead >= 0xF0 && lead < 0xF5 ? 4
                                               : 0;
    if (length == 1 || length == 0 || pos + size_t(length) > text.size()) {
        ++pos;
        return byteAsCp1252(lead);
    }
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + size_t(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return byteAsCp1252(lead);
        }
        value = (value << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) {
        ++pos;
        return byteAsCp1252(lead);
    }
    pos += size_t(length);
    return value;
}

constexpr std::string_view kPound = "\xC2\xA3";

/// The named key "£name$" at `pos`; advances `pos` past it.
std::optional<std::uint8_t> namedKeyAt(std::string_view text, size_t& pos) {
    if (text.substr(pos, kPound.size()) != kPound)
        return std::nullopt;
    const size_t end = text.find('$', pos + kPound.size());
    if (end == std::string_view::npos)
        return std::nullopt;
    const auto code = namedKeyCode(text.substr(pos + kPound.size(), end - pos - kPound.size()));
    if (code)
        pos = end + 1;
    return code;
}

/// The group "{...}" at `pos`; advances `pos` past it.
std::optional<KeyUnit> groupAt(std::string_view text, size_t& pos) {
    const size_t close = text.find('}', pos + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view body = text.substr(pos + 1, close - pos - 1);
    KeyUnit unit;
    unit.group = true;
    // Modifiers come first, each at most once, and never take the group's only character.
    while (body.size() > 1) {
        bool* flag = body.front() == '!'   ? &unit.shift
                     : body.front() == '&' ? &unit.alt
                     : body.front() == '^' ? &unit.control
                                           : nullptr;
        if (flag == nullptr || *flag)
            break;
        *flag = true;
        body.remove_prefix(1);
    }
    size_t inner = 0;
    if (const auto code = namedKeyAt(body, inner); code && inner == body.size()) {
        unit.kind = KeyUnit::Kind::Named;
        unit.virtualKey = *code;
    } else {
        inner = 0;
        if (body.empty())
            return std::nullopt;
        unit.character = decodeAt(body, inner);
        if (inner != body.size())
            return std::nullopt;
    }
    pos = close + 1;
    return unit;
}

KeyUnit namedUnit(std::uint8_t code) {
    KeyUnit unit;
    unit.kind = KeyUnit::Kind::Named;
    unit.virtualKey = code;
    return unit;
}

} // namespace

std::optional<std::uint8_t> namedKeyCode(std::string_view name) {
    name = trimBlanks(name);
    for (const NamedKey& key : kNamedKeys)
        if (equalsIgnoringCase(key.name, name))
            return key.code;
    return std::nullopt;
}

std::string_view namedKeyName(std::uint8_t virtualKey) {
    for (const NamedKey& key : kNamedKeys)
        if (key.code == virtualKey)
            return key.name;
    return {};
}

std::vector<std::string_view> namedKeyNames() {
    std::vector<std::string_view> names;
    for (const NamedKey& key : kNamedKeys)
        names.push_back(key.name);
    return names;
}

std::vector<KeyUnit> parseKeyText(std::string_view text) {
    std::vector<KeyUnit> units;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '{') {
            if (auto group = groupAt(text, pos)) {
                units.push_back(*group);
                continue;
            }
        }
        if (const auto code = namedKeyAt(text, pos)) {
            units.push_back(namedUnit(*code));
            continue;
        }
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
            ++pos;
            continue;
        }
        const char32_t c = decodeAt(text, pos);
        if (c == '\n' || c == '\r')
            units.push_back(namedUnit(kVkReturn));
        else if (c == '\t')
            units.push_back(namedUnit(kVkTab));
        else
            units.push_back(KeyUnit{KeyUnit::Kind::Character, c});
    }
    return units;
}

} // namespace qw::keys
