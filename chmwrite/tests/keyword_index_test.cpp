#include "chmwrite/chm_writer.h"
#include "chmwrite/keyword_index.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using qw::chm::LinkIndex;

namespace {

uint32_t le32(const std::string& s, size_t at) {
    uint32_t v;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}
uint16_t le16(const std::string& s, size_t at) {
    uint16_t v;
    std::memcpy(&v, s.data() + at, 2);
    return v;
}

struct Listed {
    std::u16string name;
    uint16_t depth;
    uint32_t charIndex;
    std::vector<uint32_t> topics;
};

/// The listing entries in the order of the block chain.
std::vector<Listed> listing(const std::string& btree) {
    std::vector<Listed> out;
    for (uint32_t block = 0;;) {
        const size_t base = 0x4C + size_t(block) * 2048;
        const uint16_t count = le16(btree, base + 2);
        size_t at = base + 12;
        for (uint16_t i = 0; i < count; ++i) {
            Listed e;
            for (; le16(btree, at) != 0; at += 2)
                e.name.push_back(char16_t(le16(btree, at)));
            at += 2;
            const bool seeAlso = le16(btree, at) == 2;
            e.depth = le16(btree, at + 2);
            e.charIndex = le32(btree, at + 4);
            const uint32_t pairs = le32(btree, at + 12);
            at += 16;
            if (seeAlso) {
                while (le16(btree, at) != 0)
                    at += 2;
                at += 2;
            } else {
                for (uint32_t p = 0; p < pairs; ++p, at += 4)
                    e.topics.push_back(le32(btree, at));
            }
            at += 8;
            out.push_back(std::move(e));
        }
        EXPECT_EQ(le16(btree, base), base + 2048 - at) << "free space of block " << block;
        const uint32_t next = le32(btree, base + 8);
        if (next == 0xFFFFFFFF)
            return out;
        block = next;
    }
}

} // namespace

TEST(IndexFileKeywords, NestingPairsSeeAlsoAndReferences) {
    const std::string hhk =
        "<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"not a keyword\">"
        "</OBJECT>\n<UL><LI><OBJECT type=\"text/sitemap\">"
        "<param name=\"Name\" value=\"a &gt; b &amp; &#1046;\"><param name=\"Name\" value=\"T\">"
        "<param name=\"Local\" value=\"x.htm\"><param name=\"Local\" value='y.htm#z'></OBJECT>"
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"sub>level\">"
        "<param name=\"Local\" value=\"s.htm\"></OBJECT></UL>"
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"nameless.htm\"></OBJECT>"
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"out\">"
        "<param name=\"See Also\" value=\"a\"></OBJECT></UL>";
    const auto keywords = qw::chm::indexFileKeywords(hhk);
    ASSERT_EQ(keywords.size(), 3u);
    EXPECT_EQ(keywords[0].levels, (std::vector<std::string>{"a > b & \xD0\x96"}));
    EXPECT_EQ(keywords[0].locals, (std::vector<std::string>{"x.htm", "y.htm#z"}));
    EXPECT_EQ(keywords[1].levels, (std::vector<std::string>{"a > b & \xD0\x96", "sub>level"}));
    EXPECT_EQ(keywords[2].levels, (std::vector<std::string>{"out"}));
    EXPECT_EQ(keywords[2].seeAlso, "a");
    EXPECT_TRUE(keywords[2].locals.empty());
}

TEST(IndexFileKeywords, AnObjectLeftOpenEndsAtTheNext) {
    const std::string hhk =
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"a\">"
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"b\">"
        "</OBJECT></UL>";
    const auto keywords = qw::chm::indexFileKeywords(hhk);
    ASSERT_EQ(keywords.size(), 2u);
    EXPECT_EQ(keywords[1].levels, std::vector<std::string>{"b"});
}

TEST(IndexFileKeywords, ListsDeeperThanTheirKeywordsHangUnderTheLastOne) {
    // A list opened twice below a keyword, and a first keyword inside two lists.
    const std::string hhk =
        "<UL><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"top\"></OBJECT>"
        "<UL><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"deep\">"
        "</OBJECT></UL></UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
        "value=\"next\"></OBJECT></UL></UL>";
    const auto keywords = qw::chm::indexFileKeywords(hhk);
    ASSERT_EQ(keywords.size(), 3u);
    EXPECT_EQ(keywords[1].levels, (std::vector<std::string>{"top", "deep"}));
    EXPECT_EQ(keywords[2].levels, (std::vector<std::string>{"next"}));
}

TEST(PageLinkNames, KeywordObjectsOnly) {
    const std::string page =
        "<p>clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e in text</p>"
        "<OBJECT type=\"application/x-oleobject\" classid=\"clsid:1E2A7BD0-DAB9-11D0-B93A-"
        "00C04FC99F9E\">\n\t<param name=\"Keyword\" value=\" one ; two, sub ;; \">"
        "<param name=\"ALink Name\" value=\"link a;link b\"></OBJECT>"
        "<object classid=\"clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11\">"
        "<param name=\"Keyword\" value=\"related control, not an index\"></object>";
    const auto names = qw::chm::pageLinkNames(page);
    EXPECT_EQ(names.keywords, (std::vector<std::vector<std::string>>{{"one"}, {"two", "sub"}}));
    EXPECT_EQ(names.associativeNames, (std::vector<std::string>{"link a", "link b"}));
}

TEST(DecodeText, InvalidUtf8IsWindows1252) {
    EXPECT_EQ(qw::chm::decodeUtf8OrWindows1252("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(qw::chm::decodeUtf8OrWindows1252("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(LinkIndex, MergesIgnoringCaseAndSortsSubKeywordsUnderTheirKeyword) {
    LinkIndex index;
    index.add({"alpha beta"}, 1);
    index.add({"Alpha", "zeta"}, 2); // brings "Alpha" in without a topic
    index.add({"ALPHA"}, 3);         // the same keyword, spelled as first met
    index.add({"alpha", "Zeta"}, 2); // the same sub-keyword and topic: listed once
    index.add({"\xD0\x96"}, 4);      // Cyrillic capital, after Latin
    index.add({"\xD0\xB6uk"}, 5);    // its small letter sorts with it
    const auto entries = listing(index.files(0x409, 1252).btree);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].name, u"Alpha");
    EXPECT_EQ(entries[0].topics, std::vector<uint32_t>{3});
    EXPECT_EQ(entries[1].name, u"Alpha, zeta");
    EXPECT_EQ(entries[1].depth, 1);
    EXPECT_EQ(entries[1].charIndex, 7u);
    EXPECT_EQ(entries[1].topics, std::vector<uint32_t>{2});
    EXPECT_EQ(entries[2].name, u"alpha beta");
    EXPECT_EQ(entries[3].name, u"\u0416");
    EXPECT_EQ(entries[4].name, u"\u0436uk");
}

TEST(LinkIndex, ThousandsOfTopicsAndKeywordsMakeAValidTree) {
    LinkIndex index;
    for (uint32_t t = 0; t < 5000; ++t) {
        index.add({"everywhere"}, t);
        index.add({"key " + std::to_string(100000 + t)}, t);
    }
    index.add({std::string(1000, 'x')}, 7); // a name longer than an entry may hold
    const auto files = index.files(0x419, 1251);
    const std::string& btree = files.btree;
    const uint32_t blocks = le32(btree, 0x26);
    ASSERT_EQ(btree.size(), 0x4C + size_t(blocks) * 2048);
    EXPECT_EQ(le32(btree, 0x30), 1251u); // the language's code page
    EXPECT_EQ(le32(btree, 0x34), 0x419u);
    const auto entries = listing(btree);
    EXPECT_EQ(le32(btree, 0x2C), entries.size());
    EXPECT_EQ(files.data.size(), entries.size() * 13);
    std::vector<uint32_t> everywhere;
    for (const Listed& e : entries) {
        if (e.name == u"everywhere")
            everywhere.insert(everywhere.end(), e.topics.begin(), e.topics.end());
        else if (e.name[0] == u'x') {
            EXPECT_EQ(e.name.size(), 160u);
        }
    }
    ASSERT_EQ(everywhere.size(), 5000u); // continued over several entries, in order
    for (uint32_t t = 0; t < 5000; ++t)
        ASSERT_EQ(everywhere[t], t);
    // Every index block holds at least two entries, so the root is reached in few levels,
    // and each entry names the first keyword of the block it leads to.
    const uint32_t lastListing = le32(btree, 0x1A);
    EXPECT_EQ(le32(btree, 0x1E), blocks - 1);
    EXPECT_GE(le16(btree, 0x2A), 3);
    for (uint32_t b = lastListing + 1; b < blocks; ++b) {
        const size_t base = 0x4C + size_t(b) * 2048;
        EXPECT_GE(le16(btree, base + 2), 2) << "index block " << b;
        const uint32_t firstChild = le32(btree, base + 4);
        EXPECT_LT(firstChild, b);
        // The first entry's name is the first name of its child.
        const size_t childBase =
            0x4C + size_t(firstChild) * 2048 + (firstChild <= lastListing ? 12 : 8);
        for (size_t i = 0; le16(btree, base + 8 + i) != 0; i += 2)
            ASSERT_EQ(le16(btree, base + 8 + i), le16(btree, childBase + i));
    }
    EXPECT_EQ(le16(files.map, 0), lastListing + 1);
}

TEST(LinkIndex, EmptyIndexIsOneEmptyBlock) {
    LinkIndex index;
    const auto files = index.files(0x409, 1252);
    ASSERT_EQ(files.btree.size(), 0x4Cu + 2048);
    EXPECT_EQ(le32(files.btree, 0x26), 1u);
    EXPECT_EQ(le16(files.btree, 0x4C), 2048 - 12);
    EXPECT_TRUE(listing(files.btree).empty());
}

TEST(DocumentLinks, IndexFileAndPagesMergeIntoTopics) {
    std::vector<qw::chm::TopicEntry> topics = {{"a.htm", "A", true}, {"sub/b.htm", "B", true}};
    const std::string a = "<object classid=\"clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e\">"
                          "<param name=\"Keyword\" value=\"shared\"></object>";
    const std::string b = "<object classid=\"clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e\">"
                          "<param name=\"ALink Name\" value=\"group\"></object>";
    const std::string hhk =
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Shared\">"
        "<param name=\"Local\" value=\".\\sub\\B.htm\"><param name=\"Local\" value=\"a.htm#part\">"
        "</OBJECT></UL>";
    const auto links = qw::chm::documentLinks(&hhk, {&a, &b}, topics, 0x409, 1252);
    ASSERT_TRUE(links.keywords);
    ASSERT_TRUE(links.associative);
    ASSERT_EQ(topics.size(), 3u); // the anchor is a topic of its own, titled as its page
    EXPECT_EQ(topics[2].name, "a.htm#part");
    EXPECT_EQ(topics[2].title, "A");
    const auto entries = listing(links.keywordFiles.btree);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, u"Shared");
    EXPECT_EQ(entries[0].topics, (std::vector<uint32_t>{1, 2, 0}));
    const auto group = listing(links.associativeFiles.btree);
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0].topics, std::vector<uint32_t>{1});
}

#ifdef QW_HAVE_CHMLIB
#include <chm_lib.h>
#include <cstdio>
#include <unistd.h>

namespace {
/// Whether chmlib finds name in the document, and its bytes.
bool chmHas(const std::string& document, const char* name, std::string* bytes = nullptr) {
    char path[] = "/tmp/qw_kwl_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, document.data(), document.size()), ssize_t(document.size()));
    close(fd);
    chmFile* file = chm_open(path);
    EXPECT_NE(file, nullptr);
    chmUnitInfo ui;
    const bool found = file && chm_resolve_object(file, name, &ui) == CHM_RESOLVE_SUCCESS;
    if (found && bytes) {
        bytes->assign(ui.length, '\0');
        chm_retrieve_object(file, &ui, reinterpret_cast<unsigned char*>(bytes->data()), 0,
                            LONGINT64(ui.length));
    }
    if (file)
        chm_close(file);
    std::remove(path);
    return found;
}
} // namespace

TEST(ChmWriterLinks, DocumentCarriesTheIndexAndSaysSo) {
    qw::chm::ChmWriter writer;
    qw::chm::DocumentOptions options;
    options.title = "T";
    writer.setOptions(options);
    writer.addFile("a.htm", "<title>A</title><object classid=\"clsid:1e2a7bd0-dab9-11d0-b93a-"
                            "00c04fc99f9e\"><param name=\"Keyword\" value=\"k\"></object>");
    std::string system;
    const std::string document = writer.document(1);
    EXPECT_TRUE(chmHas(document, "/$WWKeywordLinks/BTree"));
    EXPECT_TRUE(chmHas(document, "/$WWAssociativeLinks/Property"));
    EXPECT_FALSE(chmHas(document, "/$WWAssociativeLinks/BTree"));
    ASSERT_TRUE(chmHas(document, "/#SYSTEM", &system));
    // Entry 4 says the document has keyword links and no associative links.
    size_t at = 4;
    bool seen = false;
    while (at + 4 <= system.size()) {
        const uint16_t code = le16(system, at), size = le16(system, at + 2);
        if (code == 4) {
            EXPECT_EQ(le32(system, at + 4 + 12), 1u);
            EXPECT_EQ(le32(system, at + 4 + 16), 0u);
            seen = true;
        }
        at += 4 + size;
    }
    EXPECT_TRUE(seen);

    options.binaryIndex = false; // "Binary Index=No"
    writer.setOptions(options);
    EXPECT_FALSE(chmHas(writer.document(1), "/$WWKeywordLinks/BTree"));
}
#endif
