#include "core/printout_file.h"

#include "core/chapter_parser.h"
#include "core/topic_list_file.h"
#include "core/topic_table.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

// The example project: a first chapter "Intro" with the topics a.htm and b.htm.
TEST(PrintoutFileTest, ListAndOutlineOfTheExampleProjectByteForByte) {
    test::TempDir dir;
    TopicTable table;
    table.setProjectDir(dir.dir());
    const std::string sep = "--------------------------------------------------";
    const std::string path = dir.write(
        "intro.htm", "<html><body>\r\n" + sep + "\r\nTitle='A' FileName='a.htm'\r\n" + sep +
                         "\r\n<p>a</p>\r\n" + sep + "\r\nTitle='B' FileName='b.htm'\r\n" + sep +
                         "\r\n<p>b</p>\r\n</body></html>\r\n");
    const size_t chapterRow = table.endRow();
    ASSERT_GT(parseChapter(path, table, ParseOptions{}), 0);
    table.setCell(chapterRow, ColTitle, "Intro");

    EXPECT_EQ(writeTopicListFile(table), dir.dir() + "TopicLst.tfl");
    EXPECT_EQ(dir.read("TopicLst.tfl"), "-Intro\r\na.htm\r\nb.htm\r\n");
    dir.write("Printout.Txt", "an older, longer outline\r\nthat must go\r\nentirely\r\n");
    EXPECT_EQ(writePrintoutFile(table), dir.dir() + "Printout.Txt");
    EXPECT_EQ(dir.read("Printout.Txt"), "|\r\n|- Intro\r\n|    |- a.htm\r\n|    |- b.htm\r\n");
}

TEST(PrintoutFileTest, UnwritableOutlineThrowsTheFileError) {
    test::TempDir dir;
    TopicTable table;
    table.setProjectDir(dir.dir() + "missing/");
    EXPECT_THROW(writePrintoutFile(table), FileError);
}

} // namespace qw
