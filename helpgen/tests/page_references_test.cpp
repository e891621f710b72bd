#include "helpgen/page_references.h"

#include "build_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace qw {

TEST(PageReferencesTest, FindsLocalReferencesOfEveryKind) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {R"(<img SRC="images/a.gif" alt="x"><a href='b.htm#part'>b</a>)",
         {"images/a.gif", "b.htm"}},
        {R"(<body background=paper.gif bgcolor="#FFFFFF">)", {"paper.gif"}},
        {R"(<div style="background: url('tile.png') repeat">)", {"tile.png"}},
        {R"(<style>li { list-style-image: URL(dot.gif) }</style>)", {"dot.gif"}},
        {R"(<a href="http://x.org/a.gif">, <a href="mailto:a@b">, <a href="#top">)", {}},
        {R"x(<a href="javascript:go()">, <img src="/abs.gif">, <img src="C:\x.gif">)x", {}},
        {R"(<script>img.src = 'a' + n + '.gif';</script><a href="ok.htm?q=1">)", {"ok.htm"}},
        {R"(<p>a=b and hrefs = "no"</p>)", {}},
        {R"(<object data="movie.swf"></object>)", {"movie.swf"}},
        // A colon after the first "/" or after "?" or "#" is no scheme; blanks round the
        // path go.
        {R"(<img src="dir/a:b.gif"><a href="p.htm?x:y"><a href=" q r.htm #s:t">)",
         {"dir/a:b.gif", "p.htm", "q r.htm"}},
        {R"(<a href="it's.htm"><a href="a+b.htm"><a href="x:/y">)", {}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(localReferences(line), expected) << line;
}

TEST(PageReferencesTest, ListsExistingFilesOnceAndWarnsAboutMissingOnes) {
    buildtest::TempFolder tmp;
    std::filesystem::create_directories(tmp.path() / "images");
    std::filesystem::create_directories(tmp.path() / "sub");
    writeFileBytes(tmp.path() / "images" / "Paper.gif", "GIF");
    writeFileBytes(tmp.path() / "TxPopups.js", "x");
    writeFileBytes(tmp.path() / "my file.css", "x");

    PageReferences refs(tmp.path());
    refs.scan({R"(<body background="../images/paper.gif">)", R"(<a href="later.htm">)",
               R"(<a class="qwPopupLink" href="#">)"},
              "sub/", "a.htm");
    refs.scan({R"(<img src="images/paper.gif"><img src="images/none.gif">)",
               R"(<link href="my%20file.css"><a href="../outside.htm">)"},
              "", "b.htm");
    writeFileBytes(tmp.path() / "sub" / "later.htm", "written after the first page");
    refs.resolve();
    EXPECT_EQ(refs.files(), (std::vector<std::string>{"images/Paper.gif", "sub/later.htm",
                                                      "TxPopups.js", "my file.css"}));
    EXPECT_EQ(refs.missing(), (std::vector<std::string>{
                                  "b.htm refers to 'images/none.gif', which does not exist"}));
}

TEST(PageReferencesTest, PagesListedAnywayAreNeitherListedAgainNorReportedMissing) {
    buildtest::TempFolder tmp;
    std::filesystem::create_directories(tmp.path() / "sub");
    writeFileBytes(tmp.path() / "sub" / "logo.gif", "GIF");

    PageReferences refs(tmp.path());
    // The listed pages are not written yet: a lookup on disk would call them missing.
    refs.setListed({"sub/next.htm", "top.htm"});
    refs.scan({R"(<a href="Next.HTM">n</a><a href="../top.htm#a">t</a>)",
               R"(<img src="logo.gif"><a href="gone.htm">)", R"(<a href="next.htm">)"},
              "sub/", "a.htm");
    refs.scan({R"(<a href="sub/next.htm"><a href="sub/gone.htm"><a href="top.htm">)"}, "", "b.htm");
    refs.resolve();
    EXPECT_EQ(refs.files(), (std::vector<std::string>{"sub/logo.gif"}));
    EXPECT_EQ(refs.missing(),
              (std::vector<std::string>{"sub/a.htm refers to 'gone.htm', which does not exist"}));
}

TEST(PageReferencesTest, PageTextScannedWholeNotesWhatItsLinesNoteOneByOne) {
    // The page's text is searched in one pass for line ends, "=" and "(": each line's
    // attribute values must still come before its url(...) values, a quote must not run
    // on into the next line, and lines ended by CR LF or LF alone read the same. Lines the
    // caller asks to be passed over are, and the lines after them are scanned as before.
    buildtest::TempFolder tmp;
    std::filesystem::create_directories(tmp.path() / "sub");
    const char* const names[] = {"a.gif", "b.htm", "c.png", "d e.css", "f.js", "g.gif"};
    for (size_t i = 0; i < std::size(names); i += 2)
        writeFileBytes(tmp.path() / "sub" / names[i], "x");
    const std::vector<std::string> pieces = {
        "<img src=\"", "a.gif\">", "href=", "b.htm ", "style=\"background: url(", "c.png)\"",
        "URL('", "d e.css')", " SRC = '", "f.js'", "<a href=\"", "g.gif", "=", "(", " ", "url(",
        "lowsrc=", "\"", "'", "x=1 ", "data=", "background=", ">", "<p>", "(url(b.htm))"};
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        Lines lines(1 + random() % 12);
        for (std::string& line : lines)
            for (size_t n = random() % 9; n > 0; --n)
                line += pieces[random() % pieces.size()];
        std::string text;
        const char* end = round % 3 == 0 ? "\n" : "\r\n";
        for (const std::string& line : lines)
            text += line + end;
        // Lines skipBegin to skipEnd (whole lines, none on most rounds) are passed over.
        const size_t skipFirst = random() % (lines.size() + 1);
        const size_t skipLast =
            round % 2 == 0 ? skipFirst : skipFirst + random() % (lines.size() + 1 - skipFirst);
        size_t skipBegin = 0, skipEnd = 0;
        for (size_t i = 0; i < skipLast; ++i) {
            const size_t bytes = lines[i].size() + std::strlen(end);
            skipBegin += i < skipFirst ? bytes : 0;
            skipEnd += bytes;
        }
        PageReferences whole(tmp.path()), byLine(tmp.path());
        whole.scanText(text, "sub/", "p.htm", {}, skipBegin, skipEnd);
        for (size_t i = 0; i < lines.size(); ++i)
            if (i < skipFirst || i >= skipLast)
                byLine.scan({lines[i]}, "sub/", "p.htm");
        whole.resolve();
        byLine.resolve();
        ASSERT_EQ(whole.files(), byLine.files()) << text;
        ASSERT_EQ(whole.missing(), byLine.missing()) << text;
    }
}

} // namespace qw
