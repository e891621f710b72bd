#include "core/cell_input.h"
#include "core/cell_text.h"
#include "core/colour_text.h"
#include "core/environment_settings.h"
#include "core/grid_menu.h"
#include "core/row_move.h"
#include "core/topic_table.h"

#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

namespace {

using test::chapterRow;
using test::topicRow;

std::vector<std::string> titles(const TopicTable& table) {
    std::vector<std::string> result;
    for (size_t r = 1; r < table.rowCount(); ++r)
        result.push_back(table.cell(r, ColTitle));
    return result;
}

} // namespace

/// Rows: 1 chapter intro, 2 A, 3 B, 4 chapter sub/chap, 5 C, 6 Web, 7 end of list.
class GridRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.setProjectDir("/proj/");
        table.appendChapterRows({chapterRow("/proj/intro.htm"),
                                 topicRow("A", "int_a.htm", "/proj/intro.htm"),
                                 topicRow("B", "int_b.htm", "/proj/intro.htm")});
        table.appendChapterRows({chapterRow("/proj/sub/chap.htm"),
                                 topicRow("C", "cha_c.htm", "/proj/sub/chap.htm"),
                                 topicRow("Web", "WEB:http://x.org/a", "/proj/sub/chap.htm")});
    }
    TopicTable table;
};

TEST_F(GridRulesTest, KeyFilterAcceptsOnlyEditableCells) {
    EXPECT_TRUE(acceptsTypedKey(table, 2, ColTitle, 'x', "A"));
    EXPECT_TRUE(acceptsTypedKey(table, 2, ColBgImage, '/', ""));
    EXPECT_TRUE(acceptsTypedKey(table, 1, ColTitle, 'x', "chapter"));
    EXPECT_FALSE(acceptsTypedKey(table, 1, ColFileName, 'x', ""));
    EXPECT_FALSE(acceptsTypedKey(table, 1, ColBgImage, 'x', ""));
    for (int column : {ColMarker, ColIcon, ColBgColour, ColKeyWords, ColRelated, ColStartLine,
                       ColEndLine, ColMainFileName})
        EXPECT_FALSE(acceptsTypedKey(table, 2, column, 'x', "")) << column;
    EXPECT_FALSE(acceptsTypedKey(table, 7, ColTitle, 'x', "// End Of List //"));
}

TEST_F(GridRulesTest, FileNameTakesOnlySafeCharactersUnlessWebAddress) {
    for (char32_t key : {U'a', U'Z', U'0', U'.', U'_', kBackspaceKey})
        EXPECT_TRUE(acceptsTypedKey(table, 2, ColFileName, key, "int_a.htm"));
    for (char32_t key : {U'-', U' ', U':', U'/', U'é'})
        EXPECT_FALSE(acceptsTypedKey(table, 2, ColFileName, key, "int_a.htm"));
    for (char32_t key : {U'-', U':', U'/'})
        EXPECT_TRUE(acceptsTypedKey(table, 6, ColFileName, key, "WEB:http"));
}

TEST(GridRulesEmptyTest, EmptyProjectRefusesEveryKey) {
    TopicTable table;
    EXPECT_FALSE(acceptsTypedKey(table, 1, ColTitle, 'x', ""));
}

TEST_F(GridRulesTest, DeleteKeyOnlyInTextColumns) {
    EXPECT_TRUE(honoursDeleteKey(ColTitle));
    EXPECT_TRUE(honoursDeleteKey(ColFileName));
    EXPECT_TRUE(honoursDeleteKey(ColBgImage));
    EXPECT_FALSE(honoursDeleteKey(ColIcon));
    EXPECT_FALSE(honoursDeleteKey(ColKeyWords));
}

TEST_F(GridRulesTest, TitleTypingMakesPrefixedFileName) {
    EnvironmentSettings env;
    table.setCell(2, ColTitle, "Getting Started#Tip");
    fileNameAfterKey(table, 2, ColTitle, env);
    EXPECT_EQ(table.cell(2, ColFileName), "int_getting_started.htm");
    table.setCell(2, ColTitle, "");
    fileNameAfterKey(table, 2, ColTitle, env);
    EXPECT_EQ(table.cell(2, ColFileName), "");
}

TEST_F(GridRulesTest, FileNameStaysForWebTopicOtherColumnOrSwitchOff) {
    EnvironmentSettings env;
    table.setCell(6, ColTitle, "Renamed");
    fileNameAfterKey(table, 6, ColTitle, env);
    EXPECT_EQ(table.cell(6, ColFileName), "WEB:http://x.org/a");
    table.setCell(2, ColTitle, "New");
    fileNameAfterKey(table, 2, ColBgImage, env);
    EXPECT_EQ(table.cell(2, ColFileName), "int_a.htm");
    env.autoRecalcTopicFN = false;
    fileNameAfterKey(table, 2, ColTitle, env);
    EXPECT_EQ(table.cell(2, ColFileName), "int_a.htm");
}

TEST_F(GridRulesTest, TemplateTopicTakesChapterFilePrefix) {
    EnvironmentSettings env;
    table.setCell(5, ColMainFileName, "/proj/sub/newtopic.tem");
    table.setCell(5, ColTitle, "Fresh");
    fileNameAfterKey(table, 5, ColTitle, env);
    EXPECT_EQ(table.cell(5, ColFileName), "cha_fresh.htm");
}

TEST_F(GridRulesTest, StatusTextFollowsRowAndColumn) {
    EXPECT_EQ(cellStatusText(table, 2, ColTitle),
              "Press F2 To Edit. Right-Click To Insert/Delete Topics & Set/Disable Special Topic");
    EXPECT_EQ(cellStatusText(table, 2, ColBgColour),
              "Double Click To Set/Change The Background Colour");
    EXPECT_EQ(cellStatusText(table, 2, ColRelated),
              "Double Click Cell To View And Edit Related Topics");
    EXPECT_EQ(cellStatusText(table, 2, ColIcon), "");
    EXPECT_EQ(cellStatusText(table, 4, ColTitle),
              "Press F2 To Edit. Chapter Filename: sub/chap.htm");
    EXPECT_EQ(cellStatusText(table, 4, ColIcon), "Chapter Filename: sub/chap.htm");
    EXPECT_EQ(cellStatusText(table, 7, ColTitle), "");
}

TEST(RelativeLinkTest, ClimbsOutOfTheBaseFolders) {
    EXPECT_EQ(relativeLink("c:\\p\\img\\a.gif", "c:\\p\\chap\\c1.htm"), "../img/a.gif");
    EXPECT_EQ(relativeLink("c:\\p\\chap\\img\\a.gif", "c:\\p\\chap\\c1.htm"), "img/a.gif");
    EXPECT_EQ(relativeLink("/p/a.gif", "/p/x/y/c.htm"), "../../a.gif");
    EXPECT_EQ(relativeLink("/P/Img/Logo.GIF", "/p/c.htm"), "Img/Logo.GIF");
    // A common part that ends inside a folder name is cut back to the folder.
    EXPECT_EQ(relativeLink("/p/chapter2/a.gif", "/p/chap/c.htm"), "../chapter2/a.gif");
}

TEST_F(GridRulesTest, BackgroundImageMustLieInProject) {
    const ImagePick inside = pickBackgroundImage(table, 5, "/proj/images/bg.gif");
    EXPECT_TRUE(inside.accepted);
    EXPECT_EQ(inside.cell, "../images/bg.gif");
    const ImagePick outside = pickBackgroundImage(table, 5, "/other/bg.gif");
    EXPECT_FALSE(outside.accepted);
    EXPECT_EQ(outside.message, "Please select an Image in the same directory,\r\nor a "
                               "sub-directory of the Project. (i.e. in a Relative Path).");
}

TEST_F(GridRulesTest, MenuShowsTopicItemsWithChecksAndSetAllCaptions) {
    table.setCell(3, ColMarker, "dw");
    const GridMenuState state = fitGridMenu(table, 3, ColIcon, -1, true);
    EXPECT_TRUE(state.topicItems);
    EXPECT_FALSE(state.chapterItems);
    EXPECT_TRUE(state.specialChecked[0]);
    EXPECT_TRUE(state.specialChecked[1]);
    EXPECT_FALSE(state.specialChecked[2]);
    EXPECT_TRUE(state.setAllItems);
    EXPECT_EQ(state.setAllCaption, "Set ALL Icons As");
    EXPECT_EQ(state.chapterEndCaption, "Set All Icons To Chapter End As");
    EXPECT_EQ(state.chapterEndStatus,
              "Set The Icons For The Remaining Topics In This Chapter To The Currently Selected");
    EXPECT_TRUE(state.copyEnabled);
    EXPECT_FALSE(state.pasteEnabled);
    EXPECT_EQ(fitGridMenu(table, 3, ColBgColour, -1, true).setAllStatus,
              "Set The Background Colours For ALL Topics To The Currently Selected");
    EXPECT_FALSE(fitGridMenu(table, 3, ColTitle, -1, true).setAllItems);
}

TEST_F(GridRulesTest, MenuOnChapterRowAllowsCopyOnlyInTitle) {
    const GridMenuState title = fitGridMenu(table, 1, ColTitle, ColTitle, true);
    EXPECT_TRUE(title.chapterItems);
    EXPECT_FALSE(title.topicItems);
    EXPECT_TRUE(title.copyEnabled);
    EXPECT_TRUE(title.pasteEnabled);
    const GridMenuState other = fitGridMenu(table, 1, ColKeyWords, ColKeyWords, true);
    EXPECT_FALSE(other.copyEnabled);
    EXPECT_FALSE(other.pasteEnabled);
    EXPECT_FALSE(other.setAllItems);
    EXPECT_TRUE(fitGridMenu(table, 7, ColTitle, -1, true).chapterItems);
}

TEST_F(GridRulesTest, PasteOnlyIntoTheCopiedColumnOfAuthorCells) {
    EXPECT_TRUE(fitGridMenu(table, 3, ColKeyWords, ColKeyWords, true).pasteEnabled);
    EXPECT_FALSE(fitGridMenu(table, 3, ColKeyWords, ColRelated, true).pasteEnabled);
    EXPECT_FALSE(fitGridMenu(table, 3, ColKeyWords, -1, true).pasteEnabled);
    for (int column : {ColMarker, ColStartLine, ColEndLine, ColMainFileName})
        EXPECT_FALSE(fitGridMenu(table, 3, column, column, true).pasteEnabled) << column;
}

TEST_F(GridRulesTest, SetAllSkipsChapterAndEndRows) {
    table.setCell(2, ColIcon, "7");
    setAllTopics(table, 2, ColIcon);
    for (size_t r : {2u, 3u, 5u, 6u})
        EXPECT_EQ(table.cell(r, ColIcon), "7") << r;
    for (size_t r : {1u, 4u, 7u})
        EXPECT_EQ(table.cell(r, ColIcon), "") << r;
}

TEST_F(GridRulesTest, SetToChapterEndStopsAtNextChapter) {
    table.setCell(5, ColBgColour, "clRed");
    EXPECT_EQ(setToChapterEnd(table, 5, ColBgColour), 6u);
    EXPECT_EQ(table.cell(6, ColBgColour), "clRed");
    EXPECT_EQ(table.cell(7, ColBgColour), "");
    table.setCell(2, ColBgColour, "clAqua");
    EXPECT_EQ(setToChapterEnd(table, 2, ColBgColour), 3u);
    EXPECT_EQ(table.cell(3, ColBgColour), "clAqua");
    EXPECT_EQ(table.cell(5, ColBgColour), "clRed");
}

TEST_F(GridRulesTest, TopicMovesIntoAnotherChapter) {
    const RowMoveResult result = dragRow(table, 2, 5);
    EXPECT_TRUE(result.moved);
    EXPECT_FALSE(result.refused);
    EXPECT_EQ(titles(table), (std::vector<std::string>{"chapter", "B", "chapter", "C", "A", "Web",
                                                       "// End Of List //"}));
}

TEST_F(GridRulesTest, RefusedMovesAreUndone) {
    const auto before = titles(table);
    table.removeRows(3, 1); // intro keeps only A
    const auto single = titles(table);
    EXPECT_TRUE(dragRow(table, 2, 4).refused) << "only topic of its chapter";
    EXPECT_EQ(titles(table), single);
    EXPECT_TRUE(dragRow(table, 4, 1).refused) << "topic before the first chapter";
    EXPECT_EQ(titles(table), single);
    const RowMoveResult chapter = dragRow(table, 3, 4);
    EXPECT_TRUE(chapter.refused);
    EXPECT_TRUE(chapter.moveChapters);
    EXPECT_EQ(titles(table), single);
    EXPECT_FALSE(dragRow(table, 3, 1).moveChapters);
    EXPECT_NE(before, single);
}

TEST_F(GridRulesTest, DropOnEndOfListIsRefusedWithoutMoving) {
    const auto before = titles(table);
    const RowMoveResult onEnd = dragRow(table, 2, table.endRow());
    EXPECT_TRUE(onEnd.refused);
    EXPECT_FALSE(onEnd.moved);
    EXPECT_FALSE(onEnd.moveChapters);
    EXPECT_TRUE(dragRow(table, 5, table.endRow() + 1).refused) << "below the list";
    EXPECT_TRUE(dragRow(table, 4, table.endRow()).refused) << "a chapter row, too";
    EXPECT_FALSE(dragRow(table, 4, table.endRow()).moveChapters);
    EXPECT_EQ(titles(table), before);
    EXPECT_FALSE(dragRow(table, 2, table.endRow(), {false, true}).refused)
        << "the program's own row operations are never refused";
}

TEST_F(GridRulesTest, ProgramMovesAreNotChecked) {
    EXPECT_TRUE(dragRow(table, 4, 2, {true, false}).moved);
    EXPECT_EQ(table.cell(2, ColMainFileName), "/proj/sub/chap.htm");
    EXPECT_FALSE(dragRow(table, 99, 2).moved);
}

TEST(CellTextTest, DecodesAndEncodesWindows1252) {
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")) << "surrogate";
    EXPECT_EQ(windows1252ToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    std::string bytes;
    ASSERT_TRUE(utf8ToWindows1252("caf\xC3\xA9 \xE2\x82\xAC", bytes));
    EXPECT_EQ(bytes, "caf\xE9 \x80");
    EXPECT_FALSE(utf8ToWindows1252("\xE2\x98\x83", bytes)) << "snowman has no 1252 form";
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    ASSERT_TRUE(utf8ToWindows1252(windows1252ToUtf8(all), bytes));
    EXPECT_EQ(bytes, all);
}

} // namespace qw

namespace qw {

TEST(ColourTextTest, ReadsNamesAndBlueGreenRedHex) {
    EXPECT_EQ(parseColourText("clRed"), (Rgb{255, 0, 0}));
    EXPECT_EQ(parseColourText("CLAQUA"), (Rgb{0, 255, 255}));
    EXPECT_EQ(parseColourText("$0000FF"), (Rgb{255, 0, 0}));
    EXPECT_EQ(parseColourText("$00C0DCA0"), (Rgb{0xA0, 0xDC, 0xC0}));
    EXPECT_FALSE(parseColourText("red"));
    EXPECT_FALSE(parseColourText("$"));
    EXPECT_FALSE(parseColourText("$12G"));
    EXPECT_FALSE(parseColourText("$1234567890"));
}

TEST(ColourTextTest, WritesBasicNamesElseEightHexDigits) {
    EXPECT_EQ(colourText({255, 255, 255}), "clWhite");
    EXPECT_EQ(colourText({0, 0, 128}), "clNavy");
    EXPECT_EQ(colourText({0xA0, 0xDC, 0xC0}), "$00C0DCA0");
    EXPECT_EQ(colourText({1, 2, 3}), "$00030201");
}

} // namespace qw
