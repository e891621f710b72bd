// Reads the plain text of a generated topic page for the search index.
#include "core/cell_text.h"
#include "core/text_util.h"
#include "treegen/search_index.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace qw {

namespace {

constexpr size_t kCharsetScan = 16384;

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == ':' ||
           c == '.';
}

/// A decoded character reference as UTF-8; one that names no character gives U+FFFD.
void appendReference(std::string& out, uint32_t c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    appendUtf8(out, char32_t(c));
}

/// What a byte is to the plain text between tags: part of it, white space, or the start
/// of a tag or reference ("<", "&").
enum : uint8_t { kPlainByte, kSpaceByte, kMarkupByte };
constexpr std::array<uint8_t, 256> kByteKinds = [] {
    std::array<uint8_t, 256> kinds{};
    for (const char c : {' ', '\t', '\r', '\n', '\f'})
        kinds[static_cast<unsigned char>(c)] = kSpaceByte;
    kinds['<'] = kMarkupByte;
    kinds['&'] = kMarkupByte;
    return kinds;
}();

/// Appends text from pos on, one space for every run of white space (none at the start
/// of out or after a space), up to the end or, with StopAtMarkup, the next "<" or "&";
/// returns where it stopped. Runs of other bytes are copied whole.
template <bool StopAtMarkup>
size_t appendCollapsed(std::string& out, std::string_view text, size_t pos) {
    const size_t n = text.size();
    const auto kind = [&text](size_t at) {
        const uint8_t k = kByteKinds[static_cast<unsigned char>(text[at])];
        return !StopAtMarkup && k == kMarkupByte ? kPlainByte : k;
    };
    while (pos < n) {
        size_t end = pos;
        while (end < n && kind(end) == kPlainByte)
            ++end;
        out.append(text.data() + pos, end - pos);
        pos = end;
        if (pos == n || kind(pos) == kMarkupByte)
            break;
        while (pos < n && kind(pos) == kSpaceByte)
            ++pos;
        if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    return pos;
}

/// Appends text, one space for every run of white space.
void appendText(std::string& out, std::string_view text) {
    appendCollapsed<false>(out, text, 0);
}

/// Appends the plain text from pos up to the next "<" or "&" (or the end); returns where
/// it stopped.
size_t appendPlainText(std::string& out, std::string_view text, size_t pos) {
    return appendCollapsed<true>(out, text, pos);
}

/// True when every byte is ASCII; eight bytes at a time.
bool isAscii(std::string_view text) {
    uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        any |= word;
    }
    for (; i < text.size(); ++i)
        any |= static_cast<unsigned char>(text[i]);
    return (any & 0x8080808080808080ULL) == 0;
}

/// The position of the next "<" + tag name (any case) from pos, where the name ends there.
size_t findTag(std::string_view text, std::string_view name, size_t pos) {
    while (pos < text.size()) {
        const void* hit = std::memchr(text.data() + pos, '<', text.size() - pos);
        if (hit == nullptr)
            return std::string_view::npos;
        pos = size_t(static_cast<const char*>(hit) - text.data());
        if (pos + 1 + name.size() <= text.size() &&
            equalsNoCase(text.substr(pos + 1, name.size()), name))
            return pos;
        ++pos;
    }
    return std::string_view::npos;
}

std::string viaIcu(std::string_view bytes, const std::string& charset, bool& ok) {
    const icu::UnicodeString text(bytes.data(), int32_t(bytes.size()), charset.c_str());
    ok = !text.isBogus() && !(text.length() == 0 && !bytes.empty());
    std::string out;
    if (ok)
        text.toUTF8String(out);
    return out;
}

/// Windows-1252 as browsers read a page that names no character set, a line at a time
/// where a line is not UTF-8 (chapters written by older editors).
std::string utf8OrWindows1252(std::string_view bytes) {
    if (isAscii(bytes) || isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        const std::string_view line = bytes.substr(start, end - start);
        if (isValidUtf8(line)) {
            out += line;
        } else {
            bool ok = false;
            out += viaIcu(line, "windows-1252", ok);
            if (!ok)
                out += std::string(line.size(), '?');
        }
        start = end;
    }
    return out;
}

// Latin-1 entities from &nbsp; (160) to &yuml; (255), in code point order.
constexpr std::string_view kLatin1Entities[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedEntity {
    std::string_view name;
    uint32_t code;
};
constexpr NamedEntity kOtherEntities[] = {
    {"amp", 38},      {"lt", 60},       {"gt", 62},        {"quot", 34},     {"apos", 39},
    {"OElig", 338},   {"oelig", 339},   {"Scaron", 352},   {"scaron", 353},  {"Yuml", 376},
    {"fnof", 402},    {"circ", 710},    {"tilde", 732},    {"ensp", 8194},   {"emsp", 8195},
    {"thinsp", 8201}, {"ndash", 8211},  {"mdash", 8212},   {"lsquo", 8216},  {"rsquo", 8217},
    {"sbquo", 8218},  {"ldquo", 8220},  {"rdquo", 8221},   {"bdquo", 8222},  {"dagger", 8224},
    {"Dagger", 8225}, {"bull", 8226},   {"hellip", 8230},  {"permil", 8240}, {"lsaquo", 8249},
    {"rsaquo", 8250}, {"euro", 8364},   {"trade", 8482},   {"larr", 8592},   {"uarr", 8593},
    {"rarr", 8594},   {"darr", 8595},   {"harr", 8596},
};

/// The code point of an entity name; 0 when unknown.
uint32_t entityCode(std::string_view name) {
    for (const NamedEntity& e : kOtherEntities)
        if (name == e.name)
            return e.code;
    for (size_t i = 0; i < 96; ++i)
        if (name == kLatin1Entities[i])
            return uint32_t(160 + i);
    return 0;
}

/// Decodes the reference at text[pos] ("&..."): appends it and returns its length, or 0
/// when it is none.
size_t decodeReference(std::string_view text, size_t pos, std::string& out) {
    size_t i = pos + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex)
            ++i;
        uint32_t value = 0;
        const size_t digits = i;
        while (i < text.size() && i - digits < 8 &&
               (hex ? std::isxdigit(static_cast<unsigned char>(text[i]))
                    : std::isdigit(static_cast<unsigned char>(text[i])))) {
            const char c = char(std::tolower(static_cast<unsigned char>(text[i])));
            value = value * (hex ? 16 : 10) + uint32_t(c <= '9' ? c - '0' : c - 'a' + 10);
            ++i;
        }
        if (i == digits)
            return 0;
        if (i < text.size() && text[i] == ';')
            ++i;
        appendReference(out, value);
        return i - pos;
    }
    const size_t start = i;
    while (i < text.size() && i - start < 10 && std::isalnum(static_cast<unsigned char>(text[i])))
        ++i;
    const std::string_view name = text.substr(start, i - start);
    const uint32_t code = name.empty() ? 0 : entityCode(name);
    if (code == 0)
        return 0;
    const bool closed = i < text.size() && text[i] == ';';
    // Without the semicolon only the old entities that browsers still accept so.
    if (!closed && name != "amp" && name != "lt" && name != "gt" && name != "quot" &&
        name != "nbsp")
        return 0;
    appendReference(out, code == 160 ? ' ' : code);
    return i - pos + (closed ? 1 : 0);
}

/// Elements written inside a line of text; every other tag separates words.
bool isInlineTag(std::string_view name) {
    static constexpr std::string_view kInline[] = {
        "a",    "abbr", "b",     "big",   "cite",   "code", "em",  "font", "i",   "kbd",
        "mark", "q",    "s",     "small", "span",   "strike", "strong", "sub", "sup", "tt",
        "u",    "var",  "nobr",  "wbr",   "dfn",    "ins",  "del"};
    if (name.empty() || name.size() > 6)
        return false;
    const char first = char(std::tolower(static_cast<unsigned char>(name[0])));
    for (const std::string_view tag : kInline)
        if (tag[0] == first && equalsNoCase(name, tag))
            return true;
    return false;
}

/// The end of the tag at text[pos] ("<"): the position behind its ">", quotes respected.
size_t tagEnd(std::string_view text, size_t pos) {
    char quote = 0;
    for (size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            // A quote counts only in an attribute value, right after "=".
            size_t j = i;
            while (j > pos && (text[j - 1] == ' ' || text[j - 1] == '\t'))
                --j;
            if (j > pos && text[j - 1] == '=')
                quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return text.size();
}

} // namespace

std::string declaredCharset(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, std::min(bytes.size(), kCharsetScan));
    for (size_t at = findTag(head, "meta", 0); at != std::string::npos;
         at = findTag(head, "meta", at + 5)) {
        const size_t end = tagEnd(head, at);
        const std::string_view tag = head.substr(at, end - at);
        size_t key = findNoCase(tag, "charset");
        if (key == std::string::npos)
            continue;
        key += 7;
        while (key < tag.size() && (tag[key] == ' ' || tag[key] == '=' || tag[key] == '"' ||
                                    tag[key] == '\''))
            ++key;
        size_t stop = key;
        while (stop < tag.size() && isNameChar(tag[stop]))
            ++stop;
        if (stop > key)
            return toLower(tag.substr(key, stop - key));
    }
    return {};
}

std::string pageBytesToUtf8(std::string_view bytes, std::string_view charset) {
    std::string name = toLower(trim(charset));
    if (name.empty() || name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8")
        return utf8OrWindows1252(bytes);
    // Browsers read these labels as Windows-1252, and so do we.
    if (name == "iso-8859-1" || name == "latin1" || name == "us-ascii" || name == "ascii" ||
        name == "l1" || name == "cp1252")
        name = "windows-1252";
    bool ok = false;
    std::string text = viaIcu(bytes, name, ok);
    return ok ? text : utf8OrWindows1252(bytes);
}

std::string decodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        if (text[pos] == '&') {
            const size_t used = decodeReference(text, pos, out);
            if (used != 0) {
                pos += used;
                continue;
            }
        }
        out += text[pos++];
    }
    return out;
}

PageText extractPageText(std::string_view bytes) {
    // ASCII reads the same in every character set this reads.
    // (ISO-2022 is written in ASCII bytes and has to be read all the same.)
    std::string utf8;
    const std::string charset = declaredCharset(bytes);
    if (!isAscii(bytes) || startsWith(charset, "iso-2022"))
        utf8 = pageBytesToUtf8(bytes, charset);
    const std::string_view text = utf8.empty() ? bytes : std::string_view(utf8);
    PageText page;
    std::string& out = page.text;
    out.reserve(text.size() / 2);
    std::string decoded;
    size_t pos = 0;
    while (pos < text.size()) {
        // Plain text up to the next tag or reference.
        pos = appendPlainText(out, text, pos);
        if (pos >= text.size())
            break;
        if (text[pos] == '&') {
            decoded.clear();
            const size_t used = decodeReference(text, pos, decoded);
            if (used == 0) {
                out += '&';
                ++pos;
            } else {
                appendText(out, decoded);
                pos += used;
            }
            continue;
        }
        // A tag, a comment or a "<" that is text.
        if (text.compare(pos, 4, "<!--") == 0) {
            const size_t end = text.find("-->", pos + 4);
            pos = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        const size_t nameStart = pos + (pos + 1 < text.size() && text[pos + 1] == '/' ? 2 : 1);
        if (nameStart >= text.size() ||
            !(std::isalpha(static_cast<unsigned char>(text[nameStart])) ||
              text[nameStart] == '!' || text[nameStart] == '?')) {
            out += '<';
            ++pos;
            continue;
        }
        size_t nameEnd = nameStart;
        while (nameEnd < text.size() && isNameChar(text[nameEnd]))
            ++nameEnd;
        const std::string_view name = text.substr(nameStart, nameEnd - nameStart);
        const bool closing = nameStart == pos + 2;
        pos = tagEnd(text, pos);
        if (!closing && (equalsNoCase(name, "script") || equalsNoCase(name, "style") ||
                         equalsNoCase(name, "title"))) {
            const std::string closeTag = "/" + std::string(name);
            size_t end = findTag(text, closeTag, pos);
            if (end == std::string::npos)
                end = text.size();
            if (equalsNoCase(name, "title") && page.title.empty()) {
                std::string title;
                appendText(title, decodeEntities(text.substr(pos, end - pos)));
                page.title = trim(title);
            }
            pos = end == text.size() ? end : tagEnd(text, end);
            if (!out.empty() && out.back() != ' ')
                out += ' ';
            continue;
        }
        if (!isInlineTag(name) && !out.empty() && out.back() != ' ')
            out += ' ';
    }
    page.text = trim(out);
    return page;
}

} // namespace qw
