#include "helpgen/contents_file.h"

#include "core/project_settings.h"
#include "page_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qw {
namespace {

using test::TempProject;
using test::TopicSpec;
namespace fs = std::filesystem;

const Lines kChapter = {"<body>", "x"};

class ContentsFileTest : public ::testing::Test {
protected:
    fs::path out(const std::string& name) const { return project.dir() / name; }
    Lines write() {
        writeContentsFile(project.table(), settings, out("p_toc.hhc"));
        return TempProject::generatedLines(out("p_toc.hhc"));
    }

    TempProject project{"contents"};
    ProjectSettings settings;
};

TEST_F(ContentsFileTest, TwoPlainChaptersAsGolden) {
    project.addChapter("one.htm", "First#hint", kChapter,
                       {TopicSpec("A", "a.htm", "1", "1").iconIndex("0"),
                        TopicSpec("B#b hint", "b.htm", "1", "1")});
    project.addChapter(
        "sub dir/two.htm", "Second", kChapter,
        {TopicSpec("C", "c.htm", "1", "1").iconIndex("41"), TopicSpec("D", "d.htm", "1", "1")});
    writeContentsFile(project.table(), settings, out("p_toc.hhc"));
    test::expectMatchesGolden(out("p_toc.hhc"), "contents_plain.golden");
}

TEST_F(ContentsFileTest, SpecialPagesHiddenWebTopicsAndMenuAsGolden) {
    project.addChapter("one.htm", "First", kChapter,
                       {TopicSpec("Welcome", "welcome.htm", "1", "1").roles("dw"),
                        TopicSpec("!!!Draft", "draft.htm", "1", "1").iconIndex("not a number"),
                        TopicSpec("Say \"hi\"", "WEB:https://example.org/hi", "1", "1")});
    project.addChapter("ref/two.htm", "Second", kChapter,
                       {TopicSpec("News", "news.htm", "1", "1").roles("n"),
                        TopicSpec("Legal", "legal.htm", "1", "1").roles("r"),
                        TopicSpec("Draft too", "!!!x.htm", "1", "1")});
    settings.pages.welcomePage = "welcome.htm";
    settings.pages.whatsNewPage = "ref/news.htm";
    settings.pages.copyrightPage = "REF/legal.htm"; // differs in case: listed twice
    settings.showMenu = true;
    settings.userFolders = true;
    settings.customIconsBmp = "  icons/My Icons.bmp ";
    settings.contentsOptVal = "0x800025";
    writeContentsFile(project.table(), settings, out("p_toc.hhc"));
    test::expectMatchesGolden(out("p_toc.hhc"), "contents_roles.golden");
}

TEST_F(ContentsFileTest, FirstPageOfTheContentsIsTheDefaultWhenNoneIsSet) {
    project.addChapter("one.htm", "First", kChapter,
                       {TopicSpec("!!!Draft", "draft.htm", "1", "1"),
                        TopicSpec("Legal", "legal.htm", "1", "1").roles("r"),
                        TopicSpec("Start", "start.htm", "1", "1")});
    project.addChapter("ref/two.htm", "Second", kChapter,
                       {TopicSpec("News", "news.htm", "1", "1").roles("n")});
    settings.pages.copyrightPage = "legal.htm";
    settings.pages.whatsNewPage = "ref/news.htm";
    // The what's-new page stands first in the contents, before every chapter.
    EXPECT_EQ(firstContentsTopic(project.table(), settings), "ref/news.htm");
    settings.pages.whatsNewPage.clear();
    project.table().setCell(6, ColMarker, "");
    EXPECT_EQ(firstContentsTopic(project.table(), settings), "start.htm");
    EXPECT_EQ(effectiveDefaultPage(project.table(), settings), "start.htm");
    settings.pages.defaultPage = "ref/news.htm";
    EXPECT_EQ(effectiveDefaultPage(project.table(), settings), "ref/news.htm");
}

TEST_F(ContentsFileTest, ChapterWithoutTopicsStillClosesItsList) {
    project.addChapter("empty.htm", "Empty", kChapter, {});
    project.addChapter("one.htm", "One", kChapter, {TopicSpec("A", "a.htm", "1", "1")});
    const Lines lines = write();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "\t<UL>"),
              std::count(lines.begin(), lines.end(), "\t</UL>"));
}

TEST_F(ContentsFileTest, BadIconStopsBeforeAnythingIsWritten) {
    project.addChapter("one.htm", "One", kChapter,
                       {TopicSpec("A", "a.htm", "1", "1").iconIndex("x")});
    writeFileBytes(out("p_toc.hhc"), "old");
    try {
        writeContentsFile(project.table(), settings, out("p_toc.hhc"));
        ADD_FAILURE() << "accepted";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid icon number (topic 'A')");
    }
    EXPECT_EQ(readFileBytes(out("p_toc.hhc")), "old");
}

TEST_F(ContentsFileTest, FullIndexAsGoldenAndEmptyIndexHasNoBytes) {
    project.addChapter(
        "one.htm", "One", kChapter,
        {TopicSpec("Alpha one", "a.htm", "1", "1").keys("Alpha, beta ,  ,say \"so\""),
         TopicSpec("Commas, pipes | and \"quotes\"#hint", "c.htm", "1", "1").keys("alpha")});
    project.addChapter("ref/two.htm", "Two", kChapter,
                       {TopicSpec("In a folder", "f.htm", "1", "1").keys("BETA,gamma"),
                        TopicSpec("Web", "WEB:https://example.org/w", "1", "1").keys("gamma"),
                        TopicSpec("None", "n.htm", "1", "1")});
    writeIndexFile(project.table(), out("p_indx.hhk"), true);
    test::expectMatchesGolden(out("p_indx.hhk"), "index_full.golden");
    writeIndexFile(project.table(), out("p_indx.hhk"), false);
    EXPECT_EQ(fs::file_size(out("p_indx.hhk")), 0u);
}

TEST_F(ContentsFileTest, IndexEntriesTieOnKeywordSortByTopicTitleIgnoringCase) {
    // "k" and "k=q" sort by what follows "k=": the first one's topic title, made small
    // ("zed", after "q"; as written, "ZED" would come before it).
    project.addChapter("one.htm", "One", kChapter,
                       {TopicSpec("ZED#hint", "a.htm", "1", "1").keys("k"),
                        TopicSpec("Other", "b.htm", "1", "1").keys("k=q")});
    writeIndexFile(project.table(), out("p_indx.hhk"), true);
    const std::string text = readFileBytes(out("p_indx.hhk"));
    ASSERT_NE(text.find("value=\"k\""), std::string::npos);
    EXPECT_LT(text.find("value=\"k=q\""), text.find("value=\"k\""));
}

TEST_F(ContentsFileTest, IndexKeywordsSortAsIfEndedByEquals) {
    // Without "=" in any keyword the keyword decides alone, still as if ended by "=":
    // "abc!" comes before "abc" ("!" before "="), then "abc>", "ABC?" and "abcd" (">", "?"
    // and "d" after "=").
    project.addChapter("one.htm", "One", kChapter,
                       {TopicSpec("T1", "a.htm", "1", "1").keys("abcd, abc>"),
                        TopicSpec("T2", "b.htm", "1", "1").keys("abc, ABC?"),
                        TopicSpec("T3", "c.htm", "1", "1").keys("abc!, Abc")});
    writeIndexFile(project.table(), out("p_indx.hhk"), true);
    const std::string text = readFileBytes(out("p_indx.hhk"));
    std::vector<size_t> at;
    for (const char* keyword : {"abc!", "abc", "abc>", "ABC?", "abcd"}) {
        at.push_back(text.find("name=\"Name\" value=\"" + std::string(keyword) + "\""));
        ASSERT_NE(at.back(), std::string::npos) << keyword;
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    // "Abc" joins the entry of "abc", which lists both topics.
    EXPECT_EQ(text.find("value=\"Abc\""), std::string::npos);
    const size_t abc = at[1];
    EXPECT_LT(text.find("value=\"c.htm\"", abc), at[2]);
}

TEST_F(ContentsFileTest, UnwritableFileThrows) {
    project.addChapter("one.htm", "One", kChapter, {TopicSpec("A", "a.htm", "1", "1")});
    EXPECT_THROW(writeContentsFile(project.table(), settings, out("missing/p_toc.hhc")), FileError);
    EXPECT_THROW(writeIndexFile(project.table(), out("missing/p_indx.hhk"), true), FileError);
    EXPECT_THROW(writeIndexFile(project.table(), out("missing/p_indx.hhk"), false), FileError);
}

} // namespace
} // namespace qw
