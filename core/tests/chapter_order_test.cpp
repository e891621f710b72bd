#include "core/chapter_order.h"

#include "core/chapter_parser.h"
#include "core/progress.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

using test::block;

namespace {

std::vector<std::string> titles(const std::vector<ChapterEntry>& entries) {
    std::vector<std::string> result;
    for (const ChapterEntry& entry : entries)
        result.push_back(entry.title);
    return result;
}

} // namespace

TEST(ChapterOrderTest, UpDownAndDeleteFollowTheSelection) {
    std::vector<ChapterEntry> list{{"A", "/a"}, {"B", "/b"}, {"C", "/c"}};
    EXPECT_EQ(moveChapterUp(list, 0), 0) << "nothing above the first";
    EXPECT_EQ(moveChapterDown(list, 2), 2) << "nothing below the last";
    EXPECT_EQ(titles(list), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(moveChapterUp(list, 2), 1);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"A", "C", "B"}));
    EXPECT_EQ(moveChapterDown(list, 0), 1);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(list[1].path, "/a") << "the path travels with the title";
    EXPECT_EQ(deleteChapterEntry(list, 0), 0) << "the first removed: the new first";
    EXPECT_EQ(deleteChapterEntry(list, 1), 0);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"A"}));
    EXPECT_EQ(deleteChapterEntry(list, 0), 0) << "the last chapter stays";
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(moveChapterUp(list, -1), -1) << "nothing selected";
}

TEST(ChapterOrderTest, ReloadLoadsInListOrderWithTheListedTitles) {
    test::TempDir tmp;
    TopicTable table;
    table.setProjectDir(tmp.dir());
    const std::string a = tmp.write("a.htm", "<body>\r\n" + block("Title='A1'") + "x\r\n" +
                                                 block("Title='A2'") + "y\r\n</body>\r\n");
    const std::string b =
        tmp.write("b.htm", "<body>\r\n" + block("Title='B1'") + "z\r\n</body>\r\n");
    RecordingProgress progress;
    ParseOptions options;
    loadChapter(a, table, options, progress);
    loadChapter(b, table, options, progress);
    table.setCell(1, ColTitle, "Edited A");
    std::vector<ChapterEntry> entries = chapterEntries(table);
    ASSERT_EQ(titles(entries), (std::vector<std::string>{"Edited A", "b"}));
    moveChapterDown(entries, 0);
    // A chapter whose file is gone is reported and takes no other chapter's title.
    entries.insert(entries.begin(), {"Gone", tmp.dir() + "gone.htm"});
    reloadChapters(table, entries, options, progress);
    std::vector<std::string> rows;
    for (size_t r = 1; r < table.rowCount(); ++r)
        rows.push_back(table.cell(r, ColTitle));
    EXPECT_EQ(rows,
              (std::vector<std::string>{"b", "B1", "Edited A", "A1", "A2", "// End Of List //"}));
    EXPECT_EQ(table.topicCount(), 3);
    EXPECT_EQ(table.chapterCount(), 2);
    EXPECT_TRUE(progress.hasErrors());
}

} // namespace qw
