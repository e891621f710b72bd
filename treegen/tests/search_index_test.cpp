#include "treegen/search_index.h"

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/messages.h"
#include "helpgen/reader_aids.h"
#include "treegen/standard_tree.h"
#include "treegen/template_tree.h"
#include "treegen/tree_search.h"

#include "tree_test_util.h"

#include <gtest/gtest.h>

#include <map>

namespace qw {

namespace fs = std::filesystem;

namespace {

using Terms = std::vector<std::string>;

/// A string field of the index script ("terms" or "lists"), unescaped as far as the
/// index writes escapes (ASCII text only in these fields of the tests).
std::string field(const std::string& script, const std::string& name) {
    const std::string key = "\"" + name + "\":\"";
    const size_t at = script.find(key);
    EXPECT_NE(at, std::string::npos) << name;
    if (at == std::string::npos)
        return {};
    std::string value;
    for (size_t i = at + key.size(); i < script.size() && script[i] != '"'; ++i) {
        if (script[i] == '\\' && script.compare(i, 6, "\\u000a") == 0) {
            value += '\n';
            i += 5;
        } else {
            value += script[i];
        }
    }
    return value;
}

/// Reads the term lists of an index script back the way the search script does.
std::map<std::string, std::vector<SearchPosting>> decodeIndex(const std::string& script) {
    std::map<std::string, std::vector<SearchPosting>> index;
    std::vector<std::string> terms, lists;
    std::string item;
    for (char c : field(script, "terms") + "\n") {
        if (c == '\n') {
            terms.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    for (char c : field(script, "lists") + " ") {
        if (c == ' ') {
            lists.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    EXPECT_EQ(terms.size(), lists.size());
    for (size_t t = 0; t < terms.size() && t < lists.size(); ++t) {
        uint32_t doc = 0, digits = 0;
        for (char c : lists[t]) {
            if (c >= 'A' && c <= 'Z') {
                doc += digits;
                digits = 0;
                const int w = c - 'A';
                index[terms[t]].push_back({doc, uint32_t(w % 13 + 1), w >= 13});
            } else {
                digits = digits * 36 + uint32_t(c <= '9' ? c - '0' : c - 'a' + 10);
            }
        }
    }
    return index;
}

} // namespace

TEST(SearchFolding, CaseMarksCompatibilityFormsAndSigmaFold) {
    EXPECT_EQ(foldForSearch("Évian CAFÉ Ångström"), "evian cafe angstrom");
    EXPECT_EQ(foldForSearch("Cafe\xCC\x81"), "cafe"); // e + combining acute
    EXPECT_EQ(foldForSearch("\xEF\xAC\x81le"), "file"); // the "fi" ligature
    EXPECT_EQ(foldForSearch("\xEF\xBC\xA6\xEF\xBD\x95\xEF\xBD\x8C\xEF\xBD\x8C"), "full"); // full width
    EXPECT_EQ(foldForSearch("ΣΟΦΟΣ σοφος"), "σοφοσ σοφοσ");
    EXPECT_EQ(foldForSearch("ПРИВЕТ Ёлка"), "привет елка");
    EXPECT_EQ(foldForSearch("Straße"), "straße");
    EXPECT_EQ(foldForSearch("한국어"), "한국어"); // Hangul syllables stay whole
    EXPECT_EQ(foldForSearch("a-b, c!"), "a-b, c!");
}

TEST(SearchFolding, TermsAreWordsOfTwoOrMoreAndCjkPairs) {
    EXPECT_EQ(searchTerms("Hello, Wörld! a x2 I'm"), (Terms{"hello", "world", "x2"}));
    EXPECT_EQ(searchTerms("用户手册 和 說明"), (Terms{"用户", "户手", "手册", "和", "說明"}));
    EXPECT_EQ(searchTerms("Qt中文"), (Terms{"qt", "中文"}));
    EXPECT_EQ(searchTerms("ひらがなカタカナ"),
              (Terms{"ひら", "らが", "がな", "なカ", "カタ", "タカ", "カナ"}));
    EXPECT_EQ(searchTerms("ｶﾀ"), (Terms{"カタ"})); // half-width forms

    const std::string longWord(60, 'x');
    ASSERT_EQ(searchTerms(longWord).size(), 1u);
    EXPECT_EQ(searchTerms(longWord)[0].size(), kMaxTermLength);
    // Bytes that are not UTF-8 separate words and never end up in a term.
    EXPECT_EQ(searchTerms("ab\xFF\xFE" "cd"), (Terms{"ab", "cd"}));
}

TEST(SearchPageText, TagsScriptsCommentsAndEntities) {
    const PageText page = extractPageText(
        "<html><head><title>Caf&eacute; &amp; more</title><style>p{color:red}</style></head>"
        "<body><!-- hidden note --><h1>Head</h1><p>b&#233;b&#xE9; &lt;tag&gt; &nbsp;x</p>"
        "<script>var secret = '<p>no</p>';</script><p>bo<b>ld</b> end<br>next &unknown; "
        "a < b</p></body></html>");
    EXPECT_EQ(page.title, "Café & more");
    EXPECT_EQ(page.text, "Head bébé <tag> x bold end next &unknown; a < b");
    // A run of white space is one space, also where it meets a tag, a reference or
    // another run across them.
    EXPECT_EQ(extractPageText("<p>\r\n  one\t\ttwo \f\r\nthree&nbsp; \n four<b> </b>five</p>\n")
                  .text,
              "one two three four five");
    EXPECT_EQ(decodeEntities("&amp &copy; &#8364;&#x20AC;&#0;"), "& © €€\xEF\xBF\xBD");
}

TEST(SearchPageText, HonoursTheDeclaredCodePage) {
    // "Привет" in Windows-1251, declared by the page.
    const std::string cyrillic = "<html><head><meta http-equiv=\"Content-Type\" "
                                 "content=\"text/html; charset=windows-1251\"></head><body>"
                                 "\xCF\xF0\xE8\xE2\xE5\xF2</body></html>";
    EXPECT_EQ(declaredCharset(cyrillic), "windows-1251");
    EXPECT_EQ(extractPageText(cyrillic).text, "Привет");
    // "日本" in Shift_JIS, declared the HTML5 way.
    EXPECT_EQ(extractPageText("<meta charset='Shift_JIS'><p>\x93\xFA\x96\x7B</p>").text, "日本");
    // Latin-1 named as such is read as Windows-1252, as browsers do ("\x80" is the euro).
    EXPECT_EQ(extractPageText("<meta charset=iso-8859-1><p>\x80 caf\xE9</p>").text, "€ café");
    // No declaration: UTF-8 lines stay, other lines are Windows-1252.
    EXPECT_EQ(extractPageText("<p>na\xC3\xAFve</p>\n<p>caf\xE9</p>").text, "naïve café");
    // A character set nobody knows falls back to the same rule.
    EXPECT_EQ(extractPageText("<meta charset=x-nonsense><p>caf\xE9</p>").text, "café");
}

TEST(SearchIndex, CountsTitleHitsAndEncodesThemForTheScript) {
    SearchIndexBuilder builder;
    builder.add("Tide Tables", "a.htm", "tide tables and tide times. Tide!");
    builder.add("Stations", "sub/b.htm", "one tide here");
    builder.add("Other", "c.htm", "nothing");
    ASSERT_EQ(builder.documentCount(), 3u);

    const std::vector<SearchPosting> tide = builder.postings("tide");
    ASSERT_EQ(tide.size(), 2u);
    EXPECT_EQ(tide[0].document, 0u);
    EXPECT_EQ(tide[0].count, 4u); // once in the title, three times in the text
    EXPECT_TRUE(tide[0].inTitle);
    EXPECT_EQ(tide[1].document, 1u);
    EXPECT_EQ(tide[1].count, 1u);
    EXPECT_FALSE(tide[1].inTitle);
    EXPECT_TRUE(builder.postings("missing").empty());

    EXPECT_EQ(SearchIndexBuilder::weightLetter(1, false), 'A');
    EXPECT_EQ(SearchIndexBuilder::weightLetter(40, false), 'M'); // counts stop at 13
    EXPECT_EQ(SearchIndexBuilder::weightLetter(1, true), 'N');
    EXPECT_EQ(SearchIndexBuilder::weightLetter(13, true), 'Z');

    // The script holds the same lists, terms in code point order.
    const std::string script = builder.script();
    const auto decoded = decodeIndex(script);
    for (const char* term : {"tide", "tables", "stations", "nothing", "here", "one"}) {
        const auto expected = builder.postings(term);
        ASSERT_EQ(decoded.count(term), 1u) << term;
        const auto& got = decoded.at(term);
        ASSERT_EQ(got.size(), expected.size()) << term;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].document, expected[i].document) << term;
            EXPECT_EQ(got[i].count, std::min<uint32_t>(expected[i].count, 13)) << term;
            EXPECT_EQ(got[i].inTitle, expected[i].inTitle) << term;
        }
    }
    const std::string terms = field(script, "terms");
    EXPECT_LT(terms.find("and\n"), terms.find("here\n"));
    EXPECT_LT(terms.find("stations\n"), terms.find("tide\n"));
}

TEST(SearchIndex, ScriptIsAsciiAndCannotEndItsScriptElement) {
    SearchIndexBuilder builder;
    builder.add("Quote \" and </script> 中文", "a b.htm", "Émile \\ back\nslash 𝄞");
    const std::string script = builder.script();
    for (unsigned char c : script)
        ASSERT_LT(c, 0x80);
    EXPECT_EQ(script.find("</"), std::string::npos);
    EXPECT_NE(script.find("Quote \\\" and \\u003c/script> \\u4e2d\\u6587"), std::string::npos);
    EXPECT_NE(script.find("\\ud834\\udd1e"), std::string::npos); // beyond the BMP: a pair
    // A line break in a field would end its page's line: it becomes a space.
    EXPECT_NE(script.find("\\u00c9mile \\\\ back slash"), std::string::npos);
    EXPECT_NE(script.find("\nqwSearchIndex({\"version\":2,"), std::string::npos);
    EXPECT_EQ(script.substr(script.size() - 4), "});\n");
}

TEST(SearchIndex, SummaryIsCutAtASpaceAndNeverInsideACharacter) {
    EXPECT_EQ(searchSummary("  short text  "), "short text");
    const std::string words = "alpha beta gamma delta epsilon";
    EXPECT_EQ(searchSummary(words, 20), "alpha beta gamma...");
    const std::string cjk = "中文中文中文中文中文"; // 30 bytes, no spaces
    const std::string cut = searchSummary(cjk, 10);
    EXPECT_EQ(cut, "中文中...");
}

TEST(ReaderAids, GoIntoTheHeadWhereThePageHasOneElseAtTheEnd) {
    const std::string aids = readerAidsLine("../");
    EXPECT_NE(aids.find("name=\"viewport\""), std::string::npos);
    EXPECT_NE(aids.find("src=\"../qwfind.js\""), std::string::npos);
    const Lines comments = {"<!-- one -->", "<!-- two -->"};
    auto placed = [&](Lines head) {
        Lines page = comments;
        page.insert(page.end(), head.begin(), head.end());
        addReaderAids(page, comments.size(), "../");
        return std::find(page.begin(), page.end(), aids) - page.begin();
    };
    EXPECT_EQ(placed({"<html>", "<HEAD lang=\"en\">", "<title>t</title>", "</head>", "<body>"}), 4);
    EXPECT_EQ(placed({"<html><head><title>t</title></head>", "<body>"}), 3);
    // "<header>" is no head; a head tag on the body's line would put the aids in the body
    // anyway, so they go to the end, as when the chapter has no head at all.
    EXPECT_EQ(placed({"<header>", "<body>"}), 4);
    EXPECT_EQ(placed({"<head><body>"}), 3);
    EXPECT_EQ(placed({}), 2);
}

class SearchTreeTest : public ::testing::Test, protected test::TreeFixture {
protected:
    TreeContext aided() {
        TreeContext c = context();
        c.readerAids = true;
        return c;
    }
};

TEST_F(SearchTreeTest, IndexesListedPagesOnlyAndTitlesOfMissingOnes) {
    options.putInSubDir = true;
    const std::string chap = file("guide/chap.htm");
    table.appendChapterRows({test::chapter("Guide", chap),
                             test::topic("Start &amp; <b>go</b>", "start.htm", "1", chap),
                             test::topic("!!!Hidden", "hidden.htm", "1", chap),
                             test::topic("Online", "WEB:https://example.org/", "1", chap),
                             test::topic("Gone", "gone.htm", "1", chap)});
    tmp.write("proj/guide/start.htm", "<html><head><title>x</title></head><body><h1>Start & go"
                                      "</h1><p>Unique zanzibar words.</p></body></html>");
    tmp.write("proj/guide/hidden.htm", "<p>zanzibar secret</p>");
    const TreeContext c = aided();
    const SearchIndexStats stats = writeSearchIndex(c, guard());
    EXPECT_EQ(stats.pages, 2u); // start and gone: not the hidden one, not the web topic
    const std::string script = tmp.read("proj/treehtml/qwsearchidx.js");
    EXPECT_EQ(stats.indexBytes, script.size());
    const auto decoded = decodeIndex(script);
    ASSERT_EQ(decoded.count("zanzibar"), 1u);
    EXPECT_EQ(decoded.at("zanzibar").size(), 1u);
    EXPECT_EQ(decoded.count("secret"), 0u);
    ASSERT_EQ(decoded.count("gone"), 1u);
    EXPECT_TRUE(decoded.at("gone")[0].inTitle);
    // Title as plain text, link from the tree folder, opening words without the heading.
    EXPECT_EQ(field(script, "docs"), "Start & go\\u0009../guide/start.htm\\u0009Unique zanzibar "
                                     "words.\nGone\\u0009../guide/gone.htm\\u0009");
}

TEST_F(SearchTreeTest, StandardTreeWithReaderAidsAddsViewportFoldScriptAndBox) {
    options.putInSubDir = true;
    const std::string chap = file("intro.htm");
    table.appendChapterRows(
        {test::chapter("Intro", chap), test::topic("Start", "start.htm", "1", chap)});
    const TreeContext c = aided();
    StandardTreeWriter(c, &guard()).write();
    const Lines index = readLines(file("index.htm"));
    ASSERT_EQ(index.size(), 5u);
    EXPECT_EQ(index[1], std::string(kViewportMeta) + "<script src=\"treehtml/qwframe.js\"></script>");
    EXPECT_EQ(index[2].rfind("<FRAMESET COLS=\"180px,*\"", 0), 0u);
    for (const char* page : {"unexpand.htm", "fol_intro.htm", "expand.htm"}) {
        const Lines lines = readLines(file(std::string("treehtml/") + page));
        ASSERT_GT(lines.size(), 8u);
        EXPECT_EQ(lines[2], kViewportMeta) << page;
        EXPECT_EQ(lines[3], "<TITLE>Contents</TITLE></HEAD>") << page;
        EXPECT_EQ(lines[7], "<script src=\"qwsearch.js\"></script>") << page;
    }
}

TEST_F(SearchTreeTest, SearchScriptsAreCopiedAndAMissingOneIsReported) {
    tmp.write("data/TScripts/Shared/qwsearch.js", "// box");
    tmp.write("data/xFiles/qwfind.js", "// find");
    const TreeContext c = aided();
    copySearchScripts(c, guard());
    EXPECT_EQ(tmp.read("proj/treehtml/qwsearch.js"), "// box");
    EXPECT_EQ(tmp.read("proj/qwfind.js"), "// find");
    EXPECT_FALSE(fs::exists(file("treehtml/qwframe.js")));
    EXPECT_EQ(copyFailures, 1);
}

class SilentMessenger : public Messenger {
public:
    Answer showMessage(const std::string& text, MessageKind, MessageButtons) override {
        shown.push_back(text);
        return Answer::Ok;
    }
    std::vector<std::string> shown;
};

TEST_F(SearchTreeTest, TemplateTagPutsTheBoxWhereItStandsAndAsksForTheIndex) {
    options.putInSubDir = true;
    const std::string chap = file("intro.htm");
    table.appendChapterRows(
        {test::chapter("Intro", chap), test::topic("Start", "start.htm", "1", chap)});
    tmp.write("with.hts", "[Settings]\nCreateContentsHTML=1\n"
                          "[Index]\nStartTag0=<html>_searchbox_\nStartTag1=</html>\n"
                          "[Contents]\nStartTag0=<body>_SearchBox_ _TreeTitle_</body>\n"
                          "[TreeFormat]\nStartTag0=// tree\n");
    tmp.write("without.hts", "[Settings]\nCreateContentsHTML=1\n"
                             "[Contents]\nStartTag0=<body>_TreeTitle_</body>\n"
                             "[TreeFormat]\nTopicTag0=// _SearchBox_ in a topic line only\n");
    SilentMessenger messenger;
    const TreeContext c = aided();
    const TemplateTreeResult with =
        TemplateTreeWriter(c, messenger, tmp.path() / "with.hts", &guard()).write();
    EXPECT_TRUE(with.searchBox);
    EXPECT_TRUE(with.error.empty());
    EXPECT_EQ(readLines(file("index.htm"))[0], "<html><script src=\"treehtml/qwsearch.js\"></script>");
    EXPECT_EQ(readLines(file("treehtml/contents.htm"))[0],
              "<body><script src=\"qwsearch.js\"></script> MyContent</body>");
    EXPECT_TRUE(templateHasSearchBox(IniFile(tmp.path() / "with.hts")));
    // Only the fixed page parts ask for the box; an element line does not.
    EXPECT_FALSE(templateHasSearchBox(IniFile(tmp.path() / "without.hts")));
    EXPECT_FALSE(TemplateTreeWriter(c, messenger, tmp.path() / "without.hts", &guard())
                     .write()
                     .searchBox);
    EXPECT_TRUE(messenger.shown.empty());
}

} // namespace qw
