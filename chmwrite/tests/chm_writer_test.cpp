#include "chmwrite/chm_writer.h"
#include "chmwrite/container.h"
#include "chmwrite/huffman.h"
#include "chmwrite/lzx_encoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <unistd.h>

#ifdef QW_HAVE_CHMLIB
#include <chm_lib.h>
#endif

namespace fs = std::filesystem;
using qw::chm::ChmWriter;

namespace {

/// Text like a page's: words from a small vocabulary, so the compressor finds matches.
std::string pageLikeText(std::mt19937& rng, size_t size) {
    static const char* words[] = {
        "<p>",   "tide", "table",   "</p>\r\n", "the ", "station ", "<a href=\"x.htm\">",
        "notes", "</a>", "sketch ", "1995 "};
    std::string out;
    while (out.size() < size)
        out += words[rng() % (sizeof words / sizeof *words)];
    out.resize(size);
    return out;
}

std::string randomBytes(std::mt19937& rng, size_t size) {
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(rng());
    return out;
}

/// Bytes that repeat with long periods and runs, the matcher's hard cases.
std::string runsAndRepeats(std::mt19937& rng, size_t size) {
    std::string out;
    while (out.size() < size) {
        if (rng() % 2 == 0)
            out.append(rng() % 600, static_cast<char>(rng()));
        else if (out.size() > 10)
            out += out.substr(rng() % out.size(), rng() % 400);
        else
            out += randomBytes(rng, 5);
    }
    out.resize(size);
    return out;
}

class TempFile {
public:
    TempFile() {
        char name[] = "/tmp/chmwrite_testXXXXXX";
        const int fd = mkstemp(name);
        close(fd);
        m_path = name;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

#ifdef QW_HAVE_CHMLIB

/// The document as chmlib reads it: every file it lists, by name, with its bytes.
class ChmlibReader {
public:
    explicit ChmlibReader(const std::string& path) : m_file(chm_open(path.c_str())) {}
    ~ChmlibReader() {
        if (m_file)
            chm_close(m_file);
    }
    bool open() const { return m_file != nullptr; }
    /// The bytes of name; nullopt-like flag when it cannot be found or read whole.
    bool read(const std::string& name, std::string& bytes) {
        chmUnitInfo info;
        if (chm_resolve_object(m_file, name.c_str(), &info) != CHM_RESOLVE_SUCCESS)
            return false;
        bytes.assign(info.length, '\0');
        if (info.length == 0)
            return true;
        const LONGINT64 got =
            chm_retrieve_object(m_file, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                                static_cast<LONGINT64>(info.length));
        return got == static_cast<LONGINT64>(info.length);
    }
    /// Every normal file chmlib enumerates (by walking the listing chunks).
    std::vector<std::string> listFiles() {
        std::vector<std::string> names;
        chm_enumerate(
            m_file, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES,
            [](chmFile*, chmUnitInfo* ui, void* context) {
                static_cast<std::vector<std::string>*>(context)->push_back(ui->path);
                return CHM_ENUMERATOR_CONTINUE;
            },
            &names);
        return names;
    }

private:
    chmFile* m_file;
};

/// Writes the files into a document and checks that chmlib lists exactly them and reads
/// each back byte for byte.
void expectRoundTrip(const std::map<std::string, std::string>& files, unsigned threads = 2) {
    ChmWriter writer;
    for (const auto& [name, bytes] : files)
        writer.addFile(name, bytes);
    TempFile chm;
    writer.write(chm.path(), threads);
    ChmlibReader reader(chm.path());
    ASSERT_TRUE(reader.open());
    std::vector<std::string> listed = reader.listFiles();
    size_t expectedListed = 0;
    for (const auto& entry : files)
        expectedListed += entry.first[0] != '#' && entry.first[0] != '$';
    EXPECT_EQ(listed.size(), expectedListed);
    for (const auto& [name, bytes] : files) {
        std::string read;
        ASSERT_TRUE(reader.read("/" + name, read)) << name;
        ASSERT_EQ(read.size(), bytes.size()) << name;
        EXPECT_TRUE(read == bytes) << name << " differs";
    }
}

TEST(ChmWriterTest, EveryFileReadsBackThroughChmlibAtFrameAndIntervalEdges) {
    std::mt19937 rng(17);
    std::map<std::string, std::string> files;
    const size_t sizes[] = {0,     1,     2,     3,      257,    258,    32767,  32768, 32769,
                            65535, 65536, 65537, 200000, 262143, 262144, 262145, 600000};
    int n = 0;
    for (size_t size : sizes) {
        files["text/t" + std::to_string(n) + ".htm"] = pageLikeText(rng, size);
        files["bin/r" + std::to_string(n) + ".bin"] = randomBytes(rng, size);
        files["runs/s" + std::to_string(n++) + ".dat"] = runsAndRepeats(rng, size);
    }
    expectRoundTrip(files);
}

TEST(ChmWriterTest, RandomStreamsOfManySizesDecodeToTheirInput) {
    // One file alone is the whole compressed stream: sizes across several intervals.
    std::mt19937 rng(4711);
    for (int round = 0; round < 24; ++round) {
        const size_t size = rng() % (5 * qw::chm::kLzxResetInterval);
        std::string bytes;
        switch (round % 3) {
        case 0:
            bytes = randomBytes(rng, size);
            break;
        case 1:
            bytes = pageLikeText(rng, size);
            break;
        default:
            bytes = runsAndRepeats(rng, size);
            break;
        }
        SCOPED_TRACE("round " + std::to_string(round) + ", size " + std::to_string(size));
        expectRoundTrip({{"only.bin", bytes}}, 1 + round % 3);
    }
}

TEST(ChmWriterTest, DirectoryOfManyLongNamesSpansListingAndIndexChunks) {
    // Long names fill a listing chunk after some thirty entries and an index chunk after
    // some forty: 3000 of them need two levels of index chunks.
    std::mt19937 rng(5);
    std::map<std::string, std::string> files;
    for (int i = 0; i < 3000; ++i) {
        std::string name = "chapter" + std::to_string(i % 13) + "/" +
                           std::string(60 + i % 70, static_cast<char>('a' + i % 26)) + "_" +
                           std::to_string(i) + (i % 2 ? ".htm" : ".HTM");
        files[name] = pageLikeText(rng, rng() % 300);
    }
    expectRoundTrip(files);
}

/// Reads little-endian numbers out of a system file.
uint32_t le32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<size_t>(i)));
    return v;
}
uint16_t le16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                                 (static_cast<unsigned char>(bytes.at(at + 1)) << 8));
}
std::string cString(const std::string& bytes, size_t at) {
    return std::string(bytes.c_str() + at);
}

TEST(ChmWriterTest, SystemFilesNameTheOptionsWindowsAndTopics) {
    ChmWriter writer;
    qw::chm::DocumentOptions options;
    options.title = "Tidewater Notes";
    options.defaultTopic = "welcome.htm";
    options.defaultWindow = "Main";
    options.language = 0x809;
    options.fullTextSearch = true;
    writer.setOptions(options);
    qw::chm::WindowDefinition main;
    main.name = "Main";
    main.caption = "Tidewater Notes Help";
    main.contentsFile = "toc.hhc";
    main.defaultFile = "welcome.htm";
    main.navigationWidth = 220;
    writer.addWindow(main);
    writer.setContents(
        "toc.hhc",
        R"(<OBJECT type="text/sitemap"><param name="Local" value="welcome.htm"></OBJECT>)");
    writer.addFile("welcome.htm", "<html><head><title> Welcome\r\n aboard </title></head></html>");
    writer.addFile("sub/other.htm", "<html><body>untitled</body></html>");
    TempFile chm;
    writer.write(chm.path());

    ChmlibReader reader(chm.path());
    ASSERT_TRUE(reader.open());
    std::string system, windows, strings, topics, urlTable, urlStrings;
    ASSERT_TRUE(reader.read("/#SYSTEM", system));
    ASSERT_TRUE(reader.read("/#WINDOWS", windows));
    ASSERT_TRUE(reader.read("/#STRINGS", strings));
    ASSERT_TRUE(reader.read("/#TOPICS", topics));
    ASSERT_TRUE(reader.read("/#URLTBL", urlTable));
    ASSERT_TRUE(reader.read("/#URLSTR", urlStrings));

    std::map<uint16_t, std::string> entries;
    for (size_t at = 4; at + 4 <= system.size(); at += 4 + le16(system, at + 2))
        entries[le16(system, at)] = system.substr(at + 4, le16(system, at + 2));
    EXPECT_EQ(cString(entries[0], 0), "toc.hhc");
    EXPECT_EQ(cString(entries[2], 0), "welcome.htm");
    EXPECT_EQ(cString(entries[3], 0), "Tidewater Notes");
    EXPECT_EQ(cString(entries[5], 0), "Main");
    ASSERT_EQ(entries[4].size(), 36u);
    EXPECT_EQ(le32(entries[4], 0), 0x809u);
    EXPECT_EQ(le32(entries[4], 8), 1u); // full-text search on
    EXPECT_EQ(entries.count(1), 0u);    // no index file was given

    ASSERT_EQ(le32(windows, 0), 1u);
    ASSERT_EQ(windows.size(), 8u + le32(windows, 4));
    const std::string entry = windows.substr(8);
    EXPECT_EQ(cString(strings, le32(entry, 0x08)), "Main");
    EXPECT_EQ(cString(strings, le32(entry, 0x14)), "Tidewater Notes Help");
    EXPECT_EQ(cString(strings, le32(entry, 0x60)), "toc.hhc");
    EXPECT_EQ(cString(strings, le32(entry, 0x68)), "welcome.htm");
    EXPECT_EQ(le32(entry, 0x4C), 220u);

    // Each topic leads through the URL table to its name, and to its title.
    ASSERT_EQ(topics.size(), 32u);
    std::map<std::string, std::pair<std::string, uint16_t>> byName;
    for (size_t t = 0; t < 2; ++t) {
        const uint32_t title = le32(topics, t * 16 + 4);
        const uint32_t url = le32(topics, t * 16 + 8);
        EXPECT_EQ(le32(urlTable, url + 4), t);
        const std::string name = cString(urlStrings, le32(urlTable, url + 8) + 8);
        byName[name] = {title == 0xFFFFFFFF ? "-" : cString(strings, title),
                        le16(topics, t * 16 + 12)};
    }
    EXPECT_EQ(byName["welcome.htm"], std::make_pair(std::string("Welcome aboard"), uint16_t{6}));
    EXPECT_EQ(byName["sub/other.htm"], std::make_pair(std::string("-"), uint16_t{2}));
}

TEST(ChmWriterTest, LaterFileOfTheSameNameInAnyCaseReplacesTheEarlier) {
    ChmWriter writer;
    writer.addFile("Page.htm", "old");
    writer.addFile("page.HTM", "new");
    EXPECT_EQ(writer.fileCount(), 1u);
    TempFile chm;
    writer.write(chm.path());
    ChmlibReader reader(chm.path());
    std::string bytes;
    ASSERT_TRUE(reader.read("/PAGE.htm", bytes));
    EXPECT_EQ(bytes, "new");
}

#endif // QW_HAVE_CHMLIB

TEST(ChmWriterTest, HuffmanCodesFillTheCodeSpaceWithinTheLengthLimit) {
    // Fibonacci frequencies give the deepest unlimited tree.
    std::vector<uint32_t> frequencies(40, 0);
    uint32_t a = 1, b = 1;
    for (uint32_t& f : frequencies) {
        f = a;
        const uint32_t next = a + b;
        a = b;
        b = next > 100000000 ? 100000000 : next;
    }
    for (const auto& [freqs, limit] :
         std::vector<std::pair<std::vector<uint32_t>, int>>{{frequencies, 16},
                                                            {frequencies, 7},
                                                            {{0, 0, 5, 0}, 16},
                                                            {{0, 0, 0}, 15},
                                                            {{1, 1, 1, 1, 1}, 3}}) {
        const std::vector<uint8_t> lengths = qw::chm::huffmanLengths(freqs, limit);
        double kraft = 0;
        for (size_t s = 0; s < lengths.size(); ++s) {
            EXPECT_LE(lengths[s], limit);
            if (freqs[s] != 0) {
                EXPECT_GT(lengths[s], 0) << "used symbol without a code";
            }
            if (lengths[s] != 0)
                kraft += 1.0 / static_cast<double>(1u << lengths[s]);
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0) << "the code must be complete";
    }
    // Canonical: shorter codes first; each code a prefix of none other.
    const std::vector<uint8_t> lengths = {2, 1, 3, 3};
    EXPECT_EQ(qw::chm::canonicalCodes(lengths), (std::vector<uint32_t>{0b10, 0b0, 0b110, 0b111}));
}

TEST(ChmWriterTest, EncodedIntegersUseSevenBitsAByteHighFirst) {
    std::string out;
    qw::chm::putEncodedInt(out, 0);
    qw::chm::putEncodedInt(out, 127);
    qw::chm::putEncodedInt(out, 128);
    qw::chm::putEncodedInt(out, 0x4000);
    EXPECT_EQ(out, std::string("\x00\x7F\x81\x00\x81\x80\x00", 7));
}

TEST(ChmWriterTest, DirectoryOrderIgnoresCaseLikeTheLookups) {
    EXPECT_TRUE(qw::chm::directoryNameLess("/a.htm", "/B.htm"));
    EXPECT_FALSE(qw::chm::directoryNameLess("/B.htm", "/a.htm"));
    EXPECT_TRUE(qw::chm::directoryNameLess("/#SYSTEM", "/a"));
    EXPECT_TRUE(qw::chm::directoryNameLess("/_x", "/a")); // '_' lies before the lower case
    EXPECT_FALSE(qw::chm::directoryNameLess("/ab", "/AB"));
}

} // namespace
