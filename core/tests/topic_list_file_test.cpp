#include "core/topic_list_file.h"

#include "core/chapter_parser.h"
#include "core/topic_table.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

constexpr const char* kSep = "--------------------------------------------------";

std::string topic(const std::string& title, const std::string& file) {
    return std::string(kSep) + "\r\nTitle='" + title + "' FileName='" + file + "'\r\n" + kSep +
           "\r\n<p>text</p>\r\n";
}

class TopicListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.setProjectDir(dir.dir());
        addChapter("intro.htm", "Intro#first steps", topic("A", "a.htm") + topic("B", "b.htm"));
        addChapter("sub/web.htm", "Links", topic("Site", "WEB:https://example.org/x"));
    }
    void addChapter(const std::string& name, const std::string& title, const std::string& body) {
        const std::string path = dir.write(name, "<html><body>\r\n" + body + "</body></html>\r\n");
        const size_t chapterRow = table.endRow();
        ASSERT_GT(parseChapter(path, table, ParseOptions{}), 0);
        table.setCell(chapterRow, ColTitle, title);
    }
    test::TempDir dir;
    TopicTable table;
};

TEST_F(TopicListFileTest, ListsChapterTitlesAndFileNamesInTableOrder) {
    const Lines expected = {"-Intro", "a.htm", "b.htm", "-Links", "WEB:https://example.org/x"};
    EXPECT_EQ(topicListLines(table), expected);
}

TEST_F(TopicListFileTest, PrintoutIndentsTopicsUnderTheirChapter) {
    const Lines expected = {"|",
                            "|- Intro",
                            "|    |- a.htm",
                            "|    |- b.htm",
                            "|",
                            "|- Links",
                            "|    |- WEB:https://example.org/x"};
    EXPECT_EQ(printoutLines(table), expected);
}

TEST_F(TopicListFileTest, WritesTheListIntoTheProjectDirectoryReplacingTheOldOne) {
    dir.write("TopicLst.tfl", "old contents that are much longer than the new list will be\r\n"
                              "line\r\nline\r\nline\r\nline\r\nline\r\nline\r\n");
    const std::string path = writeTopicListFile(table);
    EXPECT_EQ(path, dir.dir() + "TopicLst.tfl");
    EXPECT_EQ(dir.read("TopicLst.tfl"),
              "-Intro\r\na.htm\r\nb.htm\r\n-Links\r\nWEB:https://example.org/x\r\n");
}

TEST_F(TopicListFileTest, UnwritableListThrowsTheFileError) {
    TopicTable elsewhere;
    elsewhere.setProjectDir(dir.dir() + "missing/folder/");
    EXPECT_THROW(writeTopicListFile(elsewhere), FileError);
}

} // namespace
} // namespace qw
