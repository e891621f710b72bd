#include "helpgen/code_page.h"

#include "core/text_util.h"
#include "helpgen/code_page_tables.h"

namespace qw {

namespace {

namespace tables = codepage_tables;

const char16_t* upperHalfOf(int number) {
    switch (number) {
    case 1250:
        return tables::k1250.data();
    case 1251:
        return tables::k1251.data();
    case 1252:
        return tables::k1252.data();
    case 1253:
        return tables::k1253.data();
    case 1254:
        return tables::k1254.data();
    case 1255:
        return tables::k1255.data();
    case 1256:
        return tables::k1256.data();
    case 1257:
        return tables::k1257.data();
    case 1258:
        return tables::k1258.data();
    case 874:
        return tables::k874.data();
    default:
        return nullptr;
    }
}

/// The code page of a language, by its primary language (the low ten bits) and, for the
/// languages written in more than one script, the whole identifier.
int codePageNumber(uint32_t id) {
    switch (id) {
    case 0x0C1A:
    case 0x1C1A:
    case 0x201A:
    case 0x082C:
    case 0x0843:
        return 1251; // Serbian, Bosnian, Azeri and Uzbek in Cyrillic
    case 0x042C:
    case 0x0443:
        return 1254; // Azeri and Uzbek in Latin
    case 0x0404:
    case 0x0C04:
    case 0x1404:
        return 950;
    case 0x0804:
    case 0x1004:
        return 936;
    default:
        break;
    }
    switch (id & 0x3FF) {
    case 0x05:
    case 0x0E:
    case 0x15:
    case 0x18:
    case 0x1A:
    case 0x1B:
    case 0x1C:
    case 0x24:
        return 1250;
    case 0x02:
    case 0x19:
    case 0x22:
    case 0x23:
    case 0x2F:
    case 0x3F:
    case 0x40:
    case 0x44:
    case 0x50:
        return 1251;
    case 0x08:
        return 1253;
    case 0x1F:
        return 1254;
    case 0x0D:
        return 1255;
    case 0x01:
    case 0x20:
    case 0x29:
        return 1256;
    case 0x25:
    case 0x26:
    case 0x27:
        return 1257;
    case 0x2A:
        return 1258;
    case 0x1E:
        return 874;
    case 0x11:
        return 932;
    case 0x12:
        return 949;
    case 0x04:
        return 936;
    default:
        return 1252;
    }
}

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

/// The length of the UTF-8 sequence at text[i], 0 when it is not well formed.
size_t utf8Length(std::string_view text, size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80                 ? 1
                    : c >= 0xC2 && c <= 0xDF ? 2
                    : c >= 0xE0 && c <= 0xEF ? 3
                    : c >= 0xF0 && c <= 0xF4 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if (!isContinuation(static_cast<unsigned char>(text[i + k])))
            return 0;
    const auto c1 = static_cast<unsigned char>(text[i + 1 < text.size() ? i + 1 : i]);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 >= 0x90))
        return 0; // overlong forms, surrogates, beyond U+10FFFF
    return length;
}

char32_t utf8CodePoint(std::string_view text, size_t i, size_t length) {
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t cp = static_cast<unsigned char>(text[i]) & kLeadMask[length];
    for (size_t k = 1; k < length; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return cp;
}

bool isAscii(std::string_view text) {
    unsigned char any = 0;
    for (char c : text)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

} // namespace

void EncodeReport::add(const EncodeReport& other) {
    referenced += other.referenced;
    replaced += other.replaced;
    if (firstReplaced.empty())
        firstReplaced = other.firstReplaced;
}

CodePage CodePage::forLanguage(uint32_t languageId) {
    return CodePage(codePageNumber(languageId));
}

CodePage::CodePage(int number) : m_number(number), m_upper(upperHalfOf(number)) {
    if (m_upper == nullptr)
        return;
    for (int b = 0; b < 128; ++b) {
        // An undefined byte carries the C1 control of its own number, as Windows does,
        // so that such bytes pass through unchanged.
        const char32_t cp = m_upper[b] != 0 ? m_upper[b] : char32_t(0x80 + b);
        m_bytes.emplace(cp, char(0x80 + b));
    }
}

std::string CodePage::charsetName() const {
    switch (m_number) {
    case 932:
        return "shift_jis";
    case 936:
        return "gb2312";
    case 949:
        return "ks_c_5601-1987";
    case 950:
        return "big5";
    default:
        return "windows-" + std::to_string(m_number);
    }
}

int CodePage::byteFor(char32_t codePoint) const {
    if (codePoint < 0x80)
        return int(codePoint);
    const auto it = m_bytes.find(codePoint);
    return it == m_bytes.end() ? -1 : static_cast<unsigned char>(it->second);
}

std::string CodePage::encode(std::string_view text, bool references, EncodeReport& report) const {
    if (isAscii(text))
        return std::string(text);
    static const CodePage windows1252(1252);
    const bool utf8 = isValidUtf8(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        size_t length = 1;
        if (utf8) {
            length = utf8Length(text, i);
            cp = utf8CodePoint(text, i, length);
        } else {
            const auto b = static_cast<unsigned char>(text[i]);
            cp = b < 0x80 || windows1252.m_upper[b - 0x80] == 0 ? b : windows1252.m_upper[b - 0x80];
        }
        i += length;
        if (const int byte = byteFor(cp); byte >= 0) {
            out += char(byte);
        } else if (references) {
            out += "&#" + std::to_string(uint32_t(cp)) + ";";
            ++report.referenced;
        } else {
            out += '?';
            if (report.replaced++ == 0)
                appendUtf8(report.firstReplaced, cp);
        }
    }
    return out;
}

std::string CodePage::decode(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80 || m_upper == nullptr)
            out += c;
        else
            appendUtf8(out, m_upper[b - 0x80] != 0 ? m_upper[b - 0x80] : char32_t(b));
    }
    return out;
}

uint32_t helpProjectLanguage(const Lines& helpProject, uint32_t fallback) {
    bool inOptions = false;
    for (const std::string& raw : helpProject) {
        const std::string line = trim(raw);
        if (startsWith(line, "["))
            inOptions = equalsNoCase(line, "[OPTIONS]");
        else if (inOptions && startsWithNoCase(line, "Language=")) {
            const std::string value = trim(line.substr(9));
            try {
                size_t used = 0;
                const unsigned long id = std::stoul(value, &used, 0);
                return used > 0 ? uint32_t(id) : fallback;
            } catch (const std::exception&) {
                return fallback;
            }
        }
    }
    return fallback;
}

} // namespace qw
