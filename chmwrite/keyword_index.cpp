// Keyword and associative link indexes: what the index file and the pages' keyword objects
// name, merged and written as the B-tree files viewers search.
#include "chmwrite/keyword_index.h"

#include "chmwrite/container.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <unordered_set>

namespace qw::chm {

namespace {

/// Block size of the B-tree, and the sizes of the parts of its blocks.
constexpr size_t kBlockSize = 2048;
constexpr size_t kListingHeaderSize = 12; ///< free space, entries, previous, next
constexpr size_t kIndexHeaderSize = 8;    ///< free space, entries, first child
constexpr size_t kHeaderSize = 0x4C;
/// See-also flag, depth, character index, zero, pair count.
constexpr size_t kEntryFixedSize = 16;
/// Behind a listing entry: a one and the entry's place in the Data file.
constexpr size_t kListingTailSize = 8;
/// Each entry has a record of this size in the Data file.
constexpr size_t kDataRecordSize = 13;
/// An entry's name and topics as index blocks repeat them: at most this many bytes, so
/// that an index block holds three, and every index block (the last of a level taking
/// one from the block before) at least two.
constexpr size_t kMaxPrefixSize = (kBlockSize - kIndexHeaderSize) / 3 - 4;
/// Longest keyword name (levels joined) or see-also text kept, in UTF-16 units: both
/// must fit an entry.
constexpr size_t kMaxTextUnits = 160;
/// The object class of the help control's keyword and link objects.
constexpr std::string_view kKeywordClass = "1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e";

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

size_t findNoCase(std::string_view text, std::string_view needle, size_t from) {
    if (from > text.size())
        return std::string_view::npos;
    const auto it =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(),
                    needle.end(), [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
    return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

std::string trimmed(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return {};
    const size_t end = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(start, end - start + 1));
}

std::vector<std::string> splitTrimmed(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (std::string part = trimmed(text.substr(start, end - start)); !part.empty())
            parts.push_back(std::move(part));
        start = end + 1;
    }
    return parts;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

/// The code point of a UTF-8 sequence at text[at], advancing at; 0 when not valid UTF-8.
char32_t nextUtf8(std::string_view text, size_t& at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    if (first < 0x80) {
        ++at;
        return first;
    }
    size_t length = first >= 0xF0 && first < 0xF5 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
    if (first >= 0xF5 || length == 0 || at + length > text.size())
        return 0;
    char32_t c = first & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    at += length;
    return c;
}

std::u16string utf16(std::string_view utf8) {
    std::u16string out;
    size_t at = 0;
    while (at < utf8.size()) {
        const size_t before = at;
        char32_t c = nextUtf8(utf8, at);
        if (c == 0 && at == before) { // not UTF-8 here: the byte as it stands
            c = static_cast<unsigned char>(utf8[at]);
            ++at;
        }
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

/// Character and entity references (&#1046; &#x416; &amp; ...) replaced by the characters.
std::string decodeReferences(std::string_view text) {
    if (text.find('&') == std::string_view::npos)
        return std::string(text);
    static const std::pair<std::string_view, char32_t> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - i > 10) {
            out.push_back(text[i]);
            continue;
        }
        const std::string_view name = text.substr(i + 1, semicolon - i - 1);
        char32_t c = 0;
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            for (char d : name.substr(hex ? 2 : 1)) {
                const int digit = d >= '0' && d <= '9'          ? d - '0'
                                  : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                                  : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                                : -1;
                if (digit < 0 || c > 0x10FFFF) {
                    c = 0;
                    break;
                }
                c = c * (hex ? 16 : 10) + static_cast<char32_t>(digit);
            }
            if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                c = 0;
        } else {
            for (const auto& [entity, value] : named)
                if (name == entity)
                    c = value;
        }
        if (c == 0) {
            out.push_back(text[i]);
            continue;
        }
        appendUtf8(out, c);
        i = semicolon;
    }
    return out;
}

std::string decodeText(const std::string& bytes, const TextDecoder& decode) {
    return decodeReferences(decode ? decode(bytes) : decodeUtf8OrWindows1252(bytes));
}

/// One tag of markup: its lower-case name ("object", "/ul", "param") and its whole text.
struct Tag {
    std::string name;
    std::string_view text;
};

/// The tag starting at text[at] ('<'); at moves behind it. Quoted values may hold '>'.
Tag readTag(std::string_view text, size_t& at) {
    const size_t start = at;
    size_t i = at + 1;
    char quote = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            // Only a quote that opens a value counts: "don't" in loose text does not.
            size_t before = i;
            while (before > start && (text[before - 1] == ' ' || text[before - 1] == '\t'))
                --before;
            if (before > start && text[before - 1] == '=')
                quote = c;
        } else if (c == '>') {
            break;
        }
    }
    at = i < text.size() ? i + 1 : text.size();
    Tag tag;
    tag.text = text.substr(start, at - start);
    for (size_t n = start + 1; n < text.size(); ++n) {
        const char c = text[n];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || (c == '/' && n == start + 1)))
            break;
        tag.name.push_back(lowerAscii(c));
    }
    return tag;
}

/// Reads the value of attribute name of a tag (quoted or bare) into value; false when the
/// tag has no such attribute.
bool attribute(std::string_view tag, std::string_view name, std::string& value) {
    for (size_t at = findNoCase(tag, name, 0); at != std::string_view::npos;
         at = findNoCase(tag, name, at + 1)) {
        const char before = at > 0 ? tag[at - 1] : ' ';
        if (!(before == ' ' || before == '\t' || before == '\r' || before == '\n'))
            continue;
        size_t i = at + name.size();
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t'))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t'))
            ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            const size_t end = tag.find(tag[i], i + 1);
            value = std::string(
                tag.substr(i + 1, (end == std::string_view::npos ? tag.size() : end) - i - 1));
        } else {
            const size_t end = tag.find_first_of(" \t\r\n>", i);
            value =
                std::string(tag.substr(i, (end == std::string_view::npos ? tag.size() : end) - i));
        }
        return true;
    }
    return false;
}

/// The parameters (name, value) of the object whose tag ends at text[from], up to its
/// "</object>"; from moves behind that.
std::vector<std::pair<std::string, std::string>> objectParams(std::string_view text, size_t& from) {
    std::vector<std::pair<std::string, std::string>> params;
    while (from < text.size()) {
        const size_t open = text.find('<', from);
        if (open == std::string_view::npos) {
            from = text.size();
            break;
        }
        from = open;
        const Tag tag = readTag(text, from);
        if (tag.name == "/object")
            break;
        if (tag.name == "object") { // an object left open ends where the next begins
            from = open;
            break;
        }
        std::string name, value;
        if (tag.name == "param" && attribute(tag.text, "name", name) &&
            attribute(tag.text, "value", value))
            params.emplace_back(std::move(name), std::move(value));
    }
    return params;
}

/// Case folding for ordering and merging: the capitals of Latin, Greek and Cyrillic
/// become small letters.
char16_t fold(char16_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    if (((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) && c % 2 == 0)
        return static_cast<char16_t>(c + 1);
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && c % 2 == 1)
        return static_cast<char16_t>(c + 1);
    if (c >= 0x460 && c <= 0x4FF && c % 2 == 0 && !(c >= 0x482 && c <= 0x489))
        return static_cast<char16_t>(c + 1);
    return c;
}

std::u16string folded(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        c = fold(c);
    return out;
}

void putText16(std::string& out, std::u16string_view text) {
    for (char16_t c : text)
        putLE16(out, c);
    putLE16(out, 0);
}

/// The reference of a document's file as topics name it: "/" separators, no "./", no
/// leading "/".
std::string normalisedLocal(std::string local) {
    std::replace(local.begin(), local.end(), '\\', '/');
    while (local.rfind("./", 0) == 0)
        local.erase(0, 2);
    if (!local.empty() && local[0] == '/')
        local.erase(0, 1);
    return local;
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = lowerAscii(c);
    return text;
}

} // namespace

std::string decodeUtf8OrWindows1252(const std::string& bytes) {
    size_t at = 0;
    bool valid = true;
    while (at < bytes.size() && valid) {
        const size_t before = at;
        valid = nextUtf8(bytes, at) != 0 || (bytes[before] == '\0' && at > before);
    }
    if (valid)
        return bytes;
    static const char16_t high[32] = {
        0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
        0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b);
    }
    return out;
}

std::vector<IndexFileKeyword> indexFileKeywords(const std::string& sitemap,
                                                const TextDecoder& decode) {
    std::vector<IndexFileKeyword> keywords;
    std::vector<std::string> path; // the keywords above the current list level
    int depth = 0;                 // lists open
    int rootDepth = -1;            // the depth of the first keyword: the top level
    std::string type;
    const std::string_view text(sitemap);
    size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        const Tag tag = readTag(text, at);
        if (tag.name == "ul") {
            ++depth;
        } else if (tag.name == "/ul") {
            depth = std::max(0, depth - 1);
        } else if (tag.name == "object" && attribute(tag.text, "type", type) &&
                   equalsNoCase(trimmed(type), "text/sitemap")) {
            IndexFileKeyword keyword;
            std::string name;
            for (auto& [param, value] : objectParams(text, at)) {
                const std::string key = lowered(trimmed(param));
                if (key == "name" && name.empty())
                    name = trimmed(decodeText(value, decode));
                else if (key == "local" && !trimmed(value).empty())
                    keyword.locals.push_back(trimmed(decodeText(value, decode)));
                else if (key == "see also" && keyword.seeAlso.empty())
                    keyword.seeAlso = trimmed(decodeText(value, decode));
            }
            if (name.empty())
                continue;
            if (rootDepth < 0)
                rootDepth = depth;
            const size_t level = static_cast<size_t>(std::max(0, depth - rootDepth));
            path.resize(std::min(path.size(), level));
            keyword.levels = path;
            keyword.levels.push_back(name);
            path.push_back(name);
            keywords.push_back(std::move(keyword));
        }
    }
    return keywords;
}

PageLinkNames pageLinkNames(const std::string& html, const TextDecoder& decode) {
    PageLinkNames names;
    const std::string_view text(html);
    const auto sameLetter = [](char a, char b) { return lowerAscii(a) == lowerAscii(b); };
    const auto hashLetter = [](char c) { return std::hash<char>()(lowerAscii(c)); };
    const std::boyer_moore_horspool_searcher searcher(kKeywordClass.begin(), kKeywordClass.end(),
                                                      hashLetter, sameLetter);
    size_t from = 0;
    while (true) {
        const auto found =
            std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), searcher);
        if (found == text.end())
            break;
        const size_t hit = static_cast<size_t>(found - text.begin());
        from = hit + kKeywordClass.size();
        // The class must stand in an object's own tag.
        const size_t open = text.rfind('<', hit);
        if (open == std::string_view::npos)
            continue;
        size_t after = open;
        const Tag tag = readTag(text, after);
        if (tag.name != "object" || after <= hit)
            continue;
        for (auto& [param, value] : objectParams(text, after)) {
            const std::string key = lowered(trimmed(param));
            if (key == "keyword") {
                for (const std::string& keyword : splitTrimmed(decodeText(value, decode), ';'))
                    if (std::vector<std::string> levels = splitTrimmed(keyword, ',');
                        !levels.empty())
                        names.keywords.push_back(std::move(levels));
            } else if (key == "alink name") {
                for (std::string& name : splitTrimmed(decodeText(value, decode), ';'))
                    names.associativeNames.push_back(std::move(name));
            }
        }
        from = std::max(from, after);
    }
    return names;
}

size_t LinkIndex::entryFor(const std::vector<std::u16string>& levels, size_t count) {
    std::u16string key;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            key.push_back(u'\x1');
        key += folded(levels[i]);
    }
    const auto [it, added] = m_byKey.try_emplace(std::move(key), m_entries.size());
    if (added)
        m_entries.push_back(
            {{levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(count)}, {}, {}});
    return it->second;
}

LinkIndex::Entry* LinkIndex::entryWithParents(const std::vector<std::string>& levels) {
    std::vector<std::u16string> names;
    for (const std::string& level : levels)
        if (std::u16string name = utf16(trimmed(level)); !name.empty())
            names.push_back(name.substr(0, kMaxTextUnits));
    if (names.empty())
        return nullptr;
    for (size_t count = 1; count < names.size(); ++count)
        entryFor(names, count);
    return &m_entries[entryFor(names, names.size())];
}

void LinkIndex::add(const std::vector<std::string>& levels, uint32_t topic) {
    if (Entry* entry = entryWithParents(levels))
        entry->topics.push_back(topic);
}

void LinkIndex::addKeyword(const std::vector<std::string>& levels) {
    entryWithParents(levels);
}

void LinkIndex::addSeeAlso(const std::vector<std::string>& levels, const std::string& target) {
    Entry* entry = entryWithParents(levels);
    if (entry && entry->seeAlso.empty())
        entry->seeAlso = utf16(trimmed(target)).substr(0, kMaxTextUnits);
}

LinkIndexFiles LinkIndex::files(uint32_t language, uint32_t codePage) const {
    // Readers walk the listing blocks in order and search the levels by comparing
    // keywords level by level without regard to case.
    std::vector<const Entry*> sorted;
    sorted.reserve(m_entries.size());
    std::vector<std::vector<std::u16string>> keys(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        sorted.push_back(&m_entries[i]);
        for (const std::u16string& level : m_entries[i].levels)
            keys[i].push_back(folded(level));
    }
    const auto keyOf = [&](const Entry* e) -> const std::vector<std::u16string>& {
        return keys[static_cast<size_t>(e - m_entries.data())];
    };
    std::sort(sorted.begin(), sorted.end(), [&](const Entry* a, const Entry* b) {
        const auto& ka = keyOf(a);
        const auto& kb = keyOf(b);
        if (ka != kb)
            return ka < kb;
        return a->levels < b->levels;
    });

    // Records: an entry whose topics do not fit one block is continued in the records
    // after it, under the same name.
    struct Record {
        std::string prefix; ///< name to topic list: what listing and index entries share
    };
    std::vector<Record> records;
    for (const Entry* entry : sorted) {
        std::u16string name;
        for (size_t i = 0; i < entry->levels.size(); ++i) {
            if (i > 0)
                name += u", ";
            name += entry->levels[i];
        }
        auto charIndex = static_cast<uint32_t>(name.size() - entry->levels.back().size());
        if (name.size() > kMaxTextUnits) {
            name.resize(kMaxTextUnits);
            charIndex = std::min<uint32_t>(charIndex, kMaxTextUnits);
        }
        const auto depth = static_cast<uint16_t>(entry->levels.size() - 1);
        std::vector<uint32_t> topics;
        std::unordered_set<uint32_t> seen;
        for (uint32_t topic : entry->topics)
            if (seen.insert(topic).second)
                topics.push_back(topic);
        const auto begin = [&](bool seeAlso, uint32_t pairs) {
            std::string prefix;
            putText16(prefix, name);
            putLE16(prefix, seeAlso ? 2 : 0);
            putLE16(prefix, depth);
            putLE32(prefix, charIndex);
            putLE32(prefix, 0);
            putLE32(prefix, pairs);
            return prefix;
        };
        if (topics.empty() && !entry->seeAlso.empty()) {
            std::string prefix = begin(true, 1);
            putText16(prefix, entry->seeAlso);
            records.push_back({std::move(prefix)});
            continue;
        }
        const size_t fixed = (name.size() + 1) * 2 + kEntryFixedSize;
        const size_t perRecord = (kMaxPrefixSize - fixed) / 4;
        size_t done = 0;
        do {
            const size_t count = std::min(perRecord, topics.size() - done);
            std::string prefix = begin(false, static_cast<uint32_t>(count));
            for (size_t i = 0; i < count; ++i)
                putLE32(prefix, topics[done + i]);
            records.push_back({std::move(prefix)});
            done += count;
        } while (done < topics.size());
    }

    LinkIndexFiles files;
    // Listing blocks, and the first record of each for the level above.
    std::vector<std::string> blocks;
    std::vector<size_t> firstRecord;
    std::vector<uint16_t> blockEntries;
    std::string block;
    uint16_t entries = 0;
    const auto closeListing = [&] {
        blocks.push_back(block);
        blockEntries.push_back(entries);
        block.clear();
        entries = 0;
    };
    for (size_t r = 0; r < records.size(); ++r) {
        const size_t size = records[r].prefix.size() + kListingTailSize;
        if (entries > 0 && kListingHeaderSize + block.size() + size > kBlockSize)
            closeListing();
        if (entries == 0)
            firstRecord.push_back(r);
        block += records[r].prefix;
        putLE32(block, 1);
        putLE32(block, static_cast<uint32_t>(r * kDataRecordSize));
        ++entries;
        files.data += std::string("\0\0\0\0\x05\0\0\0\x80\0\0\0\0", kDataRecordSize);
    }
    if (entries > 0 || blocks.empty())
        closeListing();
    if (firstRecord.empty())
        firstRecord.push_back(0);

    std::string btree(kHeaderSize, '\0');
    const size_t listingBlocks = blocks.size();
    for (size_t b = 0; b < listingBlocks; ++b) {
        std::string out;
        putLE16(out, static_cast<uint16_t>(kBlockSize - kListingHeaderSize - blocks[b].size()));
        putLE16(out, blockEntries[b]);
        putLE32(out, b == 0 ? 0xFFFFFFFF : static_cast<uint32_t>(b - 1));
        putLE32(out, b + 1 == listingBlocks ? 0xFFFFFFFF : static_cast<uint32_t>(b + 1));
        out += blocks[b];
        out.resize(kBlockSize, '\0');
        btree += out;
    }

    // Index levels, until one block holds the level: each entry is the first record of a
    // block below with that block's number.
    struct Child {
        size_t record;
        uint32_t block;
    };
    std::vector<Child> children;
    for (size_t b = 0; b < listingBlocks; ++b)
        children.push_back({firstRecord[b], static_cast<uint32_t>(b)});
    uint32_t nextBlock = static_cast<uint32_t>(listingBlocks);
    uint16_t treeDepth = 1;
    const auto entrySize = [&](const Child& child) {
        return records[child.record].prefix.size() + 4;
    };
    while (children.size() > 1 && !records.empty()) {
        // Group the level's entries into blocks; a last block left with one entry takes
        // one from the block before when that keeps two.
        std::vector<std::vector<Child>> groups(1);
        size_t used = 0;
        for (const Child& child : children) {
            if (!groups.back().empty() && kIndexHeaderSize + used + entrySize(child) > kBlockSize) {
                groups.emplace_back();
                used = 0;
            }
            groups.back().push_back(child);
            used += entrySize(child);
        }
        if (groups.size() > 1 && groups.back().size() == 1 &&
            groups[groups.size() - 2].size() > 2) {
            std::vector<Child>& before = groups[groups.size() - 2];
            groups.back().insert(groups.back().begin(), before.back());
            before.pop_back();
        }
        std::vector<Child> above;
        for (const std::vector<Child>& group : groups) {
            std::string body;
            for (const Child& child : group) {
                body += records[child.record].prefix;
                putLE32(body, child.block);
            }
            std::string out;
            putLE16(out, static_cast<uint16_t>(kBlockSize - kIndexHeaderSize - body.size()));
            putLE16(out, static_cast<uint16_t>(group.size()));
            putLE32(out, group.front().block);
            out += body;
            out.resize(kBlockSize, '\0');
            btree += out;
            above.push_back({group.front().record, nextBlock++});
        }
        children = std::move(above);
        ++treeDepth;
    }

    std::string header = ";)";
    putLE16(header, 2);
    putLE16(header, static_cast<uint16_t>(kBlockSize));
    header += std::string("X44", 3);
    header.append(13, '\0');
    putLE32(header, 0);
    putLE32(header, static_cast<uint32_t>(listingBlocks - 1)); // the last listing block
    putLE32(header, nextBlock - 1);                            // the root
    putLE32(header, 0xFFFFFFFF);
    putLE32(header, nextBlock); // blocks
    putLE16(header, treeDepth);
    putLE32(header, static_cast<uint32_t>(records.size()));
    putLE32(header, codePage);
    putLE32(header, language);
    putLE32(header, 1); // part of a compiled document
    putLE32(header, 10031);
    header.append(12, '\0');
    btree.replace(0, kHeaderSize, header);
    files.btree = std::move(btree);

    // Map: where each listing block starts in the sequence of records.
    putLE16(files.map, static_cast<uint16_t>(listingBlocks));
    for (size_t b = 0; b < listingBlocks; ++b) {
        putLE32(files.map, static_cast<uint32_t>(records.empty() ? 0 : firstRecord[b]));
        putLE16(files.map, static_cast<uint16_t>(b));
    }
    for (uint32_t value : {0u, 0u, 0u, 12u, 1u, 1u, 0u, 0u})
        putLE32(files.property, value);
    return files;
}

DocumentLinks documentLinks(const std::string* indexFile,
                            const std::vector<const std::string*>& pages,
                            std::vector<TopicEntry>& topics, uint32_t language, uint32_t codePage,
                            const TextDecoder& decode) {
    LinkIndex keywords, associative;
    std::unordered_map<std::string, uint32_t> topicByName;
    for (size_t i = 0; i < topics.size(); ++i)
        topicByName.emplace(lowered(topics[i].name), static_cast<uint32_t>(i));
    if (indexFile) {
        for (const IndexFileKeyword& keyword : indexFileKeywords(*indexFile, decode)) {
            bool linked = false;
            for (const std::string& local : keyword.locals) {
                const std::string name = normalisedLocal(local);
                if (name.empty())
                    continue;
                auto it = topicByName.find(lowered(name));
                if (it == topicByName.end()) {
                    // An anchor in a page, or an address outside: a topic of its own, with
                    // the page's title where there is one.
                    const size_t hash = name.find('#');
                    std::string title;
                    if (hash != std::string::npos)
                        if (auto page = topicByName.find(lowered(name.substr(0, hash)));
                            page != topicByName.end())
                            title = topics[page->second].title;
                    it = topicByName.emplace(lowered(name), static_cast<uint32_t>(topics.size()))
                             .first;
                    topics.push_back({name, title, false});
                }
                keywords.add(keyword.levels, it->second);
                linked = true;
            }
            if (!keyword.seeAlso.empty())
                keywords.addSeeAlso(keyword.levels, keyword.seeAlso);
            else if (!linked)
                keywords.addKeyword(keyword.levels); // a heading of sub-keywords
        }
    }
    for (size_t i = 0; i < pages.size() && i < topics.size(); ++i) {
        if (!pages[i])
            continue;
        const PageLinkNames names = pageLinkNames(*pages[i], decode);
        for (const std::vector<std::string>& levels : names.keywords)
            keywords.add(levels, static_cast<uint32_t>(i));
        for (const std::string& name : names.associativeNames)
            associative.add({name}, static_cast<uint32_t>(i));
    }
    DocumentLinks links;
    links.keywords = !keywords.empty();
    links.associative = !associative.empty();
    if (links.keywords)
        links.keywordFiles = keywords.files(language, codePage);
    if (links.associative)
        links.associativeFiles = associative.files(language, codePage);
    return links;
}

} // namespace qw::chm
