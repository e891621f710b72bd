#include "helpgen/code_page.h"

#include "build_test_support.h"

#include <gtest/gtest.h>

namespace qw {

TEST(CodePageTest, LanguagesGiveTheirWindowsCodePages) {
    const std::pair<uint32_t, int> cases[] = {
        {0x809, 1252}, {0x409, 1252}, {0x407, 1252}, {0x419, 1251}, {0x422, 1251},
        {0x402, 1251}, {0xC1A, 1251}, {0x41A, 1250}, {0x415, 1250}, {0x405, 1250},
        {0x408, 1253}, {0x41F, 1254}, {0x40D, 1255}, {0x401, 1256}, {0x426, 1257},
        {0x42A, 1258}, {0x41E, 874},  {0x411, 932},  {0x804, 936},  {0x404, 950}};
    for (const auto& [language, codePage] : cases)
        EXPECT_EQ(CodePage::forLanguage(language).number(), codePage) << std::hex << language;
    EXPECT_EQ(CodePage(1251).charsetName(), "windows-1251");
    EXPECT_EQ(CodePage(936).charsetName(), "gb2312");
}

TEST(CodePageTest, EncodesUtf8InEachTable) {
    EncodeReport report;
    EXPECT_EQ(CodePage(1252).encode("Zürich – 5 €", true, report), "Z\xFCrich \x96 5 \x80");
    EXPECT_EQ(CodePage(1251).encode("Привет, мир", true, report),
              "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0");
    EXPECT_EQ(CodePage(1250).encode("Łódź", true, report), "\xA3\xF3\x64\x9F");
    EXPECT_EQ(CodePage(1253).encode("Ωμέγα", true, report), "\xD9\xEC\xDD\xE3\xE1");
    EXPECT_TRUE(report.clean());
    // Decoding gives the same text back.
    EXPECT_EQ(CodePage(1251).decode("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(CodePage(1252).decode("Z\xFCrich \x80"), "Zürich €");
}

TEST(CodePageTest, CharactersOutsideTheCodePageBecomeReferencesOrQuestionMarks) {
    EncodeReport report;
    EXPECT_EQ(CodePage(1252).encode("Zürich Привет", true, report),
              "Z\xFCrich &#1055;&#1088;&#1080;&#1074;&#1077;&#1090;");
    EXPECT_EQ(report.referenced, 6u);
    EXPECT_EQ(report.replaced, 0u);
    EXPECT_EQ(CodePage(1251).encode("Grüße 😀", false, report), "Gr??e ?");
    EXPECT_EQ(report.replaced, 3u);
    EXPECT_EQ(report.firstReplaced, "ü");
    // A code page without a table of ours keeps ASCII and refers to everything else.
    EncodeReport east;
    EXPECT_EQ(CodePage(932).encode("a日b", true, east), "a&#26085;b");
    EXPECT_EQ(east.referenced, 1u);
}

TEST(CodePageTest, TextThatIsNotUtf8IsReadAsWindows1252) {
    EXPECT_FALSE(isValidUtf8("Z\xFCrich"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));     // cut short
    EXPECT_TRUE(isValidUtf8("Zürich \xF0\x9F\x98\x80"));
    EncodeReport report;
    // ü and € as Windows-1252 bytes: the same bytes in 1252, references in 1251.
    EXPECT_EQ(CodePage(1252).encode("Z\xFCrich \x80", true, report), "Z\xFCrich \x80");
    EXPECT_EQ(CodePage(1251).encode("Z\xFCrich \x80", true, report), "Z&#252;rich \x88");
    // Bytes that Windows-1252 leaves undefined pass through.
    EXPECT_EQ(CodePage(1252).encode("a\x81", true, report), "a\x81");
}

TEST(CodePageTest, ReadsTheLanguageOfTheHelpProject) {
    EXPECT_EQ(helpProjectLanguage({"[OPTIONS]", "Language=0x419 Russian", "[FILES]"}), 0x419u);
    EXPECT_EQ(helpProjectLanguage({"[OPTIONS]", "Language=0x407"}), 0x407u);
    EXPECT_EQ(helpProjectLanguage({"[FILES]", "Language=0x419"}), 0x809u);
    EXPECT_EQ(helpProjectLanguage({"[OPTIONS]", "Language=Russian"}, 0x409), 0x409u);
}

TEST(CodePageTest, PagesGetReferencesOutsideScriptsAndTheirCharsetRenamed) {
    Lines page = {"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=utf-8\">",
                  "<title>Москва</title></head><body>",
                  "<p>Zürich und Москва</p><script>var s = 'Zürich';",
                  "alert('Москва');</script><p>Grüße</p>"};
    EncodeReport report;
    encodePage(page, CodePage(1251), report);
    const Lines expected = {
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=windows-1251\">",
        "<title>\xCC\xEE\xF1\xEA\xE2\xE0</title></head><body>",
        "<p>Z&#252;rich und \xCC\xEE\xF1\xEA\xE2\xE0</p><script>var s = 'Z?rich';",
        "alert('\xCC\xEE\xF1\xEA\xE2\xE0');</script><p>Gr&#252;&#223;e</p>"};
    EXPECT_EQ(page, expected);
    EXPECT_EQ(report.referenced, 3u);
    EXPECT_EQ(report.replaced, 1u);
}

TEST(CodePageTest, PagesWithoutACharsetGetOneAndAsciiPagesStayAsTheyAre) {
    const std::string meta =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">";
    Lines page = {"<!-- a -->", "<html><HEAD lang=\"ru\"><title>Мир</title></head>", "<p>x</p>"};
    EncodeReport report;
    encodePage(page, CodePage(1251), report);
    EXPECT_EQ(page[1], "<html><HEAD lang=\"ru\">" + meta + "<title>\xCC\xE8\xF0</title></head>");
    Lines headless = {"<!-- a -->", "<!-- b -->", "<p>Мир</p>"};
    encodePage(headless, CodePage(1251), report);
    EXPECT_EQ(headless, (Lines{"<!-- a -->", "<!-- b -->", meta, "<p>\xCC\xE8\xF0</p>"}));
    const Lines ascii = {"<html><head><meta charset=\"utf-8\"></head>", "<p>plain</p>"};
    Lines same = ascii;
    encodePage(same, CodePage(1251), report);
    EXPECT_EQ(same, ascii);
    EXPECT_TRUE(report.clean());
}

TEST(CodePageTest, EncodesAFileAndKeepsLinesAlreadyInACodePage) {
    buildtest::TempFolder tmp;
    const auto path = tmp.path() / "x.hhp";
    writeFileBytes(path, "Title=Москва\r\nTitle=\xCC\xEE\xF1\r\nplain\r\n");
    EncodeReport report = encodeFile(path, CodePage(1251), false, true);
    EXPECT_EQ(readFileBytes(path),
              "Title=\xCC\xEE\xF1\xEA\xE2\xE0\r\nTitle=\xCC\xEE\xF1\r\nplain\r\n");
    EXPECT_TRUE(report.clean());
    // Read as Windows-1252 instead, the line in 1251 would become other letters.
    writeFileBytes(path, "a\xFC\r\n");
    report = encodeFile(path, CodePage(1251), true);
    EXPECT_EQ(readFileBytes(path), "a&#252;\r\n");
    EXPECT_EQ(report.referenced, 1u);
}

} // namespace qw
