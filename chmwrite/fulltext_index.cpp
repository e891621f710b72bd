#include "chmwrite/fulltext_index.h"

#include "chmwrite/container.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace qw::chm {

namespace {

constexpr size_t kHeaderSize = 0x400;
constexpr size_t kLongestWord = 99;
constexpr size_t kLeafHeader = 8;  // next leaf, 0, free space
constexpr size_t kIndexHeader = 2; // free space

bool isAsciiWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

/// Letters, digits and marks of the scripts the single-byte code pages hold; any
/// character of the large East Asian blocks counts too, so that a word holding one is
/// recognised as a word the code page cannot hold.
bool isWordCodePoint(char32_t c) {
    if (c < 0x80)
        return isAsciiWordByte(static_cast<unsigned char>(c));
    if (c == 0xAA || c == 0xB5 || c == 0xBA)
        return true;
    if (c >= 0xC0 && c <= 0x24F)
        return c != 0xD7 && c != 0xF7;
    if (c >= 0x300 && c <= 0x36F) // combining accents (Vietnamese)
        return true;
    if (c >= 0x370 && c <= 0x3FF) // Greek, without its tonos marks and punctuation
        return c != 0x375 && c != 0x37E && c != 0x384 && c != 0x385 && c != 0x387;
    if (c >= 0x400 && c <= 0x52F) // Cyrillic, without its number signs
        return c < 0x482 || c > 0x489;
    if (c >= 0x591 && c <= 0x5F2) // Hebrew points and letters
        return c != 0x5BE && c != 0x5C0 && c != 0x5C3 && c != 0x5C6;
    if ((c >= 0x610 && c <= 0x61A) || (c >= 0x620 && c <= 0x669) || (c >= 0x66E && c <= 0x6D3) ||
        (c >= 0x6F0 && c <= 0x6F9) || c == 0x6D5)
        return true;
    if (c >= 0xE01 && c <= 0xE4E) // Thai
        return c != 0xE3F;
    if (c >= 0xE50 && c <= 0xE59)
        return true;
    if (c >= 0x1E00 && c <= 0x1FFF) // Latin and Greek extended
        return true;
    return c >= 0x3040 && c < 0xFE30; // kana, CJK, Hangul
}

/// The lower-case letter of the scripts the single-byte code pages hold.
char32_t lowerCase(char32_t c) {
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    if (c == 0x130) // capital I with dot: plain i outside Turkish
        return 'i';
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c % 2 == 0 ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return c % 2 == 1 ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    if (c == 0x1A0 || c == 0x1AF)
        return c + 1;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 63;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return c % 2 == 0 ? c + 1 : c;
    if (c >= 0x4C1 && c <= 0x4CE)
        return c % 2 == 1 ? c + 1 : c;
    return c;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool startsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
    if (text.size() - std::min(at, text.size()) < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(text[at + i]) != prefix[i])
            return false;
    return true;
}

size_t findNoCase(std::string_view text, std::string_view lowerNeedle, size_t from) {
    for (size_t at = from; at + lowerNeedle.size() <= text.size(); ++at)
        if (lowerAscii(text[at]) == lowerNeedle[0] && startsWithNoCase(text, at, lowerNeedle))
            return at;
    return std::string_view::npos;
}

/// Just past the '>' that ends the tag whose name ends at `from`. Quoted attribute values
/// may hold '>'; an unclosed quote falls back to the first '>'.
size_t tagEnd(std::string_view html, size_t from) {
    char last = '\0';
    for (size_t i = from; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '>')
            return i + 1;
        if ((c == '"' || c == '\'') && last == '=') {
            const size_t close = html.find(c, i + 1);
            if (close == std::string_view::npos)
                break;
            i = close;
            last = c;
            continue;
        }
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            last = c;
    }
    const size_t gt = html.find('>', from);
    return gt == std::string_view::npos ? html.size() : gt + 1;
}

/// Tags within a line of text: a word goes on across them ("<b>W</b>ord").
bool isInlineTag(std::string_view lowerName) {
    static const std::string_view names[] = {
        "a",     "abbr", "acronym", "b",  "big", "cite", "code", "dfn",  "em",   "font", "i",
        "kbd",   "q",    "s",       "samp", "small", "span", "strike", "strong", "sub",
        "sup",   "tt",   "u",       "var"};
    return std::find(std::begin(names), std::end(names), lowerName) != std::end(names);
}

struct NamedReference {
    std::string_view name;
    char32_t codePoint;
};

/// Named character references pages use: markup characters, Latin-1 and the typographic
/// ones of the Windows code pages.
constexpr NamedReference kNamedReferences[] = {
    {"amp", '&'},        {"lt", '<'},          {"gt", '>'},          {"quot", '"'},
    {"apos", '\''},      {"nbsp", 0xA0},       {"iexcl", 0xA1},      {"cent", 0xA2},
    {"pound", 0xA3},     {"curren", 0xA4},     {"yen", 0xA5},        {"brvbar", 0xA6},
    {"sect", 0xA7},      {"uml", 0xA8},        {"copy", 0xA9},       {"ordf", 0xAA},
    {"laquo", 0xAB},     {"not", 0xAC},        {"shy", 0xAD},        {"reg", 0xAE},
    {"macr", 0xAF},      {"deg", 0xB0},        {"plusmn", 0xB1},     {"sup2", 0xB2},
    {"sup3", 0xB3},      {"acute", 0xB4},      {"micro", 0xB5},      {"para", 0xB6},
    {"middot", 0xB7},    {"cedil", 0xB8},      {"sup1", 0xB9},       {"ordm", 0xBA},
    {"raquo", 0xBB},     {"frac14", 0xBC},     {"frac12", 0xBD},     {"frac34", 0xBE},
    {"iquest", 0xBF},    {"Agrave", 0xC0},     {"Aacute", 0xC1},     {"Acirc", 0xC2},
    {"Atilde", 0xC3},    {"Auml", 0xC4},       {"Aring", 0xC5},      {"AElig", 0xC6},
    {"Ccedil", 0xC7},    {"Egrave", 0xC8},     {"Eacute", 0xC9},     {"Ecirc", 0xCA},
    {"Euml", 0xCB},      {"Igrave", 0xCC},     {"Iacute", 0xCD},     {"Icirc", 0xCE},
    {"Iuml", 0xCF},      {"ETH", 0xD0},        {"Ntilde", 0xD1},     {"Ograve", 0xD2},
    {"Oacute", 0xD3},    {"Ocirc", 0xD4},      {"Otilde", 0xD5},     {"Ouml", 0xD6},
    {"times", 0xD7},     {"Oslash", 0xD8},     {"Ugrave", 0xD9},     {"Uacute", 0xDA},
    {"Ucirc", 0xDB},     {"Uuml", 0xDC},       {"Yacute", 0xDD},     {"THORN", 0xDE},
    {"szlig", 0xDF},     {"agrave", 0xE0},     {"aacute", 0xE1},     {"acirc", 0xE2},
    {"atilde", 0xE3},    {"auml", 0xE4},       {"aring", 0xE5},      {"aelig", 0xE6},
    {"ccedil", 0xE7},    {"egrave", 0xE8},     {"eacute", 0xE9},     {"ecirc", 0xEA},
    {"euml", 0xEB},      {"igrave", 0xEC},     {"iacute", 0xED},     {"icirc", 0xEE},
    {"iuml", 0xEF},      {"eth", 0xF0},        {"ntilde", 0xF1},     {"ograve", 0xF2},
    {"oacute", 0xF3},    {"ocirc", 0xF4},      {"otilde", 0xF5},     {"ouml", 0xF6},
    {"divide", 0xF7},    {"oslash", 0xF8},     {"ugrave", 0xF9},     {"uacute", 0xFA},
    {"ucirc", 0xFB},     {"uuml", 0xFC},       {"yacute", 0xFD},     {"thorn", 0xFE},
    {"yuml", 0xFF},      {"OElig", 0x152},     {"oelig", 0x153},     {"Scaron", 0x160},
    {"scaron", 0x161},   {"Yuml", 0x178},      {"fnof", 0x192},      {"circ", 0x2C6},
    {"tilde", 0x2DC},    {"ensp", 0x2002},     {"emsp", 0x2003},     {"thinsp", 0x2009},
    {"ndash", 0x2013},   {"mdash", 0x2014},    {"lsquo", 0x2018},    {"rsquo", 0x2019},
    {"sbquo", 0x201A},   {"ldquo", 0x201C},    {"rdquo", 0x201D},    {"bdquo", 0x201E},
    {"dagger", 0x2020},  {"Dagger", 0x2021},   {"bull", 0x2022},     {"hellip", 0x2026},
    {"permil", 0x2030},  {"lsaquo", 0x2039},   {"rsaquo", 0x203A},   {"euro", 0x20AC},
    {"trade", 0x2122},
};

/// The character a reference at html[at] == '&' stands for; length gets its length.
/// 0 when it is no reference.
char32_t characterReference(std::string_view html, size_t at, size_t& length) {
    size_t i = at + 1;
    if (i < html.size() && html[i] == '#') {
        ++i;
        const bool hex = i < html.size() && (html[i] == 'x' || html[i] == 'X');
        if (hex)
            ++i;
        const size_t start = i;
        uint32_t value = 0;
        for (; i < html.size() && i - start < 8; ++i) {
            const char c = html[i];
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                break;
            value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
        }
        if (i == start || value == 0 || value > 0x10FFFF)
            return 0;
        if (i < html.size() && html[i] == ';')
            ++i;
        length = i - at;
        return value;
    }
    const size_t start = i;
    while (i < html.size() && i - start <= 8 && isAsciiWordByte(static_cast<unsigned char>(html[i])))
        ++i;
    if (i >= html.size() || html[i] != ';')
        return 0;
    const std::string_view name = html.substr(start, i - start);
    for (const NamedReference& ref : kNamedReferences)
        if (ref.name == name) {
            length = i + 1 - at;
            return ref.codePoint;
        }
    return 0;
}

unsigned bitLength(uint64_t value) {
    unsigned n = 0;
    while (value != 0) {
        ++n;
        value >>= 1;
    }
    return n;
}

void putVarint(std::string& out, uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

uint32_t getVarint(const std::string& in, size_t& at) {
    uint32_t value = 0;
    unsigned shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(in[at++]);
        value |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return value;
        shift += 7;
    }
}

/// The index's counts and sizes: seven bits a byte, the lowest group first, the high bit
/// set on every byte but the last.
void putLowFirstInt(std::string& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

size_t lowFirstIntSize(uint64_t value) {
    size_t n = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++n;
    }
    return n;
}

/// The root that codes the numbers of a bit-length histogram in the fewest bits.
unsigned bestRoot(const std::array<uint64_t, 33>& histogram) {
    unsigned best = 1;
    uint64_t bestBits = UINT64_MAX;
    for (unsigned root = 1; root <= 24; ++root) {
        uint64_t bits = 0;
        for (unsigned n = 0; n < histogram.size(); ++n)
            bits += histogram[n] * (n <= root ? 1 + root : 2 * n - root);
        if (bits < bestBits) {
            bestBits = bits;
            best = root;
        }
    }
    return best;
}

size_t commonPrefix(const std::string& a, const std::string& b) {
    const size_t limit = std::min({a.size(), b.size(), size_t{255}});
    size_t n = 0;
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

} // namespace

CodePageLetters::CodePageLetters(const std::vector<char16_t>& upperHalf) {
    for (unsigned b = 0; b < 0x80; ++b)
        if (isAsciiWordByte(static_cast<unsigned char>(b)))
            m_fold[b] = static_cast<uint8_t>(lowerAscii(static_cast<char>(b)));
    if (upperHalf.size() != 128)
        return;
    for (unsigned b = 0x80; b < 0x100; ++b)
        if (upperHalf[b - 0x80] != 0)
            m_bytes.emplace(upperHalf[b - 0x80], static_cast<uint8_t>(b));
    for (unsigned b = 0x80; b < 0x100; ++b) {
        const char32_t cp = upperHalf[b - 0x80];
        if (cp == 0 || !isWordCodePoint(cp))
            continue;
        const int lower = byteFor(lowerCase(cp));
        m_fold[b] = static_cast<uint8_t>(lower >= 0 ? lower : static_cast<int>(b));
    }
}

int CodePageLetters::byteFor(char32_t codePoint) const {
    if (codePoint < 0x80)
        return static_cast<int>(codePoint);
    const auto it = m_bytes.find(codePoint);
    return it == m_bytes.end() ? -1 : it->second;
}

void forEachWord(std::string_view html, const CodePageLetters& letters,
                 const std::function<void(std::string_view word, bool inTitle)>& take) {
    std::string word;
    bool unwritable = false; // the word holds a letter the code page lacks
    bool inTitle = false, titleSeen = false;
    const auto endWord = [&] {
        if (!word.empty() && !unwritable && word.size() <= kLongestWord)
            take(word, inTitle);
        word.clear();
        unwritable = false;
    };
    const auto addByte = [&](uint8_t byte) {
        if (const uint8_t folded = letters.fold(byte); folded != 0)
            word.push_back(static_cast<char>(folded));
        else
            endWord();
    };
    size_t i = 0;
    const size_t n = html.size();
    while (i < n) {
        const char c = html[i];
        if (c == '<') {
            if (startsWithNoCase(html, i, "<!--")) {
                endWord();
                const size_t close = html.find("-->", i + 4);
                i = close == std::string_view::npos ? n : close + 3;
                continue;
            }
            size_t j = i + 1;
            const bool closing = j < n && html[j] == '/';
            if (closing)
                ++j;
            const size_t nameStart = j;
            while (j < n && std::isalnum(static_cast<unsigned char>(html[j])))
                ++j;
            std::string name(html.substr(nameStart, j - nameStart));
            for (char& ch : name)
                ch = lowerAscii(ch);
            const bool declaration = !closing && j < n && (html[j] == '!' || html[j] == '?');
            if (name.empty() && !declaration && !closing) { // a lone '<' in the text
                endWord();
                ++i;
                continue;
            }
            if (!isInlineTag(name))
                endWord();
            i = tagEnd(html, j);
            if (!closing && (name == "script" || name == "style")) {
                const size_t close = findNoCase(html, "</" + name, i);
                i = close == std::string_view::npos ? n : close;
            } else if (name == "title") {
                if (!closing && !titleSeen) {
                    inTitle = true;
                    titleSeen = true;
                } else if (closing) {
                    inTitle = false;
                }
            }
            continue;
        }
        if (c == '&') {
            size_t length = 0;
            if (const char32_t cp = characterReference(html, i, length); cp != 0) {
                i += length;
                if (const int byte = letters.byteFor(cp); byte >= 0)
                    addByte(static_cast<uint8_t>(byte));
                else if (isWordCodePoint(cp))
                    unwritable = true;
                else
                    endWord();
                continue;
            }
        }
        addByte(static_cast<uint8_t>(c));
        ++i;
    }
    endWord();
}

void BitWriter::put(uint32_t bits, unsigned count) {
    while (count > 0) {
        --count;
        m_byte = static_cast<uint8_t>(m_byte | (((bits >> count) & 1u) << (7 - m_used)));
        if (++m_used == 8) {
            m_out.push_back(static_cast<char>(m_byte));
            m_byte = 0;
            m_used = 0;
        }
    }
}

void BitWriter::align() {
    if (m_used == 0)
        return;
    m_out.push_back(static_cast<char>(m_byte));
    m_byte = 0;
    m_used = 0;
}

void putScaleRoot(BitWriter& out, uint32_t value, unsigned root) {
    const unsigned n = bitLength(value);
    if (n <= root) {
        out.put(0, 1);
        out.put(value, root);
        return;
    }
    for (unsigned i = 0; i < n - root; ++i)
        out.put(1, 1);
    out.put(0, 1);
    out.put(value, n - 1); // the leading 1 is implied by the prefix
}

unsigned scaleRootBits(uint32_t value, unsigned root) {
    const unsigned n = bitLength(value);
    return n <= root ? 1 + root : 2 * n - root;
}

FullTextIndex::FullTextIndex(const CodePageLetters& letters, uint32_t codePage,
                             uint32_t language, uint32_t nodeSize)
    : m_letters(letters), m_codePage(codePage), m_language(language), m_nodeSize(nodeSize) {
    // An index node must hold at least two entries of the longest word.
    if (nodeSize < 2 * (kIndexHeader + 2 + kLongestWord + 6) || nodeSize > 0xFFFF)
        throw std::invalid_argument("search index node size out of range");
}

void FullTextIndex::addPage(std::string_view html) {
    const uint32_t page = m_pages++;
    m_pageWords.clear();
    uint32_t location = 0, titleLocation = 0;
    forEachWord(html, m_letters, [&](std::string_view text, bool inTitle) {
        uint32_t id;
        if (const auto it = m_ids.find(text); it != m_ids.end()) {
            id = it->second;
        } else {
            id = static_cast<uint32_t>(m_words.size());
            m_words.push_back({std::string(text), {}});
            m_ids.emplace(std::string(text), id);
        }
        // Title words belong to the page's text as well: a search of the text finds
        // a page by its title.
        m_pageWords.emplace_back(id * 2, location++);
        if (inTitle)
            m_pageWords.emplace_back(id * 2 + 1, titleLocation++);
        ++m_occurrences;
        m_occurrenceLength += text.size();
    });
    std::sort(m_pageWords.begin(), m_pageWords.end());
    for (size_t i = 0; i < m_pageWords.size();) {
        const uint32_t slot = m_pageWords[i].first;
        size_t end = i;
        while (end < m_pageWords.size() && m_pageWords[end].first == slot)
            ++end;
        Postings& p = m_words[slot / 2].places[slot % 2];
        const uint32_t delta = page - p.lastPage;
        p.lastPage = page;
        ++p.pages;
        putVarint(p.packed, delta);
        ++m_histogram[0][bitLength(delta)];
        const auto count = static_cast<uint32_t>(end - i);
        putVarint(p.packed, count);
        ++m_histogram[1][bitLength(count)];
        uint32_t previous = 0;
        for (; i < end; ++i) {
            const uint32_t step = m_pageWords[i].second - previous;
            previous = m_pageWords[i].second;
            putVarint(p.packed, step);
            ++m_histogram[2][bitLength(step)];
        }
    }
}

std::string FullTextIndex::file() const {
    const unsigned pageRoot = bestRoot(m_histogram[0]);
    const unsigned countRoot = bestRoot(m_histogram[1]);
    const unsigned locationRoot = bestRoot(m_histogram[2]);

    std::vector<uint32_t> order(m_words.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // Byte order of the folded words: the order readers compare in.
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return m_words[a].text < m_words[b].text; });

    std::string out(kHeaderSize, '\0');
    struct NodeRef {
        std::string lastWord;
        uint32_t offset;
    };
    std::vector<NodeRef> level;

    // Leaves: each word's location codes go before the leaf that points at them.
    std::string leaf, previousWord, lastWord;
    size_t previousLeaf = 0; // offset of the leaf written last; 0 before the first
    uint32_t lastFreeSpace = 0;
    const auto startLeaf = [&] {
        leaf.assign(kLeafHeader, '\0');
        previousWord.clear();
    };
    const auto finishLeaf = [&] {
        const auto free = static_cast<uint32_t>(m_nodeSize - leaf.size());
        leaf[6] = static_cast<char>(free & 0xFF);
        leaf[7] = static_cast<char>(free >> 8);
        leaf.resize(m_nodeSize, '\0');
        const auto offset = static_cast<uint32_t>(out.size());
        if (previousLeaf != 0)
            setLE32(out, previousLeaf, offset);
        out += leaf;
        previousLeaf = offset;
        lastFreeSpace = free;
        level.push_back({lastWord, offset});
    };
    startLeaf();
    std::string codes[2];
    uint64_t uniqueLength = 0;
    size_t longest = 0;
    for (const uint32_t id : order) {
        const Word& word = m_words[id];
        uniqueLength += word.text.size();
        longest = std::max(longest, word.text.size());
        // The location codes of the text and of the title, each page's group on whole
        // bytes.
        size_t groupSize = 0;
        for (int context = 0; context < 2; ++context) {
            const Postings& p = word.places[context];
            codes[context].clear();
            if (p.pages == 0)
                continue;
            BitWriter bits(codes[context]);
            size_t at = 0;
            for (uint32_t k = 0; k < p.pages; ++k) {
                putScaleRoot(bits, getVarint(p.packed, at), pageRoot);
                const uint32_t count = getVarint(p.packed, at);
                putScaleRoot(bits, count, countRoot);
                for (uint32_t c = 0; c < count; ++c)
                    putScaleRoot(bits, getVarint(p.packed, at), locationRoot);
                bits.align();
            }
            groupSize += 2 + 1 + lowFirstIntSize(p.pages) + 6 + lowFirstIntSize(codes[context].size());
        }
        // Both entries of a word stay in one leaf: readers look for the title entry
        // beside the text entry.
        const size_t suffix = word.text.size() - commonPrefix(word.text, previousWord);
        if (leaf.size() + groupSize + suffix > m_nodeSize) {
            finishLeaf();
            startLeaf();
        }
        for (int context = 0; context < 2; ++context) {
            const Postings& p = word.places[context];
            if (p.pages == 0)
                continue;
            const auto codeOffset = static_cast<uint32_t>(out.size());
            out += codes[context];
            const size_t prefix = commonPrefix(word.text, previousWord);
            leaf.push_back(static_cast<char>(word.text.size() - prefix + 1));
            leaf.push_back(static_cast<char>(prefix));
            leaf.append(word.text, prefix, std::string::npos);
            leaf.push_back(static_cast<char>(context));
            putLowFirstInt(leaf, p.pages);
            putLE32(leaf, codeOffset);
            putLE16(leaf, 0);
            putLowFirstInt(leaf, codes[context].size());
            previousWord = word.text;
        }
        lastWord = word.text;
    }
    finishLeaf();
    const auto leafCount = static_cast<uint32_t>(level.size());

    // Index levels: one entry per node below, the last word it holds, until one root.
    unsigned depth = 1;
    while (level.size() > 1) {
        std::vector<NodeRef> upper;
        std::string node(kIndexHeader, '\0');
        std::string previous, last;
        const auto finishNode = [&] {
            const auto free = static_cast<uint16_t>(m_nodeSize - node.size());
            node[0] = static_cast<char>(free & 0xFF);
            node[1] = static_cast<char>(free >> 8);
            node.resize(m_nodeSize, '\0');
            upper.push_back({last, static_cast<uint32_t>(out.size())});
            out += node;
            node.assign(kIndexHeader, '\0');
            previous.clear();
        };
        for (const NodeRef& child : level) {
            size_t prefix = commonPrefix(child.lastWord, previous);
            if (node.size() + 2 + (child.lastWord.size() - prefix) + 6 > m_nodeSize) {
                finishNode();
                prefix = 0;
            }
            node.push_back(static_cast<char>(child.lastWord.size() - prefix + 1));
            node.push_back(static_cast<char>(prefix));
            node.append(child.lastWord, prefix, std::string::npos);
            putLE32(node, child.offset);
            putLE16(node, 0);
            previous = child.lastWord;
            last = child.lastWord;
        }
        finishNode();
        level = std::move(upper);
        ++depth;
    }
    m_depth = depth;
    const uint32_t root = level.front().offset;

    std::string header;
    header += std::string("\0\0\x28\0", 4);
    putLE32(header, m_pages);
    putLE32(header, root);
    putLE32(header, 0);
    putLE32(header, leafCount);
    putLE32(header, root);
    putLE16(header, static_cast<uint16_t>(depth));
    putLE32(header, 7);
    for (unsigned r : {pageRoot, countRoot, locationRoot}) {
        header.push_back(2); // scale
        header.push_back(static_cast<char>(r));
    }
    header.append(10, '\0');
    putLE32(header, m_nodeSize);
    putLE32(header, 0);
    putLE32(header, 0);
    putLE32(header, 0);
    putLE32(header, static_cast<uint32_t>(longest));
    putLE32(header, static_cast<uint32_t>(m_occurrences));
    putLE32(header, static_cast<uint32_t>(m_words.size()));
    putLE64(header, m_occurrenceLength);
    putLE32(header, static_cast<uint32_t>(uniqueLength));
    putLE32(header, lastFreeSpace);
    putLE32(header, 0);
    putLE32(header, m_pages == 0 ? 0 : m_pages - 1);
    header.append(24, '\0');
    putLE32(header, m_codePage);
    putLE32(header, m_language);
    out.replace(0, header.size(), header);
    return out;
}

} // namespace qw::chm
