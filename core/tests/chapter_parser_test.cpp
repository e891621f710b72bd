#include "core/chapter_parser.h"

#include "core/progress.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace qw {

using test::block;

class ChapterParserTest : public ::testing::Test {
protected:
    int load(const std::string& name, const std::string& bytes) {
        table.setProjectDir(tmp.dir());
        return loadChapter(tmp.write(name, bytes), table, options, progress);
    }
    const std::string& cell(size_t row, int col) const { return table.cell(row, col); }

    test::TempDir tmp;
    TopicTable table;
    ParseOptions options;
    RecordingProgress progress;
    const std::string head = "<html><head><title>_Title_</title></head>\r\n<body>\r\n";
};

TEST_F(ChapterParserTest, ReadsTheBlockTheWriteBackWrites) {
    const std::string chapter =
        head + block("Title='Getting started' <br>KeyWords='start, setup ' <!-- FileName='gs.htm'"
                     " - Icon='10' - BgImage='' - BgColour='$FFFFFF' - Related=''--> ") +
        "<p>Hello</p>\r\n</body></html>\r\n";
    ASSERT_EQ(load("guide.htm", chapter), 1);
    EXPECT_EQ(cell(1, ColMarker), " >");
    EXPECT_EQ(cell(1, ColTitle), "guide");
    EXPECT_EQ(cell(2, ColTitle), "Getting started");
    EXPECT_EQ(cell(2, ColFileName), "gs.htm");
    EXPECT_EQ(cell(2, ColKeyWords), "start, setup");
    EXPECT_EQ(cell(2, ColIcon), "10");
    EXPECT_EQ(cell(2, ColStartLine), "5");
    EXPECT_EQ(cell(2, ColEndLine), "5");
    EXPECT_EQ(cell(3, ColTitle), "// End Of List //");
    EXPECT_EQ(table.statusText(), "Topics: 1 , Chapters: 1");
    EXPECT_TRUE(progress.errors().empty());
    EXPECT_EQ(progress.stepsDone(), 1);
}

TEST_F(ChapterParserTest, ReportsBadSeparatorCountsAndLeavesTheTableAlone) {
    const std::string sep(50, '-');
    EXPECT_EQ(load("none.htm", head + "<p>text</p>\r\n"), NoSeparators);
    EXPECT_EQ(load("one.htm", head + sep + "\r\ntext\r\n"), UnevenSeparators);
    EXPECT_EQ(load("missing.htm", ""), NoSeparators);
    EXPECT_EQ(loadChapter(tmp.dir() + "gone.htm", table, options, progress), ChapterNotFound);
    EXPECT_EQ(progress.errors(),
              (std::vector<std::string>{"No Valid Topic Separators: none.htm",
                                        "Uneven No. Of Topic Separators: one.htm",
                                        "No Valid Topic Separators: missing.htm",
                                        "File Not Found: gone.htm"}));
    EXPECT_EQ(table.rowCount(), 2u);
}

TEST_F(ChapterParserTest, AllowsNinetyNineTopicsAndNoMore) {
    std::string chapter = head;
    for (int i = 0; i < 99; ++i)
        chapter += block("Title='t" + std::to_string(i) + "'") + "x\r\n";
    ASSERT_EQ(load("big.htm", chapter), 99);
    EXPECT_EQ(load("bigger.htm", chapter + std::string(50, '-') + "\r\n"), TooManyTopics);
    EXPECT_EQ(load("biggest.htm", chapter + block("Title='one more'")), TooManyTopics);
    EXPECT_EQ(progress.errors().back(), "Max Number Of Files Exceded");
}

TEST_F(ChapterParserTest, FindsSeparatorsAnywhereInALineWithCase) {
    const std::string sep(50, '-');
    const std::string chapter = head + "<p>" + sep + "</p>\r\nTitle='a'\r\n<p>" + sep +
                                "</p>\r\nbody\r\n";
    EXPECT_EQ(load("mid.htm", chapter), 1);
    options.separator = "<HR>";
    EXPECT_EQ(load("hr.htm", head + "<hr>\r\nTitle='a'\r\n<hr>\r\n"), NoSeparators);
    EXPECT_EQ(load("HR.htm", head + "<HR>\r\nTitle='a'\r\n<HR>\r\n"), 1);
    options.separator = "";
    EXPECT_EQ(load("empty-sep.htm", head + "x\r\n"), NoSeparators);
}

TEST_F(ChapterParserTest, FindsKeysIgnoringCaseAcrossTheBlockLines) {
    const std::string chapter =
        head + block("title='x' <!-- ICON='3'\r\n -->keywords='  a, b  '\r\nrelated='R;r.htm'") +
        block("TITLE = 'no' FileName='f.htm' BgColour='red'") + block("Title='c' BgColour='clRed'") +
        block("Title='d' BgColour='$0000FF' Icon='99'") + block("Title='e' Icon='x'");
    ASSERT_EQ(load("keys.htm", chapter), 5);
    EXPECT_EQ(cell(2, ColTitle), "x");
    EXPECT_EQ(cell(2, ColIcon), "3");
    EXPECT_EQ(cell(2, ColKeyWords), "a, b");
    EXPECT_EQ(cell(2, ColRelated), "R;r.htm");
    EXPECT_EQ(cell(3, ColTitle), "f") << "a blank before '=' hides the key";
    EXPECT_EQ(cell(3, ColBgColour), "$FFFFFF");
    EXPECT_EQ(cell(4, ColBgColour), "clRed");
    EXPECT_EQ(cell(5, ColBgColour), "$0000FF");
    EXPECT_EQ(cell(5, ColIcon), "10");
    EXPECT_EQ(cell(6, ColIcon), "10");
}

TEST_F(ChapterParserTest, CompletesMissingTitlesAndFileNames) {
    const std::string chapter = head + block("Title='First topic'") + block("") +
                                block("FileName='setup.htm'") + block("Title='Intro#Start here'");
    ASSERT_EQ(load("chap.htm", chapter), 4);
    EXPECT_EQ(cell(2, ColFileName), "cha_first_topic.htm");
    EXPECT_EQ(cell(3, ColTitle), "chap_2");
    EXPECT_EQ(cell(3, ColFileName), "cha_chap_2.htm");
    EXPECT_EQ(cell(4, ColTitle), "setup");
    EXPECT_EQ(cell(5, ColFileName), "cha_introstart_here.htm");
}

TEST_F(ChapterParserTest, IconsAboveTheStripFallBackAndClamp) {
    options.maxIconIndex = 5;
    options.defaultTopicIcon = 7;
    const std::string chapter =
        head + block("Title='a' Icon='6'") + block("Title='b' Icon='-2'") + block("Title='c' Icon='5'");
    ASSERT_EQ(load("icons.htm", chapter), 3);
    EXPECT_EQ(cell(2, ColIcon), "5");
    EXPECT_EQ(cell(3, ColIcon), "-2");
    EXPECT_EQ(cell(4, ColIcon), "5");
}

TEST_F(ChapterParserTest, LineNumbersOfAdjacentTopicsAndTheBodyEnd) {
    const std::string chapter = head + block("Title='a'") + block("Title='b'") +
                                "one\r\n<p>quote: </BODY> in text</p>\r\ntwo\r\nlast</BODY>\r\n</HTML>";
    ASSERT_EQ(load("adj.htm", chapter), 2);
    EXPECT_EQ(cell(2, ColStartLine), "5");
    EXPECT_EQ(cell(2, ColEndLine), "4");
    EXPECT_EQ(cell(3, ColStartLine), "8");
    EXPECT_EQ(cell(3, ColEndLine), "10") << "the last </BODY> line counts";
}

TEST_F(ChapterParserTest, ChapterWithoutBodyEndEndsAtItsLastLine) {
    // The first chapter's "</BODY>" must not shorten the next chapter's last topic.
    ASSERT_EQ(load("a.htm", head + block("Title='a'") + "x\r\n</body>\r\n"), 1);
    ASSERT_EQ(load("b.htm", head + block("Title='b'") + "1\r\n2\r\n3\r\n4\r\n"), 1);
    EXPECT_EQ(cell(4, ColStartLine), "5");
    EXPECT_EQ(cell(4, ColEndLine), "8");
}

TEST_F(ChapterParserTest, RefusesTheSameChapterTwiceInAnyCase) {
    const std::string chapter = head + block("Title='a'");
    ASSERT_EQ(load("Dup.htm", chapter), 1);
    EXPECT_EQ(loadChapter(tmp.dir() + "DUP.HTM", table, options, progress), DuplicateChapter);
    EXPECT_EQ(progress.errors(), std::vector<std::string>{"Duplicate File: DUP.HTM"});
    EXPECT_EQ(table.chapterCount(), 1);
}

TEST_F(ChapterParserTest, SurvivesBinaryAndHugeLines) {
    std::string junk = head + std::string(1 << 20, 'q') + "\r\n";
    junk += block("Title='\xff\xfe\x01' Icon='0x10' BgColour=''") + std::string("\0\x80\r\r\n", 5);
    ASSERT_EQ(load("junk.htm", junk), 1);
    EXPECT_EQ(cell(2, ColTitle), "\xff\xfe") << "control characters are trimmed like blanks";
    EXPECT_EQ(cell(2, ColIcon), "10");
    EXPECT_EQ(cell(2, ColBgColour), "$FFFFFF");
}

TEST(ChapterScanTest, WholeTextSearchFindsWhatTheLineByLineWalkFinds) {
    // Pieces that make and break body ends and separators, with every kind of line end,
    // put together at random; both scans must agree on every field of the layout.
    const std::vector<std::string> pieces = {"</BODY>", "</body>", "</BoDy>",  "</bod",    "y>",
                                             "</",      "body>",   "--",       "-----",    "y",
                                             "Y",       "\r\n",    "\n",       "\r",       "text ",
                                             "<",       ">",       "</Body >", "x</body>y"};
    const std::vector<std::string> separators = {"-----", "--", "y", "</body>", "", "-\n-"};
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const size_t count = random() % 60;
        for (size_t i = 0; i < count; ++i)
            text += pieces[random() % pieces.size()];
        const std::string& separator = separators[random() % separators.size()];
        const std::vector<std::string_view> lines = splitLineViews(text);
        const ChapterLayout expected = scanChapter(lines, separator);
        const ChapterLayout found = scanChapterText(text, lines, separator);
        ASSERT_EQ(found.separators, expected.separators) << text;
        ASSERT_EQ(found.openings, expected.openings) << text;
        ASSERT_EQ(found.closings, expected.closings) << text;
        ASSERT_EQ(found.bodyEndLine, expected.bodyEndLine) << text;
    }
}

TEST(ChapterScanTest, WholeTextSearchStopsAtTheSameTooManySeparators) {
    for (const char* bodyEnd : {"", "</BODY>"}) {
        std::string text;
        for (int i = 0; i < 2 * kMaxTopicsPerChapter + 3; ++i)
            text += std::string(i == 150 ? bodyEnd : "") + "--x--\r\n";
        const std::vector<std::string_view> lines = splitLineViews(text);
        const ChapterLayout expected = scanChapter(lines, "--");
        const ChapterLayout found = scanChapterText(text, lines, "--");
        EXPECT_EQ(found.separators, TooManyTopics);
        EXPECT_EQ(found.openings, expected.openings);
        EXPECT_EQ(found.closings, expected.closings);
        EXPECT_EQ(found.bodyEndLine, expected.bodyEndLine);
    }
}

TEST(ChapterMetadataTest, ValueIsBetweenTheFirstTwoQuotesAfterTheKey) {
    EXPECT_EQ(metadataValue("Title= 'a' x", "Title="), "a");
    EXPECT_EQ(metadataValue("Title='unclosed", "Title="), "");
    EXPECT_EQ(metadataValue("SubTitle='x' Title='y'", "Title="), "x");
    EXPECT_EQ(metadataValue("nothing here", "Title="), "");
}

TEST(ChapterMetadataTest, AllKeysAtOnceGiveWhatEachKeyAloneGives) {
    const std::vector<std::string> pieces = {"Title=",
                                             "title =",
                                             "TITLE=",
                                             "SubTitle=",
                                             "FileName=",
                                             "filename='",
                                             "Icon=",
                                             "=",
                                             "==",
                                             "'",
                                             "''",
                                             " ",
                                             "x",
                                             "a'b'",
                                             "e=",
                                             "Tit",
                                             "le=",
                                             "Related=",
                                             "KeyWords='k, l '",
                                             "BgColour='$FF'"};
    const std::vector<std::string_view> keys = {
        "Title=",    "FileName=", "Icon=", "BgImage=", "BgColour=",
        "Keywords=", "Related=",  "Title", "e="};
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        std::string block;
        const size_t count = random() % 24;
        for (size_t i = 0; i < count; ++i)
            block += pieces[random() % pieces.size()];
        const std::vector<std::string> values = metadataValues(block, keys);
        ASSERT_EQ(values.size(), keys.size());
        for (size_t k = 0; k < keys.size(); ++k)
            ASSERT_EQ(values[k], metadataValue(block, keys[k])) << block << " / " << keys[k];
    }
}

} // namespace qw
