#include "core/popup_text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace qw {

namespace fs = std::filesystem;

class PopupTextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("qw-popup-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

TEST_F(PopupTextFileTest, ReadsEntriesAndFontLine) {
    const PopupTextContent content =
        parsePopupText({"MyFont=\"Arial,12,,BOLD\"", "intro=\"Read me first\"", "note = \"x\"",
                        "no equals sign here", "  empty=\"\"  "});
    EXPECT_EQ(content.error, "");
    ASSERT_TRUE(content.font);
    EXPECT_EQ(*content.font, (PopupFont{"Arial", 12, true, false}));
    EXPECT_EQ(content.entries,
              (std::vector<PopupEntry>{{"intro", "Read me first"}, {"note", "x"}, {"empty", ""}}));
}

TEST_F(PopupTextFileTest, ReportsMissingOrMalformedFontButKeepsEntries) {
    PopupTextContent content = parsePopupText({"MyFont=\"Arial,12,BOLD\"", "a=\"b\""});
    EXPECT_EQ(content.error, "Error: Invalid Number of Font Parameters");
    EXPECT_FALSE(content.font);
    EXPECT_EQ(content.entries.size(), 1u);

    content = parsePopupText({"a=\"b\""});
    EXPECT_EQ(content.error, "Error: No Font Parameters Found");
    content = parsePopupText({"MyFont=\"\"", "a=b"});
    EXPECT_EQ(content.error, "Error: No Font Parameters Found");
    EXPECT_EQ(content.entries, (std::vector<PopupEntry>{{"a", "b"}}));

    // the last font line counts; "myfont" is an ordinary entry
    content = parsePopupText({"MyFont=\"A,1,,x\"", "myfont=\"q\"", "MyFont=\"Times,x,,Italic\""});
    ASSERT_TRUE(content.font);
    EXPECT_EQ(*content.font, (PopupFont{"Times", 10, false, true}));
    EXPECT_EQ(content.entries.size(), 1u);
}

TEST_F(PopupTextFileTest, WritesFontStyleAndOnlyCompleteEntries) {
    EXPECT_EQ(popupFontLine({"Helvetica", 10, true, true}), "MyFont=\"Helvetica,10,,ITALIC\"");
    EXPECT_EQ(popupFontLine({"Verdana", 9, true, false}), "MyFont=\"Verdana,9,,BOLD\"");
    EXPECT_EQ(popupFontLine({std::string(40, 'N'), 11, false, false}),
              "MyFont=\"" + std::string(31, 'N') + ",11,,PLAIN\"");
    const Lines lines = popupTextLines(
        {"Arial", 12, false, false},
        {{" intro ", " Read me first "}, {"notext", "  "}, {"", "orphan text"}, {"b", "x"}});
    EXPECT_EQ(lines, (Lines{"MyFont=\"Arial,12,,PLAIN\"", "intro=\"Read me first\"", "b=\"x\""}));
}

TEST_F(PopupTextFileTest, QuotesAndBackslashesSurviveARoundTrip) {
    const std::string text = "Type \"C:\\notes\" here";
    EXPECT_EQ(popupEntryLine("path", text), "path=\"Type &quot;C:&#92;notes&quot; here\"");
    EXPECT_EQ(popupEntryLine("two", "line one\r\nline two"), "two=\"line one  line two\"");
    const fs::path file = dir / "TxPopups.js";
    writePopupTextFile(file, {"Arial", 12, false, true}, {{"path", text}, {"plain", "ok"}});
    EXPECT_EQ(readFileBytes(file), "MyFont=\"Arial,12,,ITALIC\"\r\n"
                                   "path=\"Type &quot;C:&#92;notes&quot; here\"\r\n"
                                   "plain=\"ok\"\r\n");
    const PopupTextContent back = readPopupTextFile(file);
    EXPECT_EQ(back.entries, (std::vector<PopupEntry>{{"path", text}, {"plain", "ok"}}));
    EXPECT_EQ(*back.font, (PopupFont{"Arial", 12, false, true}));
}

TEST_F(PopupTextFileTest, AppendCreatesFileWithDefaultFontThenAppends) {
    const fs::path file = dir / "TxPopups.js";
    appendPopupEntry(file, "p1", "Hello");
    appendPopupEntry(file, "p2", "World");
    EXPECT_EQ(readFileBytes(file),
              "MyFont=\"Helvetica,10,,italic\"\r\np1=\"Hello\"\r\np2=\"World\"\r\n");

    const fs::path unterminated = dir / "other.js";
    writeFileBytes(unterminated, "MyFont=\"Arial,8,,PLAIN\"");
    appendPopupEntry(unterminated, "x", "y");
    EXPECT_EQ(readFileBytes(unterminated), "MyFont=\"Arial,8,,PLAIN\"\r\nx=\"y\"\r\n");
    EXPECT_THROW(appendPopupEntry(dir / "missing" / "TxPopups.js", "a", "b"), FileError);
    EXPECT_THROW(readPopupTextFile(dir / "none.js"), FileError);
}

TEST_F(PopupTextFileTest, FileNameAndReferenceRules) {
    EXPECT_TRUE(isPopupTextFileName("/p/TXPOPUPS.JS"));
    EXPECT_TRUE(isPopupTextFileName("txpopups.js"));
    EXPECT_FALSE(isPopupTextFileName("/p/TxPopups.js.bak"));
    EXPECT_FALSE(isPopupTextFileName("/p/popups.js"));
    for (const char* good : {"p1", "_intro", "Tide_2", "x"})
        EXPECT_TRUE(isUsablePopupReference(good)) << good;
    for (const char* bad : {"", "1st", "a.b", "new", "class", "MyFont", "a-b", "caf\xc3\xa9"})
        EXPECT_FALSE(isUsablePopupReference(bad)) << bad;
}

TEST_F(PopupTextFileTest, StepAsksOnceThenAppendsToTheChosenFile) {
    int asked = 0;
    std::vector<std::string> errors;
    std::optional<fs::path> answer = dir / "TxPopups.js";
    PopupTextStep step(
        [&] {
            ++asked;
            return answer;
        },
        [&](std::string_view message) { errors.emplace_back(message); });
    EXPECT_TRUE(step.addEntry("p1", "Hello"));
    EXPECT_TRUE(step.addEntry("p2", "Again"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(readFileBytes(dir / "TxPopups.js"),
              "MyFont=\"Helvetica,10,,italic\"\r\np1=\"Hello\"\r\np2=\"Again\"\r\n");

    fs::remove(dir / "TxPopups.js"); // gone: ask again
    answer = dir / "popups.js";
    EXPECT_FALSE(step.addEntry("p3", "x"));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(errors,
              std::vector<std::string>{"Error: Popup Text File must be named 'TxPopups.js'."});
    EXPECT_TRUE(step.chosenFile().empty());
    EXPECT_FALSE(fs::exists(dir / "popups.js"));

    answer.reset(); // cancelled
    EXPECT_FALSE(step.addEntry("p3", "x"));
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(PopupTextFileTest, StepRefusesAReferenceThatWouldBreakThePopupFile) {
    int asked = 0;
    std::vector<std::string> errors;
    PopupTextStep step(
        [&] {
            ++asked;
            return std::optional<fs::path>(dir / "TxPopups.js");
        },
        [&](std::string_view message) { errors.emplace_back(message); });
    EXPECT_FALSE(step.addEntry("a.b", "text"));
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], kUnusablePopupReference);
    EXPECT_FALSE(fs::exists(dir / "TxPopups.js"));
}

} // namespace qw
