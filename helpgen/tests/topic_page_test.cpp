#include "helpgen/page_generator.h"

#include "core/environment_settings.h"
#include "core/project_settings.h"
#include "helpgen/compiled_document.h"
#include "page_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace qw {
namespace {

using test::TempProject;
using test::TopicSpec;
namespace fs = std::filesystem;

const std::string kSep(50, '-');

/// A chapter in the project directory whose <BODY> tag spans three lines, and one in a
/// folder with a blank in its name.
class TopicPageTest : public ::testing::Test {
protected:
    TopicPageTest() {
        fs::create_directories(project.dir() / "data" / "xFiles");
        fs::copy_file(fs::path(QW_TEST_DATA_DIR) / "effects_basic.sfx",
                      project.dir() / "data" / "xFiles" / "Effects.sfx");
        project.addChapter("guide.htm", "Guide",
                           {"<HTML>",
                            "<HEAD>",
                            "<TITLE>_title_</TITLE>",
                            "</HEAD>",
                            "<body bgcolor=\"#FFFFFF\"",
                            "  background=\"_BgImage_\"",
                            "  text=\"#000000\">",
                            kSep,
                            "meta",
                            kSep,
                            "<h1>Welcome</h1>",
                            "<p>Say &QUOT;hi&quot; [X tip X]</p>",
                            "<PRE>code</pre>",
                            kSep,
                            "meta",
                            kSep,
                            kSep,
                            "meta",
                            kSep,
                            "<p>Last &amp; final</p>",
                            kSep,
                            "meta",
                            kSep,
                            "</body></html>"},
                           {TopicSpec("Welcome#Start here", "welcome.htm", "10", "12")
                                .keys(" alpha , ,beta,say \"hi\"")
                                .rel("Setup;setup.htm, ,Other;other.htm")
                                .image("back.gif")
                                .colour("clRed"),
                            TopicSpec("Empty", "empty.htm", "16", "15"),
                            TopicSpec("Online", "WEB:https://example.org/x.html", "22", "21"),
                            TopicSpec("Last", "last.htm", "19", "19").colour("$00C0DCA0")});
        project.addChapter("sub dir/ref.htm", "Reference",
                           {"<html><head><title>_Title_</title></head>", "<BODY>", kSep, "meta",
                            kSep, "<p>Only topic</p>", "</body></html>"},
                           {TopicSpec("Only", "only.htm", "5", "5").keys("alpha")});
    }

    PageContext context(bool htmlHelp = true) {
        return PageContext{project.table(), settings, environment, project.dir() / "data",
                           htmlHelp};
    }
    fs::path page(const std::string& rel) const { return project.dir() / rel; }

    TempProject project{"pages"};
    ProjectSettings settings;
    EnvironmentSettings environment;
};

TEST_F(TopicPageTest, WritesEveryPageButWebTopicsAsGolden) {
    const std::vector<std::string> written = generateTopicPages(context());
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], page("welcome.htm").string());
    EXPECT_EQ(written[3], page("sub dir/only.htm").string());
    test::expectMatchesGolden(page("welcome.htm"), "page_welcome.golden");
    test::expectMatchesGolden(page("empty.htm"), "page_empty.golden");
    test::expectMatchesGolden(page("last.htm"), "page_last.golden");
    test::expectMatchesGolden(page("sub dir/only.htm"), "page_only_sub.golden");
    EXPECT_FALSE(fs::exists(page("https:")));
}

TEST_F(TopicPageTest, OtherSwitchesAsGolden) {
    environment.searchForEffects = false;
    environment.searchForPopups = false;
    environment.removePreTags = true;
    environment.replaceQuotes = false;
    environment.disableRightClick = true;
    settings.useStyleSheet = false;
    settings.usePrevNextImages = true;
    settings.prevPageImage = "img/prev.gif";
    settings.topicFooter = "  <p>Footer</p>  ";
    PageGenerator generator(context(false));
    const size_t welcomeRow = 2, emptyRow = 3;
    generator.generateOne(welcomeRow, page("TmpTopic.htm"));
    test::expectMatchesGolden(page("TmpTopic.htm"), "page_welcome_switches.golden");
    generator.generateOne(emptyRow, page("TmpTopic.htm"));
    test::expectMatchesGolden(page("TmpTopic.htm"), "page_empty_switches.golden");
}

TEST_F(TopicPageTest, FilesAreTakenFromThePageNotFromItsKeywordOrRelatedTopics) {
    // Keywords and related topics that read like attributes name no file; the
    // previous/next images and the footer after those objects do.
    for (const char* file : {"pic.gif", "rel.gif", "next.gif", "prev.gif", "foot.gif"})
        writeFileBytes(page(file), "GIF");
    const size_t welcomeRow = 2;
    project.table().setCell(welcomeRow, ColKeyWords, "see src=pic.gif");
    project.table().setCell(welcomeRow, ColRelated, "Pic;x.htm background=rel.gif");
    settings.usePrevNextImages = true;
    settings.prevPageImage = "prev.gif";
    settings.nextPageImage = "next.gif";
    settings.topicFooter = "<img src=\"foot.gif\">";
    CompiledPageFixes fixes(project.dir(), CodePage::forLanguage(0x409), false);
    PageContext pages = context();
    pages.compiledPages = &fixes;
    generateTopicPages(pages);
    fixes.references().resolve();
    const std::string welcome = readFileBytes(page("welcome.htm"));
    ASSERT_NE(welcome.find("value=\"see src=pic.gif\""), std::string::npos);
    ASSERT_NE(welcome.find("background=rel.gif"), std::string::npos);
    EXPECT_EQ(fixes.references().files(),
              (std::vector<std::string>{"next.gif", "foot.gif", "prev.gif"}));
}

TEST_F(TopicPageTest, EffectSwitchesChooseTheScripts) {
    project.addChapter("fx.htm", "Fx", {"<body>", kSep, "m", kSep, "[*ref*]text [LAST]"},
                       {TopicSpec("Fx", "fx.htm.page", "4", "4")});
    const size_t row = project.table().endRow() - 1;
    struct Case {
        bool popups, effects;
        const char* body;
        bool popupScript, lastScript;
    };
    for (const Case& c :
         {Case{true, false, "<a class=\"pop\" data-ref=\"ref\">text [LAST]", true, false},
          Case{false, true, "[*ref*]text <b>last</b>", false, true},
          Case{true, true, "<a class=\"pop\" data-ref=\"ref\">text <b>last</b>", true, true}}) {
        environment.searchForPopups = c.popups;
        environment.searchForEffects = c.effects;
        PageGenerator generator(context());
        const Lines chapter = readLines(page("fx.htm"));
        const Lines built = generator.buildPage(row, chapter, {"<body>"});
        EXPECT_EQ(std::count(built.begin(), built.end(), c.body), 1) << c.body;
        EXPECT_EQ(std::count(built.begin(), built.end(), "<script>initPopups();</script>"),
                  c.popupScript ? 1 : 0);
        EXPECT_EQ(std::count(built.begin(), built.end(), "<script>last</script>"),
                  c.lastScript ? 1 : 0);
        EXPECT_EQ(std::count(built.begin(), built.end(),
                             "<SCRIPT language=\"JavaScript\" src=\"quirew.js\"></SCRIPT>"),
                  c.effects ? 1 : 0);
    }
}

TEST_F(TopicPageTest, MarkersMadeByTheQuoteAndPreReplacementsAreExpanded) {
    // Neither line holds a marker until the replacements before the expansion ran.
    project.addChapter("made.htm", "Made",
                       {"<body>", kSep, "m", kSep, "[<pre>*ref*</PRE>]",
                        "<span class=&quot;x&quot;>y</span>", "plain &amp; <b>kept</b>"},
                       {TopicSpec("Made", "made.htm.page", "4", "6")});
    const size_t row = project.table().endRow() - 1;
    environment.removePreTags = true;
    PageGenerator generator(context());
    const Lines built = generator.buildPage(row, readLines(page("made.htm")), {"<body>"});
    const auto has = [&](const std::string& line) {
        return std::count(built.begin(), built.end(), line) == 1;
    };
    EXPECT_TRUE(has("<a class=\"pop\" data-ref=\"ref\">"));
    EXPECT_TRUE(has("<script>initPopups();</script>"));
    EXPECT_TRUE(has("<span class=\"x seen\">y</span>"));
    EXPECT_TRUE(has("plain &amp; <b>kept</b>"));
}

TEST_F(TopicPageTest, ChapterWithoutBodyGivesPagesWithoutHead) {
    project.addChapter("bare.htm", "Bare", {kSep, "m", kSep, "<p>text</p>", kSep, "m", kSep, "x"},
                       {TopicSpec("A", "a.htm", "3", "3"), TopicSpec("B", "b.htm", "7", "7")});
    generateTopicPages(context());
    const Lines a = TempProject::generatedLines(page("a.htm"));
    ASSERT_GT(a.size(), 5u);
    EXPECT_EQ(a[3], "<link rel=\"stylesheet\" href=\"quirew.css\">");
    EXPECT_EQ(a[4], "<p>text</p>");
    EXPECT_EQ(
        std::count(a.begin(), a.end(), "<a Class=\"NxtPrvPage\" href=\"b.htm\">Next Page</a>"), 1);
}

TEST_F(TopicPageTest, NestedFoldersWithBlanksLinkBackToTheProject) {
    project.addChapter("a/b c/deep.htm", "Deep", {"<body>", kSep, "m", kSep, "x"},
                       {TopicSpec("P", "p q.htm", "4", "4")});
    const std::vector<std::string> written = generateTopicPages(context());
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), page("a/b c/p q.htm").string());
    const Lines lines = TempProject::generatedLines(written.back());
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "<link rel=\"stylesheet\" href=\"../../quirew.css\">"),
              1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "<SCRIPT language=\"JavaScript\" src=\"../../quirew.js\"></SCRIPT>"),
              1);
}

TEST_F(TopicPageTest, RefusesPagesOutsideTheProjectOrOverAChapter) {
    const std::vector<std::string> names = {"../escaped.htm", "guide.htm", "sub dir/../guide.htm"};
    for (const std::string& name : names) {
        TempProject other("guard");
        other.addChapter("guide.htm", "G", {"<body>", kSep, "m", kSep, "x"},
                         {TopicSpec("T", name, "4", "4")});
        const Lines before = readLines(other.dir() / "guide.htm");
        PageContext ctx{other.table(), settings, environment, other.dir(), true};
        EXPECT_THROW(generateTopicPages(ctx), FileError) << name;
        EXPECT_EQ(readLines(other.dir() / "guide.htm"), before) << name;
        EXPECT_FALSE(fs::exists(other.dir().parent_path() / "escaped.htm"));
    }
    PageGenerator generator(context());
    EXPECT_THROW(generator.generateOne(2, page("sub dir/ref.htm")), FileError);
    EXPECT_THROW(generator.generateOne(2, project.dir() / ".." / "x.htm"), FileError);
    EXPECT_THROW(generator.generateOne(4, page("web.htm")), FileError); // a web topic
}

TEST_F(TopicPageTest, BadLineCellsEndTheRun) {
    struct Case {
        std::string start, end;
    };
    for (const Case& c :
         {Case{"4", "9"}, Case{"x", "4"}, Case{"-1", "2"}, Case{"4", ""}, Case{"7", "6"}}) {
        TempProject other("lines");
        other.addChapter("c.htm", "C", {"<body>", kSep, "m", kSep, "x"},
                         {TopicSpec("T", "t.htm", c.start, c.end)});
        PageContext ctx{other.table(), settings, environment, other.dir(), true};
        try {
            generateTopicPages(ctx);
            ADD_FAILURE() << c.start << ".." << c.end << " was accepted";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("Topic 'T' of "), std::string::npos) << e.what();
        }
    }
}

TEST_F(TopicPageTest, MissingChapterOrFolderEndsTheRunKeepingEarlierPages) {
    project.addChapter("later/c.htm", "Later", {"<body>", kSep, "m", kSep, "x"},
                       {TopicSpec("T", "t.htm", "4", "4")});
    fs::remove_all(project.dir() / "later");
    EXPECT_THROW(generateTopicPages(context()), FileError);
    EXPECT_TRUE(fs::exists(page("welcome.htm")));
}

TEST(TopicPageHelpersTest, HeadEndsWhereTheBodyTagCloses) {
    EXPECT_EQ(extractHead({"<html>", "<Body", "a=1", "b=2>", "text"}),
              (Lines{"<html>", "<Body", "a=1", "b=2>"}));
    EXPECT_EQ(extractHead({"<body>", "x"}), (Lines{"<body>"}));
    EXPECT_EQ(extractHead({"<body", "never closed"}), (Lines{"<body", "never closed"}));
    EXPECT_TRUE(extractHead({"<html>", "<p>no body</p>"}).empty());
}

TEST(TopicPageHelpersTest, TextLinesAreAddedAsLineByLine) {
    // Runs of CR LF lines go in as one piece; lone CRs and LFs, empty lines, a last line
    // without an end and any part of the text's lines must still give CR LF after each.
    std::mt19937 random(3);
    const std::string pieces[] = {"ab", "\r\n", "\n", "\r", "\r\n\r\n", "x y", ""};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int i = int(random() % 30); i > 0; --i)
            text += pieces[random() % std::size(pieces)];
        const std::vector<std::string_view> lines = splitLineViews(text);
        const size_t first = lines.empty() ? 0 : random() % (lines.size() + 1);
        const size_t count = random() % (lines.size() - first + 1);
        const std::span<const std::string_view> part(lines.data() + first, count);
        std::string expected = "head\r\n", got = expected;
        for (const std::string_view line : part)
            addPageLine(expected, line);
        addTextLines(got, part);
        ASSERT_EQ(got, expected) << "round " << round;
    }
}

TEST(TopicPageHelpersTest, BackPathAndColours) {
    EXPECT_EQ(backPath(""), "");
    EXPECT_EQ(backPath("sub/"), "../");
    EXPECT_EQ(backPath("a/b c/"), "../../");
    const std::pair<const char*, const char*> colours[] = {
        {"$0000FF", "#FF0000"},   {"clRed", "#FF0000"},   {"clblue", "#0000FF"},
        {"$00C0DCA0", "#A0DCC0"}, {"$FFFFFF", "#FFFFFF"}, {"clTeal", "#008080"},
        {"$12", "#120000"},       {"$XYZ", "#FFFFFF"},    {"", "#FFFFFF"}};
    for (const auto& [text, html] : colours)
        EXPECT_EQ(htmlColour(text), html) << text;
}

} // namespace
} // namespace qw
