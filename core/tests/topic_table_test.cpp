#include "core/topic_table.h"

#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

using test::chapterRow;
using test::topicRow;

class TopicTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.setProjectDir("/proj/");
        table.appendChapterRows({chapterRow("/proj/intro.htm"),
                                 topicRow("Intro#Read this first", "intro.htm", "/proj/intro.htm"),
                                 topicRow("#x", "Page.htm", "/proj/intro.htm")});
        table.appendChapterRows(
            {chapterRow("/proj/sub/chap.htm"),
             topicRow("Sub page", "Page.htm", "/proj/sub/chap.htm"),
             topicRow("Manual", "WEB:../manual/page.htm", "/proj/sub/chap.htm")});
    }
    TopicTable table;
};

TEST_F(TopicTableTest, ClearedTableHasHeaderAndEndRowOnly) {
    table.clear();
    ASSERT_EQ(table.rowCount(), 2u);
    EXPECT_EQ(table.cell(0, ColTitle), "Title (#Hint)");
    EXPECT_EQ(table.cell(1, ColMarker), " >");
    EXPECT_EQ(table.cell(1, ColTitle), "");
    EXPECT_TRUE(table.topicFileList(false).empty());
}

TEST_F(TopicTableTest, EndOfListRowIsTitledOnceChaptersLoad) {
    EXPECT_EQ(table.rowCount(), 8u);
    EXPECT_EQ(table.cell(7, ColTitle), "// End Of List //");
    EXPECT_TRUE(table.isChapterRow(4));
    EXPECT_FALSE(table.isTopicRow(7));
    EXPECT_EQ(table.chapterRowOf(6), 4u);
}

TEST_F(TopicTableTest, SplitsTitleAndHintAtFirstHash) {
    EXPECT_EQ(table.displayTitle(2), "Intro");
    EXPECT_EQ(table.hint(2), "Read this first");
    EXPECT_EQ(table.displayTitle(5), "Sub page");
    EXPECT_EQ(table.hint(5), "Sub page");
    EXPECT_EQ(table.displayTitle(3), "");
    EXPECT_EQ(table.hint(3), "x");
}

TEST_F(TopicTableTest, LinkPathsUseChapterFolderExceptForWebTopics) {
    EXPECT_EQ(table.chapterFolder(2), "");
    EXPECT_EQ(table.chapterFolder(5), "sub/");
    EXPECT_EQ(table.topicLinkPath(5), "sub/Page.htm");
    EXPECT_EQ(table.topicLinkPath(6), "../manual/page.htm");
    EXPECT_EQ(table.topicFileList(true),
              (std::vector<std::string>{"intro.htm", "Page.htm", "sub/Page.htm"}));
    EXPECT_EQ(table.topicFileList(false).back(), "../manual/page.htm");
}

TEST_F(TopicTableTest, MarksRolesInFixedOrderIgnoringCase) {
    SpecialPages pages;
    pages.defaultPage = "SUB/PAGE.HTM";
    pages.welcomePage = "sub/page.htm";
    pages.copyrightPage = "intro.htm";
    pages.whatsNewPage = "../MANUAL/page.htm";
    table.markRoles(pages);
    EXPECT_EQ(table.cell(5, ColMarker), "dw");
    EXPECT_EQ(table.cell(2, ColMarker), "r");
    EXPECT_EQ(table.cell(3, ColMarker), "");
    EXPECT_EQ(table.cell(6, ColMarker), "n");
    EXPECT_EQ(table.cell(4, ColMarker), " >") << "chapter rows keep their marker";
    table.markRoles({});
    EXPECT_EQ(table.cell(5, ColMarker), "");
}

TEST_F(TopicTableTest, FindsChaptersWithoutRegardToCase) {
    EXPECT_TRUE(table.isChapterPresent("/PROJ/Intro.HTM"));
    EXPECT_FALSE(table.isChapterPresent("/proj/other.htm"));
}

TEST_F(TopicTableTest, FindsChaptersAfterEveryKindOfChange) {
    // Appended, renamed, removed and cleared chapters, each asked after the change.
    table.appendChapterRows(
        {chapterRow("/proj/third.htm"), topicRow("T", "t.htm", "/proj/third.htm")});
    EXPECT_TRUE(table.isChapterPresent("/proj/THIRD.htm"));
    table.setCell(7, ColMainFileName, "/proj/renamed.htm");
    EXPECT_FALSE(table.isChapterPresent("/proj/third.htm"));
    EXPECT_TRUE(table.isChapterPresent("/proj/renamed.htm"));
    table.removeRows(4, 3);
    EXPECT_FALSE(table.isChapterPresent("/proj/sub/chap.htm"));
    EXPECT_TRUE(table.isChapterPresent("/proj/renamed.htm"));
    table.insertRows(1, {chapterRow("/proj/first.htm")});
    EXPECT_TRUE(table.isChapterPresent("/proj/first.htm"));
    table.clear();
    EXPECT_FALSE(table.isChapterPresent("/proj/intro.htm"));
}

TEST_F(TopicTableTest, DeletesTopicsButNeverAChaptersLastTopic) {
    table.updateCounts(4, 2);
    EXPECT_EQ(table.deleteTopicRow(1), DeleteResult::RefusedChapterRow);
    EXPECT_EQ(table.deleteTopicRow(2), DeleteResult::Deleted);
    EXPECT_EQ(table.deleteTopicRow(2), DeleteResult::RefusedOnlyTopic);
    EXPECT_EQ(table.rowCount(), 7u);
    EXPECT_EQ(table.statusText(), "Topics: 3 , Chapters: 2");
    EXPECT_EQ(table.deleteTopicRow(5), DeleteResult::Deleted);
    EXPECT_EQ(table.deleteTopicRow(4), DeleteResult::RefusedOnlyTopic);
}

TEST_F(TopicTableTest, MovesRowsInFrontOfTarget) {
    table.moveRow(2, 6); // "Intro" to just before "Manual"
    EXPECT_EQ(table.cell(5, ColTitle), "Intro#Read this first");
    EXPECT_EQ(table.cell(6, ColTitle), "Manual");
    table.moveRow(5, 2);
    EXPECT_EQ(table.cell(2, ColTitle), "Intro#Read this first");
    EXPECT_EQ(table.cell(3, ColTitle), "#x");
}

class CountingObserver : public TableObserver {
public:
    void beginReset() override { ++resets; }
    void beginInsertRows(size_t, size_t count) override { inserted += int(count); }
    void cellChanged(size_t, int) override { ++cells; }
    int resets = 0, inserted = 0, cells = 0;
};

TEST_F(TopicTableTest, ObserverSeesChangesButOnlyOneResetDuringLoads) {
    CountingObserver observer;
    table.setObserver(&observer);
    table.setCell(2, ColTitle, "new");
    table.setCell(2, ColTitle, "new"); // unchanged: not told again
    table.beginReset();
    table.appendChapterRows({chapterRow("/proj/x.htm"), topicRow("t", "t.htm", "/proj/x.htm")});
    table.setCell(2, ColTitle, "other");
    table.endReset();
    EXPECT_EQ(observer.cells, 1);
    EXPECT_EQ(observer.resets, 1);
    EXPECT_EQ(observer.inserted, 0);
    table.insertRows(2, {topicRow("a", "a.htm", "/proj/intro.htm")});
    EXPECT_EQ(observer.inserted, 1);
    table.setObserver(nullptr);
}

} // namespace qw
