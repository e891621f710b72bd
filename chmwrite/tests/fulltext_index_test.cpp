#include "chmwrite/chm_writer.h"
#include "chmwrite/fulltext_index.h"

#include <gtest/gtest.h>

#ifdef QW_HAVE_CHMLIB
#include <chm_lib.h>
#endif

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

using qw::chm::BitWriter;
using qw::chm::CodePageLetters;
using qw::chm::FullTextIndex;

namespace {

/// Bits of a byte string as '0'/'1' text, the highest bit of each byte first.
std::string bitText(const std::string& bytes) {
    std::string out;
    for (unsigned char b : bytes)
        for (int i = 7; i >= 0; --i)
            out.push_back((b >> i) & 1 ? '1' : '0');
    return out;
}

std::string scaleRoot(uint32_t value, unsigned root) {
    std::string out;
    BitWriter bits(out);
    qw::chm::putScaleRoot(bits, value, root);
    bits.align();
    return bitText(out);
}

std::vector<std::pair<std::string, bool>> words(const std::string& html,
                                                const CodePageLetters& letters) {
    std::vector<std::pair<std::string, bool>> out;
    qw::chm::forEachWord(html, letters, [&](std::string_view w, bool title) {
        out.emplace_back(std::string(w), title);
    });
    return out;
}

/// Windows-1251's upper half: 0xC0..0xFF are А..я, 0xA8/0xB8 Ё/ё; the rest do not matter
/// here and are left undefined.
std::vector<char16_t> cyrillicUpperHalf() {
    std::vector<char16_t> half(128, 0);
    for (int b = 0xC0; b <= 0xFF; ++b)
        half[b - 0x80] = static_cast<char16_t>(0x410 + (b - 0xC0));
    half[0xA8 - 0x80] = 0x401;
    half[0xB8 - 0x80] = 0x451;
    half[0x97 - 0x80] = 0x2014; // em dash
    return half;
}

std::vector<char16_t> latin1UpperHalf() {
    std::vector<char16_t> half(128, 0);
    for (int b = 0xA0; b <= 0xFF; ++b)
        half[b - 0x80] = static_cast<char16_t>(b);
    half[0x8A - 0x80] = 0x160; // Š
    half[0x9A - 0x80] = 0x161; // š
    return half;
}

uint32_t le32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(s[at]) |
                                 static_cast<unsigned char>(s[at + 1]) << 8 |
                                 static_cast<unsigned char>(s[at + 2]) << 16 |
                                 static_cast<unsigned>(static_cast<unsigned char>(s[at + 3])) << 24);
}
uint16_t le16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) |
                                 static_cast<unsigned char>(s[at + 1]) << 8);
}

/// Reads the index the way the format describes, independently of the writer: header,
/// descent through index nodes by "first entry not below the word", leaf scan, location
/// codes bit by bit.
class IndexReader {
public:
    explicit IndexReader(std::string file) : m_file(std::move(file)) {}
    uint32_t root() const { return le32(m_file, 0x14); }
    uint16_t depth() const { return le16(m_file, 0x18); }
    uint32_t nodeSize() const { return le32(m_file, 0x2E); }
    unsigned root(int which) const { return static_cast<unsigned char>(m_file[0x1F + 2 * which]); }

    /// Pages (and their location codes) of word in the text (title false) or titles.
    std::map<uint32_t, std::vector<uint32_t>> find(const std::string& word, bool title) const {
        uint32_t node = root();
        for (int level = depth(); level > 1; --level) {
            const uint16_t free = le16(m_file, node);
            size_t at = node + 2;
            std::string current;
            bool descended = false;
            while (at < node + nodeSize() - free) {
                const unsigned length = static_cast<unsigned char>(m_file[at]);
                const unsigned keep = static_cast<unsigned char>(m_file[at + 1]);
                current = current.substr(0, keep) + m_file.substr(at + 2, length - 1);
                const uint32_t child = le32(m_file, at + 1 + length);
                at += 2 + (length - 1) + 6;
                if (word <= current) {
                    node = child;
                    descended = true;
                    break;
                }
            }
            if (!descended)
                return {};
        }
        const uint16_t free = le16(m_file, node + 6);
        size_t at = node + 8;
        std::string current;
        while (at < node + nodeSize() - free) {
            const unsigned length = static_cast<unsigned char>(m_file[at]);
            const unsigned keep = static_cast<unsigned char>(m_file[at + 1]);
            current = current.substr(0, keep) + m_file.substr(at + 2, length - 1);
            at += 2 + (length - 1);
            const bool isTitle = m_file[at++] == 1;
            const uint64_t pages = lowFirst(at);
            const uint32_t offset = le32(m_file, at);
            at += 6;
            const uint64_t size = lowFirst(at);
            if (current == word && isTitle == title)
                return codes(offset, size, pages);
        }
        return {};
    }

    /// Every (word, title) entry of the leaves, following the chain of leaves.
    std::vector<std::pair<std::string, bool>> allEntries() const {
        uint32_t node = root();
        for (int level = depth(); level > 1; --level)
            node = le32(m_file, node + 2 + 1 + static_cast<unsigned char>(m_file[node + 2]));
        std::vector<std::pair<std::string, bool>> out;
        while (node != 0) {
            const uint16_t free = le16(m_file, node + 6);
            size_t at = node + 8;
            std::string current;
            while (at < node + nodeSize() - free) {
                const unsigned length = static_cast<unsigned char>(m_file[at]);
                const unsigned keep = static_cast<unsigned char>(m_file[at + 1]);
                current = current.substr(0, keep) + m_file.substr(at + 2, length - 1);
                at += 2 + (length - 1);
                out.emplace_back(current, m_file[at++] == 1);
                lowFirst(at);
                at += 6;
                lowFirst(at);
            }
            node = le32(m_file, node);
        }
        return out;
    }

private:
    std::string m_file;

    uint64_t lowFirst(size_t& at) const {
        uint64_t value = 0;
        int shift = 0;
        unsigned char b;
        do {
            b = static_cast<unsigned char>(m_file[at++]);
            value |= uint64_t(b & 0x7F) << shift;
            shift += 7;
        } while (b & 0x80);
        return value;
    }

    std::map<uint32_t, std::vector<uint32_t>> codes(uint32_t offset, uint64_t size,
                                                    uint64_t pages) const {
        const std::string bits = bitText(m_file.substr(offset, size));
        size_t at = 0;
        const auto number = [&](unsigned r) {
            unsigned prefix = 0;
            while (bits.at(at) == '1') {
                ++prefix;
                ++at;
            }
            ++at;
            const unsigned count = prefix == 0 ? r : r + prefix - 1;
            uint32_t value = prefix == 0 ? 0 : 1;
            for (unsigned i = 0; i < count; ++i)
                value = value << 1 | (bits.at(at++) == '1');
            return value;
        };
        std::map<uint32_t, std::vector<uint32_t>> out;
        uint32_t page = 0;
        for (uint64_t p = 0; p < pages; ++p) {
            page += number(root(0));
            const uint32_t count = number(root(1));
            uint32_t location = 0;
            for (uint32_t c = 0; c < count; ++c)
                out[page].push_back(location += number(root(2)));
            at = (at + 7) / 8 * 8; // each page's group starts on a whole byte
        }
        EXPECT_EQ(at, bits.size());
        return out;
    }
};

} // namespace

TEST(FullTextIndexTest, ScaleRootCodesMatchHandWorkedValues) {
    // Root 3: below 8 a 0 and three bits; 8..15 "10" and three bits; 16..31 "110" and four.
    EXPECT_EQ(scaleRoot(0, 3), "00000000");
    EXPECT_EQ(scaleRoot(5, 3), "01010000");
    EXPECT_EQ(scaleRoot(7, 3), "01110000");
    EXPECT_EQ(scaleRoot(8, 3), "10000000");
    EXPECT_EQ(scaleRoot(15, 3), "10111000");
    EXPECT_EQ(scaleRoot(16, 3), "11000000");
    EXPECT_EQ(scaleRoot(31, 3), "11011110");
    // Root 1: 0 -> 00, 1 -> 01, 2 -> 100, 3 -> 101, 4 -> 11000, 9 -> 1110001.
    EXPECT_EQ(scaleRoot(1, 1), "01000000");
    EXPECT_EQ(scaleRoot(2, 1), "10000000");
    EXPECT_EQ(scaleRoot(3, 1), "10100000");
    EXPECT_EQ(scaleRoot(4, 1), "11000000");
    EXPECT_EQ(scaleRoot(9, 1), "11100010");
    // A large value crosses bytes: 1000 (ten bits) at root 2 is 8 ones, 0, then 9 bits.
    EXPECT_EQ(scaleRoot(1000, 2), "111111110111101000000000");
    EXPECT_EQ(qw::chm::scaleRootBits(1000, 2), 18u);
    EXPECT_EQ(qw::chm::scaleRootBits(5, 3), 4u);

    // Several numbers run on across byte edges with no padding between them.
    std::string out;
    BitWriter bits(out);
    qw::chm::putScaleRoot(bits, 1, 1); // 01
    qw::chm::putScaleRoot(bits, 8, 3); // 10000
    qw::chm::putScaleRoot(bits, 2, 2); // 010
    bits.align();
    EXPECT_EQ(bitText(out), "0110000010000000");
}

TEST(FullTextIndexTest, WordsSkipMarkupAndFoldInTheCodePage) {
    const CodePageLetters ascii;
    const auto found = words("<html><head><title>Tide &amp; Table</title>"
                             "<style>p { color: red }</style>"
                             "<script type=\"text/javascript\">var hidden = 1;</script></head>"
                             "<body bgcolor=\"#FFFFFF\"><!-- secret comment -->"
                             "<p title=\"a > b\">The <b>Sta</b>tion's 1995 "
                             "sketch&nbsp;book<br>next&#45;line &#x41;bc</p></body></html>",
                             ascii);
    const std::vector<std::pair<std::string, bool>> expected = {
        {"tide", true},  {"table", true},  {"the", false},    {"station", false},
        {"s", false},    {"1995", false},  {"sketch", false}, {"book", false},
        {"next", false}, {"line", false},  {"abc", false}};
    EXPECT_EQ(found, expected);

    // Windows-1251: capitals fold to small letters; a German letter given by reference,
    // which the code page cannot hold, leaves its word out; a dash separates words.
    const CodePageLetters cyrillic(cyrillicUpperHalf());
    const auto russian = words("<title>\xCC\xCE\xD1\xCA\xC2\xC0</title>"
                               "<p>\xC7\xE8\xEC\xED\xE8\xE9\x97\xA8\xEB\xEA\xE0 "
                               "Gr&ouml;&szlig;e &#1041;&#1099;&#1083;&#1086;</p>",
                               cyrillic);
    const std::vector<std::pair<std::string, bool>> expectedRussian = {
        {"\xEC\xEE\xF1\xEA\xE2\xE0", true},
        {"\xE7\xE8\xEC\xED\xE8\xE9", false},
        {"\xB8\xEB\xEA\xE0", false},
        {"\xE1\xFB\xEB\xEE", false}};
    EXPECT_EQ(russian, expectedRussian);

    // Latin-1: Ä and Š fold; a word of 100 letters is not a word the index keeps.
    const CodePageLetters latin(latin1UpperHalf());
    const auto german = words("\xC4RGER \x8A" "ARM " + std::string(100, 'x') + " " +
                                  std::string(99, 'y'),
                              latin);
    ASSERT_EQ(german.size(), 3u);
    EXPECT_EQ(german[0].first, "\xE4rger");
    EXPECT_EQ(german[1].first, "\x9A" "arm");
    EXPECT_EQ(german[2].first, std::string(99, 'y'));
}

TEST(FullTextIndexTest, SmallIndexIsOneLeafWithTextAndTitleEntries) {
    const CodePageLetters ascii;
    FullTextIndex index(ascii, 1252, 0x407);
    index.addPage("<title>Tides</title><p>tides of the sea</p>");
    index.addPage("<title>Moon</title><p>the moon and the tides, the tides</p>");
    const IndexReader reader(index.file());
    EXPECT_EQ(index.depth(), 1u);
    EXPECT_EQ(reader.depth(), 1u);
    EXPECT_EQ(reader.nodeSize(), 4096u);
    const std::string file = index.file();
    EXPECT_EQ(le32(file, 0), 0x280000u);
    EXPECT_EQ(le32(file, 4), 2u);       // pages
    EXPECT_EQ(le32(file, 0x7A), 1252u); // code page
    EXPECT_EQ(le32(file, 0x7E), 0x407u);

    // Locations count the title's words first, then the text's.
    using Hits = std::map<uint32_t, std::vector<uint32_t>>;
    EXPECT_EQ(reader.find("tides", false), (Hits{{0, {0, 1}}, {1, {5, 7}}}));
    EXPECT_EQ(reader.find("tides", true), (Hits{{0, {0}}}));
    EXPECT_EQ(reader.find("the", false), (Hits{{0, {3}}, {1, {1, 4, 6}}}));
    EXPECT_EQ(reader.find("the", true), Hits{});
    EXPECT_EQ(reader.find("moon", true), (Hits{{1, {0}}}));
    EXPECT_EQ(reader.find("sun", false), Hits{});
}

TEST(FullTextIndexTest, ManyWordsSpanLeavesAndIndexLevelsAndAreAllFound) {
    // Pages of generated words: each word stands on a known set of pages.
    const CodePageLetters ascii;
    const auto wordOf = [](int n) {
        std::string w = "w";
        for (int k = n; k > 0; k /= 26)
            w.push_back(static_cast<char>('a' + k % 26));
        return w + std::to_string(n % 7);
    };
    const int pages = 60, vocabulary = 3000;
    std::map<std::string, std::set<uint32_t>> where;
    std::vector<std::string> html(pages);
    for (int p = 0; p < pages; ++p) {
        html[p] = "<title>Page " + wordOf(p) + "</title><body>";
        for (int n = p; n < vocabulary; n += 1 + p % 5) {
            html[p] += wordOf(n) + (n % 3 ? " " : "<p>");
            where[wordOf(n)].insert(static_cast<uint32_t>(p));
        }
        where["page"].insert(static_cast<uint32_t>(p));
        where[wordOf(p)].insert(static_cast<uint32_t>(p));
    }

    for (const uint32_t nodeSize : {4096u, 512u}) {
        FullTextIndex index(ascii, 1252, 0x409, nodeSize);
        for (const std::string& page : html)
            index.addPage(page);
        const IndexReader reader(index.file());
        EXPECT_EQ(reader.depth(), index.depth());
        if (nodeSize == 4096)
            EXPECT_EQ(index.depth(), 2u);
        else
            EXPECT_GE(index.depth(), 3u);
        EXPECT_EQ(index.wordCount(), where.size());

        for (const auto& [word, pageSet] : where) {
            std::set<uint32_t> found;
            for (const auto& [page, locations] : reader.find(word, false)) {
                found.insert(page);
                EXPECT_FALSE(locations.empty()) << word;
            }
            ASSERT_EQ(found, pageSet) << word << " with nodes of " << nodeSize;
        }
        EXPECT_EQ(reader.find(wordOf(7), true).size(), 1u);
        EXPECT_TRUE(reader.find("wzz", false).empty());
        EXPECT_TRUE(reader.find("zzzz", false).empty()); // after the last word of the root

        // The chain of leaves holds every word once in order, the title entry right
        // after its word's text entry.
        const auto entries = reader.allEntries();
        std::vector<std::string> textWords;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].second)
                textWords.push_back(entries[i].first);
            else
                EXPECT_TRUE(i > 0 && entries[i - 1].first == entries[i].first &&
                            !entries[i - 1].second);
        }
        std::vector<std::string> expected;
        for (const auto& item : where)
            expected.push_back(item.first);
        EXPECT_EQ(textWords, expected);
    }
}

#ifdef QW_HAVE_CHMLIB

namespace {

std::string readFromChm(chmFile* file, const std::string& name) {
    chmUnitInfo info;
    if (chm_resolve_object(file, name.c_str(), &info) != CHM_RESOLVE_SUCCESS)
        return {};
    std::string bytes(info.length, '\0');
    chm_retrieve_object(file, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                        static_cast<LONGINT64>(info.length));
    return bytes;
}

} // namespace

TEST(FullTextIndexTest, DocumentPagesAreNumberedAsTheTopicsFileListsThem) {
    qw::chm::ChmWriter writer;
    qw::chm::DocumentOptions options;
    options.title = "Searchable";
    options.fullTextSearch = true;
    options.language = 0x419;
    options.codePage = 1251;
    options.codePageUpperHalf = cyrillicUpperHalf();
    writer.setOptions(options);
    writer.addFile("zeta.htm", "<title>Last</title><p>omega</p>");
    writer.addFile("style.css", "p { quartz: 1 }");
    writer.addFile("sub/Mid.html", "<title>\xD1\xE5\xF0\xE5\xE4\xE8\xED\xE0</title><p>quartz</p>");
    writer.addFile("alpha.htm", "<p>omega first</p>");

    char name[] = "/tmp/fulltext_testXXXXXX";
    close(mkstemp(name));
    writer.write(name);
    chmFile* file = chm_open(name);
    ASSERT_NE(file, nullptr);
    const std::string index = readFromChm(file, "/$FIftiMain");
    const std::string topics = readFromChm(file, "/#TOPICS");
    const std::string urlTable = readFromChm(file, "/#URLTBL");
    const std::string urlStrings = readFromChm(file, "/#URLSTR");
    const std::string system = readFromChm(file, "/#SYSTEM");
    chm_close(file);
    std::remove(name);
    ASSERT_FALSE(index.empty());

    // The page a search gives is the one the topics file lists under that number.
    const auto pageName = [&](uint32_t page) {
        const uint32_t urlEntry = le32(topics, page * 16 + 8);
        const uint32_t urlString = le32(urlTable, urlEntry + 8);
        return std::string(urlStrings.c_str() + urlString + 8);
    };
    const IndexReader reader(index);
    const auto pagesOf = [&](const std::string& word, bool title) {
        std::set<std::string> names;
        for (const auto& hit : reader.find(word, title))
            names.insert(pageName(hit.first));
        return names;
    };
    EXPECT_EQ(pagesOf("quartz", false), std::set<std::string>{"sub/Mid.html"});
    EXPECT_EQ(pagesOf("omega", false), (std::set<std::string>{"alpha.htm", "zeta.htm"}));
    EXPECT_EQ(pagesOf("last", true), std::set<std::string>{"zeta.htm"});
    // The Cyrillic title "Середина", folded in code page 1251.
    EXPECT_EQ(pagesOf("\xF1\xE5\xF0\xE5\xE4\xE8\xED\xE0", true),
              std::set<std::string>{"sub/Mid.html"});
    EXPECT_EQ(le32(index, 4), 3u); // pages, without the style sheet
    EXPECT_EQ(le32(index, 0x7A), 1251u);
    EXPECT_EQ(le32(index, 0x7E), 0x419u);

    // The system file says that the document can be searched.
    bool flagged = false;
    for (size_t at = 4; at + 4 <= system.size(); at += 4 + le16(system, at + 2))
        if (le16(system, at) == 4)
            flagged = le32(system, at + 4 + 8) == 1;
    EXPECT_TRUE(flagged);

    // Without search the document holds no index.
    options.fullTextSearch = false;
    writer.setOptions(options);
    writer.write(name);
    file = chm_open(name);
    ASSERT_NE(file, nullptr);
    chmUnitInfo info;
    EXPECT_NE(chm_resolve_object(file, "/$FIftiMain", &info), CHM_RESOLVE_SUCCESS);
    chm_close(file);
    std::remove(name);
}

#endif
