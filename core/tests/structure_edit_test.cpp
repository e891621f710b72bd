#include "core/structure_edit.h"

#include "core/chapter_parser.h"
#include "core/chapter_template.h"
#include "core/chapter_writer.h"
#include "core/environment_settings.h"
#include "core/file_names.h"
#include "core/progress.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

namespace {

std::vector<std::string> titles(const TopicTable& table) {
    std::vector<std::string> result;
    for (size_t r = 1; r < table.rowCount(); ++r)
        result.push_back(table.cell(r, ColTitle));
    return result;
}

} // namespace

class StructureEditTest : public ::testing::Test {
protected:
    void SetUp() override { table.setProjectDir(tmp.dir()); }

    /// Inserts a chapter with its topics after the chapter of row current, as the
    /// window's command does, and returns the new chapter row.
    size_t insertChapter(const std::string& name, const std::string& file, int topics,
                         size_t current) {
        const std::string path = tmp.dir() + file;
        writeNewChapterFile(table, path, env);
        size_t row = table.endRow() > 1 ? lastRowOfChapter(table, current) : 1;
        const size_t chapter = insertRowAfter(table, newChapterRow(name, path), row);
        row = chapter;
        for (int n = 1; n <= topics; ++n)
            row = insertRowAfter(table,
                                 newTopicRow(name + "_" + std::to_string(n), templatePath(),
                                             templateLines, 10, FileNameOptions{}),
                                 row);
        table.updateCounts(topics, 1);
        return chapter;
    }
    std::string templatePath() const { return newTopicTemplatePath(tmp.path()).string(); }

    test::TempDir tmp;
    TopicTable table;
    EnvironmentSettings env;
    size_t templateLines = 3;
};

TEST_F(StructureEditTest, MissingTemplateIsCreatedWithThreeLines) {
    ASSERT_FALSE(fileExists(templatePath()));
    EXPECT_EQ(ensureNewTopicTemplate(templatePath()), 3u);
    EXPECT_EQ(tmp.read("xFiles/newtopic.tem"), "<P>\r\n[[TOPIC HERE]]<BR>\r\n<P>\r\n");
    // An existing template is used as it is.
    tmp.write("xFiles/newtopic.tem", "<h1>x</h1>\n<p>\n<p>\n<p>\n<p>\n");
    EXPECT_EQ(ensureNewTopicTemplate(templatePath()), 5u);
    const Row row = newTopicRow("My  Topic", templatePath(), 5, 7, FileNameOptions{});
    EXPECT_EQ(row[ColFileName], "my_topic.htm");
    EXPECT_EQ(row[ColIcon], "7");
    EXPECT_EQ(row[ColStartLine], "0");
    EXPECT_EQ(row[ColEndLine], "4");
    EXPECT_EQ(row[ColMainFileName], templatePath());
    EXPECT_EQ(row[ColMarker], "");
}

TEST_F(StructureEditTest, NewChapterFileHoldsTheEightLines) {
    env.replaceTitleText = "@T@";
    env.replaceColorText = "#ABCDEF";
    env.replaceBgImgText = "bg.gif";
    tmp.write("old.htm", "something the author had");
    writeNewChapterFile(table, tmp.dir() + "old.htm", env);
    EXPECT_EQ(tmp.read("old.htm"),
              "<HTML>\r\n<HEAD>\r\n<TITLE>@T@</TITLE>\r\n<!-- VELUM_HeadVar -->\r\n</HEAD>\r\n"
              "<BODY BGCOLOR=\"#ABCDEF\" BACKGROUND=\"bg.gif\" QUIREW_BODY=\"\">\r\n\r\n"
              "</BODY></HTML>\r\n");
    ASSERT_NE(table.sources().find(tmp.dir() + "old.htm"), nullptr);
    EXPECT_TRUE(table.sources().changedOnDisk().empty());
}

TEST_F(StructureEditTest, ChapterWithThreeTopicsInEmptyProject) {
    ensureNewTopicTemplate(templatePath());
    const size_t chapter = insertChapter("Basics", "basics.htm", 3, 1);
    EXPECT_EQ(chapter, 1u);
    EXPECT_EQ(titles(table), (std::vector<std::string>{"Basics", "Basics_1", "Basics_2", "Basics_3",
                                                       "// End Of List //"}));
    EXPECT_TRUE(table.isChapterRow(1));
    EXPECT_EQ(table.cell(2, ColMainFileName), templatePath());
    EXPECT_EQ(table.topicCount(), 3);
    EXPECT_EQ(table.chapterCount(), 1);
}

TEST_F(StructureEditTest, RowsLandAfterTheCurrentRow) {
    ensureNewTopicTemplate(templatePath());
    insertChapter("A", "a.htm", 3, 1);
    insertChapter("B", "b.htm", 1, 5);
    // A new chapter asked for on A's middle topic lands after A's last topic.
    insertChapter("C", "c.htm", 1, 3);
    EXPECT_EQ(titles(table), (std::vector<std::string>{"A", "A_1", "A_2", "A_3", "C", "C_1", "B",
                                                       "B_1", "// End Of List //"}));
    // A topic goes just after the current row, also on a chapter row.
    EXPECT_EQ(insertRowAfter(table, newTopicRow("T", templatePath(), 3, 10, {}), 2), 3u);
    EXPECT_EQ(insertRowAfter(table, newTopicRow("U", templatePath(), 3, 10, {}), 8), 9u);
    EXPECT_EQ(titles(table), (std::vector<std::string>{"A", "A_1", "T", "A_2", "A_3", "C", "C_1",
                                                       "B", "U", "B_1", "// End Of List //"}));
}

TEST_F(StructureEditTest, PrefixAndLastRowOfChapter) {
    EXPECT_EQ(insertPrefix("Intro.htm"), "int_");
    EXPECT_EQ(insertPrefix("sub/chap.htm"), "sub_");
    EXPECT_EQ(insertPrefix("ab"), "ab_");
    ensureNewTopicTemplate(templatePath());
    insertChapter("A", "a.htm", 2, 1);
    insertChapter("B", "b.htm", 1, 1);
    EXPECT_EQ(lastRowOfChapter(table, 1), 3u);
    EXPECT_EQ(lastRowOfChapter(table, 2), 3u);
    EXPECT_EQ(lastRowOfChapter(table, 4), 5u);
}

TEST_F(StructureEditTest, DeletingAChapterRemovesItsRowsAndKeepsItsFile) {
    ensureNewTopicTemplate(templatePath());
    insertChapter("A", "a.htm", 2, 1);
    insertChapter("B", "b.htm", 3, 1);
    insertChapter("C", "c.htm", 1, 5);
    ASSERT_EQ(titles(table)[3], "B");
    EXPECT_EQ(deleteChapterRows(table, 4), 3u);
    EXPECT_EQ(titles(table),
              (std::vector<std::string>{"A", "A_1", "A_2", "C", "C_1", "// End Of List //"}));
    EXPECT_EQ(table.topicCount(), 3);
    EXPECT_EQ(table.chapterCount(), 2);
    EXPECT_TRUE(fileExists(tmp.dir() + "b.htm"));
    EXPECT_EQ(deleteChapterRows(table, 2), 0u) << "a topic row is not a chapter";
    EXPECT_EQ(table.rowCount(), 7u);
}

TEST_F(StructureEditTest, SavedNewTopicsCarryTheTemplateLines) {
    tmp.write("xFiles/newtopic.tem", "<P>\r\nBody line\r\n");
    templateLines = ensureNewTopicTemplate(templatePath());
    insertChapter("Basics", "basics.htm", 2, 1);
    insertRowAfter(table, newTopicRow("Extra", templatePath(), templateLines, 10, {}), 3);
    writeBackChapters(table, std::string(50, '-'), false, nullptr);
    // The rows now point into the chapter file.
    EXPECT_EQ(table.cell(2, ColMainFileName), tmp.dir() + "basics.htm");

    TopicTable reread;
    reread.setProjectDir(tmp.dir());
    RecordingProgress progress;
    ASSERT_EQ(loadChapter(tmp.dir() + "basics.htm", reread, ParseOptions{}, progress), 3);
    // A chapter row read alone is titled after its file; the project file keeps its title.
    EXPECT_EQ(titles(reread), (std::vector<std::string>{"basics", "Basics_1", "Basics_2", "Extra",
                                                        "// End Of List //"}));
    const Lines lines = splitLines(tmp.read("basics.htm"));
    for (size_t r = 2; r <= 4; ++r) {
        const size_t start = std::stoul(reread.cell(r, ColStartLine));
        EXPECT_EQ(reread.cell(r, ColEndLine), std::to_string(start + 1));
        EXPECT_EQ(lines[start], "<P>");
        EXPECT_EQ(lines[start + 1], "Body line");
    }
    EXPECT_EQ(lines[2], "<TITLE>_Title_</TITLE>") << "the head comes from the new chapter file";
}

TEST(NewChapterRulesTest, TopicCountFileAndName) {
    for (const auto& [text, count] : std::vector<std::pair<std::string, int>>{
             {"1", 1}, {"90", 90}, {"7", 7}, {"0", 1}, {"91", 1}, {"", 1}, {"-3", 1}, {"x", 1}})
        EXPECT_EQ(newChapterTopicCount(text), count) << text;
    EXPECT_EQ(chapterFileInProject("/p/sub/c.htm", "/p/"), "sub/c.htm");
    EXPECT_EQ(chapterFileInProject("/p2/c.htm", "/p/"), "");
    EXPECT_EQ(chapterFileInProject("/P/c.htm", "/p/"), "") << "compared with case";
    EXPECT_EQ(chapterFileInProject("/p/", "/p/"), "");
    EXPECT_EQ(chapterFileInProject("/p/Sub/C.HTML", "/p/"), "Sub/C.HTML");
    EXPECT_EQ(chapterFileInProject("/p/project.qwr", "/p/"), "") << "only HTML files";
    EXPECT_EQ(chapterNameFromFile("sub/Getting Started.htm"), "Getting Started");
    EXPECT_EQ(chapterNameFromFile("a.b.htm"), "a.b");
}

} // namespace qw
