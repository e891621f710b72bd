#include "core/file_io.h"

#include "core/text_util.h"
#include "test_util.h"

#include <gtest/gtest.h>
#include <random>

namespace qw {

namespace {

/// Lines as the file layer defines them, found one character at a time.
std::vector<std::string> referenceLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> asStrings(const std::vector<std::string_view>& views) {
    return {views.begin(), views.end()};
}

} // namespace

TEST(LineSplitTest, AnyMixOfLineEndsAtAnyPositionGivesTheSameLines) {
    // Line ends on both sides of every 16-byte boundary, runs of them, a CR LF split
    // over a boundary, and texts ending with or without a line end.
    const std::vector<std::string> pieces = {
        "a", "bcdefghijklmno", "\r\n", "\n", "\r", "\n\r", "\r\r\n", "", "0123456789abcdef"};
    std::mt19937 random(11);
    std::vector<std::string_view> reused;
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        const size_t count = random() % 40;
        for (size_t i = 0; i < count; ++i)
            text += pieces[random() % pieces.size()];
        const std::vector<std::string> expected = referenceLines(text);
        ASSERT_EQ(asStrings(splitLineViews(text)), expected) << text;
        // The list reused from a longer or shorter text holds this text's lines only.
        splitLineViews(text, reused);
        ASSERT_EQ(asStrings(reused), expected) << text;
        for (const std::string_view line : reused)
            ASSERT_TRUE(line.data() >= text.data() &&
                        line.data() + line.size() <= text.data() + text.size());
        // The same lines, at the same places, from their starts alone (as a chapter's
        // kept text gives them), into a list that held other lines.
        std::vector<std::string_view> rebuilt{"stale", "lines"};
        linesFromStarts(text, lineStarts(text, reused), rebuilt);
        ASSERT_EQ(rebuilt.size(), reused.size()) << text;
        for (size_t i = 0; i < rebuilt.size(); ++i)
            ASSERT_TRUE(rebuilt[i].data() == reused[i].data() &&
                        rebuilt[i].size() == reused[i].size())
                << "line " << i << " of " << text;
    }
    EXPECT_TRUE(splitLineViews("").empty());
    EXPECT_EQ(asStrings(splitLineViews(std::string(17, '\n'))), std::vector<std::string>(17));
    EXPECT_EQ(asStrings(splitLineViews(std::string(15, 'x') + "\r\nz")),
              (std::vector<std::string>{std::string(15, 'x'), "z"}));
}

TEST(FileHoldsBytesTest, OnlyTheVeryBytesMatch) {
    test::TempDir tmp;
    // Larger than one piece read, so that differences after the first piece count.
    std::string bytes(200000, 'x');
    for (size_t i = 0; i < bytes.size(); i += 97)
        bytes[i] = char('a' + i % 26);
    const std::string path = tmp.write("f.htm", bytes);
    EXPECT_TRUE(fileHoldsBytes(path, bytes));
    for (const size_t at : {size_t(0), size_t(65535), size_t(65536), bytes.size() - 1}) {
        std::string other = bytes;
        other[at] = '#';
        EXPECT_FALSE(fileHoldsBytes(path, other)) << "differs at " << at;
    }
    EXPECT_FALSE(fileHoldsBytes(path, std::string_view(bytes).substr(0, bytes.size() - 1)))
        << "the file holds one byte more";
    EXPECT_FALSE(fileHoldsBytes(path, bytes + "y")) << "the file holds one byte less";
    EXPECT_FALSE(fileHoldsBytes(tmp.path() / "missing.htm", ""));
    EXPECT_FALSE(fileHoldsBytes(tmp.path(), "")) << "a folder holds no bytes";
    EXPECT_TRUE(fileHoldsBytes(tmp.write("empty.htm", ""), ""));
    EXPECT_FALSE(fileHoldsBytes(tmp.path() / "empty.htm", "x"));
}

TEST(ResolveCaseTest, EachPartTakesTheOneNameThatDiffersOnlyInCase) {
    test::TempDir tmp;
    namespace fs = std::filesystem;
    fs::create_directories(tmp.path() / "Images" / "Small");
    tmp.write("Images/Small/Logo.GIF", "GIF");
    tmp.write("Page.htm", "x");
    tmp.write("twice.htm", "x");
    tmp.write("TWICE.htm", "x");
    const fs::path root = tmp.path();
    EXPECT_EQ(resolveCase(root / "images/small/logo.gif"), root / "Images/Small/Logo.GIF");
    EXPECT_EQ(resolveCase(root / "Images/small/./LOGO.gif"), root / "Images/Small/./Logo.GIF");
    EXPECT_EQ(resolveCase(root / "page.HTM"), root / "Page.htm");
    // As written when it exists so, when nothing or more than one name matches, and
    // when a part that is no folder would have to be listed.
    EXPECT_EQ(resolveCase(root / "Page.htm"), root / "Page.htm");
    EXPECT_EQ(resolveCase(root / "Twice.htm"), root / "Twice.htm");
    EXPECT_EQ(resolveCase(root / "images/none.gif"), root / "images/none.gif");
    EXPECT_EQ(resolveCase(root / "page.htm/x.gif"), root / "page.htm/x.gif");
    EXPECT_EQ(resolveCase(root / ".."), root / "..");
}

TEST(ReadFileBytesTest, ReadsEveryByteOfFilesAroundTheLargeSize) {
    test::TempDir tmp;
    for (const size_t size :
         {size_t(0), size_t(1), size_t(131071), size_t(131072), size_t(300001)}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = char(i * 131 % 251);
        EXPECT_EQ(readFileBytes(tmp.write("f" + std::to_string(size), bytes)), bytes);
    }
}

TEST(ReserveMappedTest, KeepsTheTextAndMakesTheRoom) {
    for (const size_t size : {size_t(10), size_t(128 * 1024), size_t(1000003)}) {
        std::string text = "kept text";
        reserveMapped(text, size);
        EXPECT_EQ(text, "kept text");
        EXPECT_GE(text.capacity(), size);
        const char* data = text.data();
        text.append(size - text.size(), 'z');
        EXPECT_EQ(text.data(), data) << "filling the room made needs no new memory";
        EXPECT_EQ(text.substr(0, 9), "kept text");
        EXPECT_EQ(text.back(), 'z');
    }
}

} // namespace qw
