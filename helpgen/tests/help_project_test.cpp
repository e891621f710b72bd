#include "helpgen/help_project.h"

#include "build_test_support.h"
#include "core/ini_file.h"
#include "helpgen/project_options.h"

#include <gtest/gtest.h>

namespace qw {

using buildtest::fillTable;
using buildtest::TempFolder;

TEST(HelpProjectTest, DefaultModeWithDefaultsAndEmptyTitle) {
    const IniFile project("/docs/Guide.qwr", "");
    const std::string title = helpProjectName(project.path().string());
    const Lines expected = {
        "[OPTIONS]",
        "Auto Index=Yes",
        "Compatibility=1.1 or later",
        "Default Window=Main",
        "Full-text search=Yes",
        "Display compile progress=Yes",
        "Error log file=Guide_log.txt",
        "Compiled file=Guide.chm",
        "Contents file=Guide_toc.hhc",
        "Index file=Guide_indx.hhk",
        "Default Font=",
        "Default topic=",
        "Language=0x809 English (United Kingdom)",
        "",
        "[WINDOWS]",
        R"(Main="Guide","Guide_toc.hhc","Guide_indx.hhk",,,,,"AboutJmp.htm","About",0x1520,220,0x83006,[0,0,640,480],,,,,,,0)",
        "",
        "[FILES]"};
    EXPECT_EQ(helpProjectDefaultLines(project, title, "", false), expected);
}

TEST(HelpProjectTest, DefaultModeTakesHandAddedKeysAndWritesTheFile) {
    TempFolder tmp;
    const std::string path = tmp.dir() + "My Guide.qwr";
    writeLines(path, {"[OPTIONS]", "Default topic=intro.htm", "Language=0x407 German", "[WINDOWS]",
                      R"(Main="T","a.hhc",,,,,,,,0x20,100,0x4,[1,2,3,4],,,,,,,0)"});
    std::string title;
    writeHelpProjectDefault(IniFile(path), title, "Arial,8,0,PLAIN", true);
    EXPECT_EQ(title, "My Guide");
    const Lines lines = readLines(tmp.dir() + "My Guide.hhp");
    const Lines expected = {"[OPTIONS]",
                            "Auto Index=Yes",
                            "Compatibility=1.1 or later",
                            "Default Window=Main",
                            "Full-text search=Yes",
                            "Display compile progress=Yes",
                            "Error log file=My Guide_log.txt",
                            "Compiled file=My Guide.chm",
                            "Contents file=My Guide_toc.hhc",
                            "Index file=My Guide_indx.hhk",
                            "Default Font=Arial,8,0,PLAIN",
                            "Default topic=intro.htm",
                            "Language=0x407 German",
                            "",
                            "[WINDOWS]",
                            R"(Main="T","a.hhc",,,,,,,,0x20,100,0x4,[1,2,3,4],,,,,,,0)",
                            "",
                            "[ALIAS]",
                            "#include My Guide.ali",
                            "",
                            "[MAP]",
                            "#include My Guide.h",
                            "",
                            "[FILES]"};
    EXPECT_EQ(lines, expected);
    EXPECT_NE(readFileBytes(tmp.dir() + "My Guide.hhp").find("[FILES]\r\n"), std::string::npos);
}

TEST(HelpProjectTest, DialogModeWithDefaultTicks) {
    ProjectOptions options;
    options.load(IniFile("/docs/Guide.qwr", ""));
    options.titleBarText = "Guide Help";
    options.defaultPage = "intro.htm";
    const Lines lines = helpProjectDialogLines("Guide", options);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[9], "Index file=Guide_indx.hhk");
    // The default font name means "no font": no Default Font line at all.
    EXPECT_EQ(lines[10], "Default topic=intro.htm");
    EXPECT_EQ(lines[11], "Language=0x809 English (United Kingdom)");
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[13], "[WINDOWS]");
    EXPECT_EQ(
        lines[14],
        R"(Main="Guide Help","Guide_toc.hhc","Guide_indx.hhk","intro.htm","","","Custom","AboutJmp.htm","About",0x003520,220,0x083006,[0,0,640,480],,,,,,,0)");
    EXPECT_EQ(lines[16], "[FILES]");
}

TEST(HelpProjectTest, DialogModeWithEveryOptionalPart) {
    ProjectOptions options;
    options.setTicked(FlagBox::ShowMenu, true);
    options.setTicked(FlagBox::Forward, true);
    options.showNavIndexTab = false;
    options.createBinaryToc = true;
    options.createContextIds = true;
    options.showWinMaximised = true;
    options.toolWindowStyle = true;
    options.indentedBorder = true;
    options.setTabPosition(TabPosition::Bottom);
    options.windowLeft = "10";
    options.windowTop = "20";
    options.windowWidth = "300";
    options.windowHeight = "200";
    options.navPaneWidth = "150";
    options.customBtnPage = "c.htm";
    options.customBtnCaption = "Go";
    options.homeBtnPage = "h.htm";
    options.font = {"Tahoma", 9, true, false};
    const Lines lines = helpProjectDialogLines("G", options);
    const Lines expected = {
        "[OPTIONS]", "Auto Index=Yes", "Compatibility=1.1 or later", "Default Window=Main",
        "Full-text search=Yes", "Display compile progress=Yes", "Error log file=G_log.txt",
        "Compiled file=G.chm", "Contents file=G_toc.hhc",
        // The index file stays named even without the index tab.
        "Index file=G_indx.hhk", "Default Font=Tahoma,9,0,BOLD",
        "Default topic=", "Language=0x809 English (United Kingdom)", "Binary TOC=Yes", "",
        "[WINDOWS]",
        R"(Main="","G_toc.hhc","","","h.htm","c.htm","Go","AboutJmp.htm","About",0x013520,150,0x08300E,[10,20,310,220],0x1000000,0x280,,,,0x2,0)",
        "", "[ALIAS]", "#include G.ali", "", "[MAP]", "#include G.h", "", "[FILES]"};
    EXPECT_EQ(lines, expected);
}

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillTable(
            table, "/p/",
            {{"intro.htm", {"a.htm", "WEB:http://x.org/", "b.htm"}}, {"sub/two.htm", {"c.htm"}}});
    }
    TopicTable table;
};

TEST_F(FileListTest, KeepsTheSectionsAroundFiles) {
    const Lines before = {"[OPTIONS]", "Title=Hand edited", "[FILES]", "old.htm", "", "[INFOTYPES]",
                          "x=1",       "[TEXT POPUPS]",     "p.txt"};
    const Lines expected = {"[OPTIONS]", "Title=Hand edited", "[FILES]",   "a.htm", "b.htm",
                            "sub/c.htm", "img/pic.gif",       "extra.htm", "",      "[INFOTYPES]",
                            "x=1",       "[TEXT POPUPS]",     "p.txt"};
    EXPECT_EQ(replaceFileList(before, table, {"img\\pic.gif", "extra.htm"}), expected);
}

TEST_F(FileListTest, RefreshIsStableAndAddsAMissingSection) {
    const Lines once = replaceFileList({"[OPTIONS]", "A=1"}, table, {});
    const Lines expected = {"[OPTIONS]", "A=1", "[FILES]", "a.htm", "b.htm", "sub/c.htm", ""};
    EXPECT_EQ(once, expected);
    EXPECT_EQ(replaceFileList(once, table, {}), expected);
    // The section name is found in any case; the first one counts.
    const Lines lower = replaceFileList({"[files]", "z.htm", "[Files]", "y.htm"}, table, {});
    const Lines lowerExpected = {"[files]", "a.htm", "b.htm", "sub/c.htm", "", "[Files]", "y.htm"};
    EXPECT_EQ(lower, lowerExpected);
}

TEST_F(FileListTest, UpdateOfAMissingFileIsAnError) {
    TempFolder tmp;
    EXPECT_THROW(updateFileList(tmp.dir() + "none.hhp", table, {}), FileError);
}

TEST(ContextIdTest, NumbersNonWebTopicsAndKeepsDuplicateIds) {
    TopicTable table;
    fillTable(
        table, "/p/",
        {{"one.htm", {"a.htm", "WEB:http://x/"}}, {"sub/two.htm", {"A.HTM", "intro.page.htm"}}});
    const ContextIdFiles files = contextIdLines(table);
    EXPECT_EQ(files.aliases,
              (Lines{"IDH_A=a.htm", "IDH_A=sub/A.HTM", "IDH_INTRO.PAGE=sub/intro.page.htm"}));
    EXPECT_EQ(files.header,
              (Lines{"#define IDH_A 1001", "#define IDH_A 1002", "#define IDH_INTRO.PAGE 1003"}));
    EXPECT_EQ(files.pascal,
              (Lines{"const IDH_A=1001;", "const IDH_A=1002;", "const IDH_INTRO.PAGE=1003;"}));
}

TEST(ContextIdTest, WritesAllThreeFiles) {
    TempFolder tmp;
    TopicTable table;
    fillTable(table, tmp.dir(), {{"one.htm", {"intro.htm"}}});
    writeContextIdFiles(tmp.dir() + "G", table);
    EXPECT_EQ(readFileBytes(tmp.dir() + "G.ali"), "IDH_INTRO=intro.htm\r\n");
    EXPECT_EQ(readFileBytes(tmp.dir() + "G.h"), "#define IDH_INTRO 1001\r\n");
    EXPECT_EQ(readFileBytes(tmp.dir() + "G.pas"), "const IDH_INTRO=1001;\r\n");
}

TEST(ContextIdTest, WritesTheOthersWhenOneFails) {
    TempFolder tmp;
    TopicTable table;
    fillTable(table, tmp.dir(), {{"one.htm", {"intro.htm"}}});
    std::filesystem::create_directories(tmp.dir() + "G.h/blocked");
    EXPECT_THROW(writeContextIdFiles(tmp.dir() + "G", table), FileError);
    EXPECT_TRUE(fileExists(tmp.dir() + "G.ali"));
    EXPECT_TRUE(fileExists(tmp.dir() + "G.pas"));
}

} // namespace qw
