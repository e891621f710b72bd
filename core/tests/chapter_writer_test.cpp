#include "core/chapter_writer.h"

#include "core/chapter_parser.h"
#include "core/progress.h"
#include "test_util.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace qw {

using test::block;

class ChapterWriterTest : public ::testing::Test {
protected:
    void SetUp() override { table.setProjectDir(tmp.dir()); }
    int load(const std::string& name, const std::string& bytes) {
        return loadChapter(tmp.write(name, bytes), table, options, progress);
    }
    void save(bool backups = true) {
        writeBackChapters(table, options.separator, backups, nullptr);
    }
    /// The file's lines from first to last inclusive.
    Lines lines(const std::string& name, size_t first, size_t last) {
        const Lines all = splitLines(tmp.read(name));
        return Lines(all.begin() + long(first), all.begin() + long(last) + 1);
    }

    test::TempDir tmp;
    TopicTable table;
    ParseOptions options;
    RecordingProgress progress;
};

TEST_F(ChapterWriterTest, WritesTheBlockCharacterForCharacter) {
    ASSERT_EQ(load("c.htm", "<body>\r\n" + block("Title='x'")), 1);
    table.setCell(2, ColTitle, "Getting started");
    table.setCell(2, ColFileName, "gs.htm");
    table.setCell(2, ColKeyWords, "start, setup");
    const MetadataBlock b = metadataBlock(table, 2, options.separator);
    EXPECT_EQ(b.opening, std::string(50, '-') + "<font size=\"-2\"><br>");
    EXPECT_EQ(b.metadata, "Title='Getting started' <br>KeyWords='start, setup ' <!-- "
                          "FileName='gs.htm' - Icon='10' - BgImage='' - BgColour='$FFFFFF' - "
                          "Related=''--> ");
    EXPECT_EQ(b.closing, "<br></font>" + std::string(50, '-'));
    const MetadataBlock hr = metadataBlock(table, 2, "<HR>");
    EXPECT_EQ(hr.opening, "<HR><font size=\"-2\">");
    EXPECT_EQ(hr.closing, "</font><HR>");
}

TEST_F(ChapterWriterTest, UneditedSaveKeepsContentBytesAndDropsOnlyTheFrame) {
    // Real-world HTML: a multi-line body tag, tabs, Windows-1252 and UTF-8 bytes, a
    // script with quotes, text before the first topic and after the body.
    const std::string chapter =
        "<!DOCTYPE html>\r\n<html>\r\n<head><meta charset=\"windows-1252\">\r\n"
        "<title>_Title_</title></head>\r\n<body bgcolor=\"#FFFFFF\"\r\n  "
        "background=\"_BgImage_\">\r\n"
        "<p>lost intro</p>\r\n" +
        block("Title='Caf\xe9' FileName='cafe.htm' Keywords='k1, k2'") +
        "<p>\tTabbed \x93quoted\x94 text &amp; caf\xc3\xa9</p>\r\n"
        "<script>var s = 'it''s'; if (a < b) {}</script>\r\n\r\n" +
        block("Title='Second' Related='Caf\xe9;cafe.htm'") +
        "  trailing blanks   \r\n"
        "</body>\r\n</html>\r\n<!-- after -->\r\n";
    ASSERT_EQ(load("real.htm", chapter), 2);
    const Lines before = splitLines(chapter);
    save();
    const Lines after = splitLines(tmp.read("real.htm"));
    // Head: up to the line that closes the body tag, then one empty line.
    EXPECT_EQ(Lines(after.begin(), after.begin() + 6), Lines(before.begin(), before.begin() + 6));
    EXPECT_EQ(after[6], "");
    EXPECT_EQ(table.cell(2, ColStartLine), "10") << "head lines + 1 + 3";
    EXPECT_EQ(lines("real.htm", 10, 12), Lines(before.begin() + 10, before.begin() + 13));
    EXPECT_EQ(table.cell(3, ColStartLine),
              std::to_string(std::stoi(table.cell(2, ColEndLine)) + 4));
    EXPECT_EQ(lines("real.htm", 16, 16), Lines{"  trailing blanks   "});
    EXPECT_EQ(after.back(), "</BODY></HTML>");
    EXPECT_EQ(after.size(), 18u);
    EXPECT_EQ(tmp.read("real.bak"), chapter);
    EXPECT_FALSE(fileExists(tmp.path() / "real.tmp"));
    // A second save of the saved file changes nothing at all.
    const std::string once = tmp.read("real.htm");
    save();
    EXPECT_EQ(tmp.read("real.htm"), once);
    EXPECT_EQ(tmp.read("real.bak"), once) << "the backup holds the version before this save";
}

TEST_F(ChapterWriterTest, ContentLinesSurviveAnyLineEnding) {
    const std::string sep(50, '-');
    const std::string lf = "<body>\n" + sep + "\nTitle='a'\n" + sep + "\nunix line\n\tlast";
    const std::string cr = "<body>\r" + sep + "\rTitle='b'\r" + sep + "\rold mac\r\rline\r";
    ASSERT_EQ(load("lf.htm", lf), 1);
    ASSERT_EQ(load("cr.htm", cr), 1);
    save(false);
    EXPECT_EQ(lines("lf.htm", 5, 6), (Lines{"unix line", "\tlast"}));
    EXPECT_EQ(lines("cr.htm", 5, 7), (Lines{"old mac", "", "line"}));
    EXPECT_EQ(table.cell(2, ColEndLine), "6");
    EXPECT_EQ(table.cell(4, ColEndLine), "7");
}

TEST_F(ChapterWriterTest, TopicDraggedIntoAnotherChapterTakesItsLines) {
    ASSERT_EQ(load("a.htm", "<body>\r\n" + block("Title='A1'") + "a1 text\r\n" +
                                block("Title='A2'") + "a2 text\r\n"),
              2);
    ASSERT_EQ(load("b.htm", "<body>\r\n" + block("Title='B1'") + "b1 text\r\n"), 1);
    table.moveRow(3, 6); // A2 to the end of chapter b
    save(false);
    const std::string a = tmp.read("a.htm");
    const std::string b = tmp.read("b.htm");
    EXPECT_EQ(a.find("a2 text"), std::string::npos);
    EXPECT_NE(b.find("Title='A2'"), std::string::npos);
    EXPECT_LT(b.find("b1 text"), b.find("a2 text"));
    EXPECT_EQ(table.cell(5, ColMainFileName), tmp.dir() + "b.htm");
    EXPECT_FALSE(fileExists(tmp.path() / "a.bak")) << "no backups when they are off";
}

TEST_F(ChapterWriterTest, BadLineNumbersLeaveEveryChapterUntouched) {
    const std::string a = "<body>\r\n" + block("Title='A'") + "text\r\n";
    ASSERT_EQ(load("a.htm", a), 1);
    ASSERT_EQ(load("b.htm", a), 1);
    table.setCell(4, ColEndLine, "500");
    EXPECT_THROW(save(), FileError);
    EXPECT_EQ(tmp.read("a.htm"), a);
    EXPECT_EQ(tmp.read("b.htm"), a);
    table.setCell(4, ColEndLine, "x");
    EXPECT_THROW(save(), FileError);
    EXPECT_EQ(tmp.read("b.htm"), a);
}

TEST_F(ChapterWriterTest, ReadOnlyFolderFailsWithoutLosingTheChapter) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    const std::string a = "<body>\r\n" + block("Title='A'") + "text\r\n";
    ASSERT_EQ(load("a.htm", a), 1);
    std::filesystem::permissions(tmp.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_THROW(save(), FileError);
    std::filesystem::permissions(tmp.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(tmp.read("a.htm"), a);
}

TEST_F(ChapterWriterTest, NoticesChaptersChangedOrRemovedElsewhere) {
    ASSERT_EQ(load("a.htm", "<body>\r\n" + block("Title='A'")), 1);
    ChapterTimes times;
    times.record(table);
    EXPECT_FALSE(times.changed());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    tmp.write("a.htm", "<body>\r\n" + block("Title='A changed'"));
    EXPECT_TRUE(times.changed());
    times.record(table);
    EXPECT_FALSE(times.changed());
    std::filesystem::remove(tmp.path() / "a.htm");
    EXPECT_TRUE(times.changed());
}

namespace {

/// A chapter of topics content lines each, whose line ends mix CR LF with runs broken
/// by LF and lone CR; contents[t] gets topic t's content lines.
std::string mixedChapter(const std::string& tag, int topics, int lines,
                         std::vector<Lines>& contents) {
    std::string text = "<html><head><title>" + tag + "</title></head>\r\n<body bgcolor=x\n>\r\n";
    contents.assign(size_t(topics), {});
    for (int t = 0; t < topics; ++t) {
        text += block("Title='" + tag + " " + std::to_string(t) + "'");
        for (int i = 0; i < lines; ++i) {
            const std::string line = "<p>" + tag + " topic " + std::to_string(t) + " line " +
                                     std::to_string(i) + (i % 5 == 0 ? "" : " of some length");
            contents[size_t(t)].push_back(line);
            text += line + (i % 7 == 3 ? "\n" : i % 11 == 5 ? "\r" : "\r\n");
        }
    }
    return text + "</body></html>\r\n";
}

} // namespace

TEST_F(ChapterWriterTest, ChaptersOfEverySizeInTurnGetExactlyTheirOwnText) {
    // Large and small chapters in turn, so that memory left by one chapter is taken by
    // the next: each file must hold its own text, every line ended by CR LF.
    const std::vector<std::pair<std::string, int>> chapters = {
        {"big1", 60}, {"small", 2}, {"big2", 70}, {"tiny", 1}};
    std::map<std::string, std::vector<Lines>> contents;
    for (const auto& [tag, lines] : chapters)
        ASSERT_EQ(
            load(tag + ".htm", mixedChapter(tag, tag == "tiny" ? 1 : 99, lines, contents[tag])),
            tag == "tiny" ? 1 : 99);
    const auto expected = [&](const std::string& tag, size_t chapterRow) {
        std::string text =
            "<html><head><title>" + tag + "</title></head>\r\n<body bgcolor=x\r\n>\r\n\r\n";
        for (size_t t = 0; t < contents[tag].size(); ++t) {
            const MetadataBlock b = metadataBlock(table, chapterRow + 1 + t, options.separator);
            text += b.opening + "\r\n" + b.metadata + "\r\n" + b.closing + "\r\n";
            for (const std::string& line : contents[tag][t])
                text += line + "\r\n";
        }
        return text + "</BODY></HTML>\r\n";
    };
    const auto checkAll = [&] {
        for (size_t r = 1; r < table.endRow(); ++r) {
            if (!table.isChapterRow(r))
                continue;
            const std::string tag = baseNameOf(table.cell(r, ColMainFileName));
            ASSERT_EQ(tmp.read(tag + ".htm"), expected(tag, r)) << tag;
            // Each topic's line numbers point at its own lines in the saved file.
            const size_t t = 40 % contents[tag].size();
            const size_t start = std::stoul(table.cell(r + 1 + t, ColStartLine));
            const size_t end = std::stoul(table.cell(r + 1 + t, ColEndLine));
            EXPECT_EQ(lines(tag + ".htm", start, end), contents[tag][t]) << tag;
        }
    };
    save(false);
    checkAll();
    // Only the small chapter changes: the large ones before and after it are built and
    // found unchanged, the small one written.
    const size_t smallRow = 101;
    ASSERT_EQ(table.cell(smallRow, ColMainFileName), tmp.dir() + "small.htm");
    const FileState big2 = fileState(tmp.path() / "big2.htm");
    table.setCell(smallRow + 1, ColTitle, "small edited");
    save(false);
    checkAll();
    EXPECT_EQ(fileState(tmp.path() / "big2.htm"), big2) << "an unchanged chapter is not written";
    // The first large chapter changes after the others have been found unchanged once.
    table.setCell(2, ColKeyWords, "k");
    table.setCell(smallRow + 2, ColKeyWords, "k");
    save(true);
    checkAll();
    EXPECT_NE(tmp.read("big1.htm").find("KeyWords='k '"), std::string::npos);
    EXPECT_EQ(tmp.read("big1.bak").find("KeyWords='k '"), std::string::npos);
}

TEST(ChapterHeadTest, HeadEndsAtTheBodyTagsClosingBracket) {
    EXPECT_EQ(chapterHead({"<html>", "<BODY>", "text"}), (Lines{"<html>", "<BODY>"}));
    EXPECT_EQ(chapterHead({"<body", "a=1", "b=2>", "x"}), (Lines{"<body", "a=1", "b=2>"}));
    EXPECT_TRUE(chapterHead({"no body here"}).empty());
}

} // namespace qw
