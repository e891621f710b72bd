#include "helpgen/chm_directory.h"

#include "build_test_support.h"
#include "chm_test_writer.h"

#include <gtest/gtest.h>

namespace qw {

using chmtest::Layout;
using chmtest::syntheticChm;

namespace {

std::vector<std::string> names(size_t count) {
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i)
        out.push_back("/page" + std::to_string(i) + ".htm");
    return out;
}

} // namespace

TEST(ChmDirectoryTest, ReadsEveryChunkOfTheChainInOrder) {
    Layout layout;
    layout.chain = {2, 0, 3, 1}; // chunks lie out of chain order in the file
    const ChmDirectory dir = readChmDirectory(syntheticChm(names(11), layout));
    ASSERT_TRUE(dir.readable()) << dir.error;
    EXPECT_EQ(dir.chainFirst, 2);
    EXPECT_EQ(dir.chainLast, 1);
    EXPECT_TRUE(dir.headerMatchesChain());
    EXPECT_EQ(dir.names, names(11));
}

TEST(ChmDirectoryTest, MendsAHeaderThatNamesTheLastChunkFirst) {
    buildtest::TempFolder tmp;
    const auto path = tmp.path() / "doc.chm";
    Layout layout;
    layout.headerFirst = 3; // what chmcmd writes: enumeration sees only chunk 3
    writeFileBytes(path, syntheticChm(names(10), layout));
    ChmDirectory before = readChmDirectory(readFileBytes(path));
    EXPECT_EQ(before.headerFirst, 3);
    EXPECT_FALSE(before.headerMatchesChain());

    const ChmCheck check = checkAndMendChm(path, {"page0.htm", "PAGE9.HTM"});
    EXPECT_TRUE(check.ok()) << check.error;
    EXPECT_TRUE(check.mended);
    const std::string mended = readFileBytes(path);
    const ChmDirectory after = readChmDirectory(mended);
    EXPECT_EQ(after.headerFirst, 0);
    EXPECT_TRUE(after.headerMatchesChain());
    // Only the header's two fields changed.
    EXPECT_EQ(mended.size(), syntheticChm(names(10)).size());
    EXPECT_EQ(mended, syntheticChm(names(10)));

    const ChmCheck again = checkAndMendChm(path, {});
    EXPECT_TRUE(again.ok());
    EXPECT_FALSE(again.mended);
}

TEST(ChmDirectoryTest, ReportsMissingFilesAndBrokenDocuments) {
    buildtest::TempFolder tmp;
    const auto path = tmp.path() / "doc.chm";
    writeFileBytes(path, syntheticChm(names(4)));
    const ChmCheck missing = checkAndMendChm(path, {"page1.htm", "gone.gif", "sub/page2.htm"});
    EXPECT_TRUE(missing.error.empty());
    EXPECT_EQ(missing.missing, (std::vector<std::string>{"gone.gif", "sub/page2.htm"}));

    writeFileBytes(path, "not a document");
    EXPECT_EQ(checkAndMendChm(path, {}).error,
              path.string() + ": not a compiled help document (no ITSF header)");
    EXPECT_FALSE(checkAndMendChm(tmp.path() / "none.chm", {}).ok());

    // A header that claims a directory far larger than the file.
    std::string huge = syntheticChm(names(4));
    huge.replace(0x50, 8, std::string(8, '\x7F'));
    writeFileBytes(path, huge);
    EXPECT_EQ(checkAndMendChm(path, {}).error,
              path.string() + ": the directory lies outside the file");

    // A chunk whose next field points back: no chain.
    std::string looped = syntheticChm(names(6), Layout{2, {}, -2});
    const size_t firstChunk = 0x78 + 0x54;
    looped[firstChunk + 512 + 0x10] = 0; // chunk 1's next -> chunk 0
    looped[firstChunk + 512 + 0x11] = looped[firstChunk + 512 + 0x12] =
        looped[firstChunk + 512 + 0x13] = 0;
    EXPECT_EQ(readChmDirectory(looped).error, "the listing chunks do not form one chain");
    // A directory that claims more chunks than the file holds.
    EXPECT_FALSE(readChmDirectory(syntheticChm(names(6)).substr(0, 0x78 + 0x54 + 100)).readable());
}

} // namespace qw
