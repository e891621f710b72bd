#include "core/file_names.h"

#include "core/topic_table.h"

#include <gtest/gtest.h>

namespace qw {

TEST(FileNameRuleTest, KeepsSafeCharactersAndFoldsBlanks) {
    const FileNameOptions on;
    EXPECT_EQ(fileNameRule("My  First Topic.htm", on), "my_first_topic.htm");
    EXPECT_EQ(fileNameRule("Q&A - Part 2.htm", on), "qa__part_2.htm");
    EXPECT_EQ(fileNameRule("Caf\xc3\xa9 #1.htm", on), "caf_1.htm");
    EXPECT_EQ(fileNameRule("   ", on), "_");
    EXPECT_EQ(fileNameRule(" lead", on), "_lead");
    const FileNameOptions off{false, false, false};
    EXPECT_EQ(fileNameRule("My Topic.htm", off), "My Topic.htm");
}

class FileNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.setProjectDir("/p/");
        Row chapter;
        chapter[ColMarker] = " >";
        chapter[ColMainFileName] = "/p/overview.htm";
        Row topic;
        topic[ColMainFileName] = "/p/overview.htm";
        std::vector<Row> rows = {chapter};
        for (const char* title : {"Intro#Start here", "Second", "Third", "Web"}) {
            topic[ColTitle] = title;
            rows.push_back(topic);
        }
        table.appendChapterRows(rows);
        table.setCell(5, ColFileName, "WEB:a-b.htm");
    }
    void setNames(std::initializer_list<const char*> names) {
        size_t r = 2;
        for (const char* n : names)
            table.setCell(r++, ColFileName, n);
    }
    TopicTable table;
    FileNameOptions options;
};

TEST_F(FileNamesTest, RecalculationUsesPrefixAndDisplayTitleButNotWebTopics) {
    recalculateTopicFileNames(table, options);
    EXPECT_EQ(table.cell(2, ColFileName), "ove_intro.htm");
    EXPECT_EQ(table.cell(3, ColFileName), "ove_second.htm");
    EXPECT_EQ(table.cell(5, ColFileName), "WEB:a-b.htm");
    options.addPrefix = false;
    recalculateTopicFileNames(table, options);
    EXPECT_EQ(table.cell(2, ColFileName), "intro.htm");
}

TEST_F(FileNamesTest, TypingNamesFromTheDisplayTitle) {
    nameWhileTyping(table, 2, "", options);
    EXPECT_EQ(table.cell(2, ColFileName), "ove_intro.htm");
    nameWhileTyping(table, 3, "my_", options);
    EXPECT_EQ(table.cell(3, ColFileName), "my_second.htm");
    table.setCell(4, ColTitle, "  ");
    nameWhileTyping(table, 4, "", options);
    EXPECT_EQ(table.cell(4, ColFileName), "_") << "blank title: no prefix, no extension";
    nameWhileTyping(table, 1, "", options);
    EXPECT_EQ(table.cell(1, ColFileName), "") << "chapter rows are left alone";
}

TEST_F(FileNamesTest, NormalisationFillsTrimsAndFixesExtensions) {
    setNames({" page.htm ", "page2.HTML", ""});
    normaliseTopicFileNames(table, options);
    EXPECT_EQ(table.cell(2, ColFileName), "page.htm");
    EXPECT_EQ(table.cell(3, ColFileName), "page2.htm");
    EXPECT_EQ(table.cell(4, ColFileName), "ove_third.htm");
    setNames({"noext", "dir.x\\name", "a.b.htm"});
    normaliseTopicFileNames(table, options);
    EXPECT_EQ(table.cell(2, ColFileName), "noext.htm");
    EXPECT_EQ(table.cell(3, ColFileName), "dir.x\\name.htm");
    EXPECT_EQ(table.cell(4, ColFileName), "a.b.htm");
}

TEST_F(FileNamesTest, CheckRefusesForbiddenCharactersFirst) {
    setNames({"ok.htm", "My Topic.htm", "ok.htm"});
    const CheckFinding f = checkProject(table, options);
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.message, "Invalid Character Found in Filename 'My Topic.htm'\r\n"
                         "Please correct Creating the HTMLHelp eDocument.");
    EXPECT_EQ(f.row, 3u);
    EXPECT_EQ(f.column, int(ColFileName));
}

TEST_F(FileNamesTest, CheckFindsDuplicatesWithoutRegardToCase) {
    setNames({"Page.htm", "other.htm", "page.htm"});
    const CheckFinding f = checkProject(table, options);
    EXPECT_EQ(f.message, "Warning: Duplicate FileName, 'page.htm', Found.\r\n"
                         "Please Correct Before Creating HTMLHelp eDocument.");
    EXPECT_EQ(f.row, 4u);
    setNames({"a.htm", "WEB:a-b.htm", "c.htm"});
    EXPECT_EQ(checkProject(table, options).row, 5u) << "web topics count as duplicates";
    setNames({"a.htm", "b.htm", "c.htm"});
    EXPECT_TRUE(checkProject(table, options).ok) << "a web topic may contain '-'";
}

TEST_F(FileNamesTest, CheckRefusesAPageThatWouldOverwriteAChapter) {
    setNames({"a.htm", "OVERVIEW.htm", "c.htm"});
    const CheckFinding f = checkProject(table, options);
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.row, 3u);
    EXPECT_EQ(f.message, "Warning: FileName, 'OVERVIEW.htm', would overwrite a Chapter file.\r\n"
                         "Please Correct Before Creating HTMLHelp eDocument.");
}

} // namespace qw
