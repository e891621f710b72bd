#include "treegen/standard_tree.h"

#include "tree_test_util.h"
#include "treegen/tree_rows.h"

#include <gtest/gtest.h>

namespace qw {

namespace fs = std::filesystem;

namespace {

const std::string T = "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\">";

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

} // namespace

class StandardTreeTest : public ::testing::Test, protected test::TreeFixture {
protected:
    std::vector<fs::path> write() { return StandardTreeWriter(context(), &guard()).write(); }
    std::string treeFile(const std::string& name) {
        return tmp.read("proj/" + std::string(options.putInSubDir ? "treehtml/" : "") + name);
    }
};

TEST_F(StandardTreeTest, WorkedExampleByteForByte) {
    options.putInSubDir = false;
    settings.titleBarText = "Manual";
    const std::string chap = file("intro.htm");
    table.appendChapterRows({test::chapter("Intro", chap),
                             test::topic("Start#First steps", "start.htm", "11", chap),
                             test::topic("Next", "next.htm", "11", chap)});
    const auto written = write();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], fs::path(file("index.htm")));

    EXPECT_EQ(tmp.read("proj/index.htm"),
              joinCrLf({"<HTML><HEAD><TITLE>Manual</TITLE></HEAD>",
                        "<FRAMESET COLS=\"180px,*\" FrameBorder=\"Yes\" Border=\"5\"><FRAME "
                        "SRC=\"unexpand.htm\" scrolling=\"auto\">",
                        "<FRAME name=\"frmtopic\" src=\"start.htm\"></FRAMESET>",
                        "<NOFRAMES><BODY><A href=\"expand.htm\">No Frames- Click here for "
                        "contents</A></BODY></NOFRAMES></HTML>"}));

    const std::string head =
        "<HTML><HEAD>\r\n<style><!-- a:hover{color: red;} a{color: blue; "
        "text-decoration:none;} --></style>\r\n<TITLE>Contents</TITLE></HEAD>\r\n"
        "<BODY bgcolor=\"#FFFFFF\" background=\"\" vlink=\"blue\" link=\"blue\" "
        "alink=\"red\">\r\n" +
        T +
        "<td align=\"center\" width=\"19\"><a href=\"expand.htm\" "
        "onMouseOver=\"window.status='Click To Expand All';return true;\" "
        "onMouseOut=\"window.status=''\" title=\"Click To Expand All\"><img alt=\"Click To "
        "Expand All\" src=\"treetop.gif\" height=\"18\" width=\"19\" border=\"0\"></a></td><td "
        "valign=\"middle\"><a href=\"expand.htm\" onMouseOver=\"window.status='Click To Expand "
        "All';return true;\" onMouseOut=\"window.status=''\" title=\"Click To Expand "
        "All\"><small>MyContent</small></a></td></tr></table>\r\n\r\n";
    const std::string tail =
        T +
        "<tr><td><img src=\"branch_l.gif\" height=\"18\" width=\"19\" border=\"0\"></td><td>"
        "<img alt=\"About HTMLHelp Quirewright\" src=\"aboutqwr.gif\" height=\"18\" width=\"19\" "
        "border=\"0\"></td><td valign=\"middle\"><small><a href=\"aboutjmp.htm\" "
        "target=\"frmtopic\" onMouseOver=\"window.status='About HTMLHelp Quirewright';return "
        "true;\" onMouseOut=\"window.status=''\" title=\"About HTMLHelp Quirewright\"><small>"
        "About&nbsp;HH&nbsp;Quirewright</small></a></small></td></tr></table>\r\n"
        "<P></BODY></HTML>\r\n";
    const std::string status = "onMouseOver=\"window.status='Intro';return true;\" "
                               "onMouseOut=\"window.status=''\"";
    const std::string e = "<a href=\"fol_intro.htm\" " + status + " title=\"Click To Expand\">";
    const std::string closed =
        T + "<tr><td>" + e +
        "<img alt=\"Click to Expand\" src=\"plus.gif\" height=\"18\" "
        "width=\"19\" border=\"0\"></a></td><td>" +
        e +
        "<img alt=\"Click to Expand\" "
        "src=\"fol_clos.gif\" height=\"18\" width=\"19\" border=\"0\"></a></td><td "
        "valign=\"middle\"><small>" +
        e + "Intro</a></small></td></tr></table>\r\n";
    EXPECT_EQ(tmp.read("proj/unexpand.htm"), head + closed + tail);

    const std::string u = "<a href=\"unexpand.htm\" " + status + " title=\"Click To UnExpand\">";
    const std::string open =
        T + "<tr><td>" + u +
        "<img alt=\"Click to UnExpand\" src=\"minus.gif\" height=\"18\" "
        "width=\"19\" border=\"0\"></a></td><td>" +
        u +
        "<img alt=\"Click to UnExpand\" "
        "src=\"fol_open.gif\" height=\"18\" width=\"19\" border=\"0\"></a></td><td "
        "valign=\"middle\"><small><b>" +
        u + "Intro</a></b></small></td></tr></table>\r\n";
    auto topicLine = [](const std::string& branch, const std::string& href, const std::string& hint,
                        const std::string& title) {
        return T +
               "<tr><td><img src=\"branch_i.gif\" height=\"18\" width=\"19\" border=\"0\">"
               "</td><td><img src=\"" +
               branch +
               "\" height=\"18\" width=\"19\" border=\"0\">"
               "</td><td><img src=\"icon_11.gif\" height=\"18\" width=\"19\" border=\"0\"></td>"
               "<td valign=\"middle\"><small><a href=\"" +
               href +
               "\" target=\"frmtopic\" "
               "onMouseOver=\"window.status='" +
               hint +
               "';return true;\" "
               "onMouseOut=\"window.status=''\">" +
               title + "</a></small></td></tr></table>\r\n";
    };
    const std::string topics = topicLine("branch_t.gif", "start.htm", "First steps", "Start") +
                               topicLine("branch_l.gif", "next.htm", "Next", "Next");
    EXPECT_EQ(tmp.read("proj/fol_intro.htm"), head + open + topics + tail);

    EXPECT_NE(tmp.read("proj/expand.htm").find("Click To UnExpand All"), std::string::npos);
    std::string allOpen = closed;
    allOpen.replace(allOpen.find("fol_clos.gif"), 12, "fol_open.gif");
    EXPECT_NE(tmp.read("proj/expand.htm").find(allOpen + topics), std::string::npos);
    EXPECT_TRUE(fs::exists(file("icon_11.gif")));
    EXPECT_TRUE(fs::exists(file("treetop.gif")));
    EXPECT_FALSE(fs::exists(file("notes.txt")));
}

TEST_F(StandardTreeTest, NChaptersGiveNPlusTwoPagesAndLastTopicsGetTheL) {
    for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
        const std::string chap = file(name);
        table.appendChapterRows({test::chapter(name, chap),
                                 test::topic("One", std::string("1") + name, "1", chap),
                                 test::topic("!!!Hidden", std::string("2") + name, "1", chap)});
    }
    const auto written = write();
    EXPECT_EQ(written.size(), 1u + 3u + 2u);
    for (const char* page : {"unexpand.htm", "fol_a.htm", "fol_b.htm", "fol_c.htm", "expand.htm"})
        EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / page)) << page;
    const std::string expand = treeFile("expand.htm");
    // The hidden topic gives no line but still counts as the next row: "One" gets the T.
    EXPECT_EQ(count(expand, "Hidden"), 0u);
    EXPECT_EQ(count(expand, "branch_t.gif"), 3u);
    EXPECT_EQ(count(expand, "src=\"plus.gif\""), 3u);
    EXPECT_EQ(count(expand, "src=\"fol_open.gif\""), 3u);
    EXPECT_EQ(count(expand, "href=\"../1a.htm\""), 1u);
    EXPECT_EQ(count(treeFile("fol_b.htm"), "target=\"frmtopic\" onMouseOver=\"window.status='One'"),
              1u);
    EXPECT_EQ(count(treeFile("unexpand.htm"), "1b.htm"), 0u);
    EXPECT_NE(treeFile("unexpand.htm").find("background=\"../\""), std::string::npos);
}

TEST_F(StandardTreeTest, RoleTopicsAppearOnlyAsRoleLinesOnEveryPage) {
    settings.pages.welcomePage = "welcome.htm";
    settings.pages.copyrightPage = "sub/legal.htm";
    const std::string a = file("a.htm");
    const std::string b = file("sub/b.htm");
    table.appendChapterRows({test::chapter("A", a), test::topic("Hello", "welcome.htm", "2", a),
                             test::topic("Body", "body.htm", "3", a)});
    table.appendChapterRows({test::chapter("B", b), test::topic("Legal", "legal.htm", "4", b)});
    table.markRoles(settings.pages);
    write();
    for (const char* page : {"unexpand.htm", "fol_a.htm", "fol_b.htm", "expand.htm"}) {
        const std::string text = treeFile(page);
        EXPECT_EQ(count(text, "href=\"../welcome.htm\""), 1u) << page;
        EXPECT_EQ(count(text, "href=\"../sub/legal.htm\""), 1u) << page;
        EXPECT_LT(text.find("welcome.htm"), text.find("window.status='A'")) << page;
        EXPECT_GT(text.find("sub/legal.htm"), text.find("window.status='B'")) << page;
    }
    EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / "icon_2.gif"));
    EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / "icon_4.gif"));
}

TEST_F(StandardTreeTest, WebTopicHrefsAndShownTitles) {
    const std::string a = file("sub/a.htm");
    table.appendChapterRows({test::chapter("A", a),
                             test::topic("Site", "WEB:hTtP://example.org/x", "1", a),
                             test::topic("Secure", "WEB:https://example.org/", "1", a),
                             test::topic("Mail", "WEB:mailto:me@example.org", "1", a),
                             test::topic("Local", "WEB:other/page.htm", "1", a),
                             test::topic("Two words#A hint with spaces", "p.htm", "1", a)});
    EXPECT_EQ(treeHref(table, 2, "../"), "hTtP://example.org/x");
    EXPECT_EQ(treeHref(table, 3, "../"), "https://example.org/");
    EXPECT_EQ(treeHref(table, 4, "../"), "mailto:me@example.org");
    EXPECT_EQ(treeHref(table, 5, "../"), "../other/page.htm");
    EXPECT_EQ(treeHref(table, 6, "../"), "../sub/p.htm");
    write();
    const std::string page = treeFile("fol_a.htm");
    EXPECT_NE(page.find(">Two&nbsp;words</a>"), std::string::npos);
    EXPECT_NE(page.find("window.status='A hint with spaces'"), std::string::npos);
}

TEST_F(StandardTreeTest, QuotesAndAngleBracketsCannotBreakTheStatusScript) {
    const std::string a = file("a.htm");
    table.appendChapterRows({test::chapter("It's <b>A</b>#Tom's \"A\"", a),
                             test::topic("<i>x</i>#a'b\"c<d>\\e&#39;f", "p.htm", "1", a)});
    write();
    const std::string page = treeFile("fol_a.htm");
    EXPECT_NE(page.find("window.status='a\\'b\\x22c\\x3Cd>\\\\e\\x26#39;f';"), std::string::npos);
    EXPECT_NE(page.find("window.status='Tom\\'s \\x22A\\x22';"), std::string::npos);
    EXPECT_NE(page.find(">It's&nbsp;<b>A</b></a>"), std::string::npos);
    EXPECT_NE(page.find("><i>x</i></a>"), std::string::npos);
}

TEST_F(StandardTreeTest, ChapterFilesOfTheSameNameGetTheirOwnPages) {
    table.appendChapterRows({test::chapter("One", file("x/Guide.htm")),
                             test::topic("P", "p.htm", "1", file("x/Guide.htm"))});
    table.appendChapterRows({test::chapter("Two", file("y/guide.htm")),
                             test::topic("Q", "q.htm", "1", file("y/guide.htm"))});
    EXPECT_EQ(chapterPageNames(table, FileNameOptions{}),
              (std::vector<std::string>{"fol_guide.htm", "fol_guide_2.htm"}));
    write();
    EXPECT_NE(treeFile("fol_guide.htm").find("x/p.htm"), std::string::npos);
    EXPECT_NE(treeFile("fol_guide_2.htm").find("y/q.htm"), std::string::npos);
}

TEST_F(StandardTreeTest, IconCellsNeverCopyFromOutsideTheIconFolder) {
    tmp.write("secret.gif", "x");
    const std::string a = file("a.htm");
    table.appendChapterRows({test::chapter("A", a), test::topic("P", "p.htm", "../../../secret", a),
                             test::topic("Q", "q.htm", "99", a)});
    write();
    EXPECT_EQ(copyFailures, 2);
    EXPECT_FALSE(fs::exists(tmp.path() / "proj" / "treehtml" / "icon_99.gif"));
    EXPECT_FALSE(fs::exists(tmp.path() / "proj" / "secret.gif"));
}

TEST_F(StandardTreeTest, UnwritablePageThrowsAndKeepsEarlierFiles) {
    const std::string a = file("a.htm");
    table.appendChapterRows({test::chapter("A", a), test::topic("P", "p.htm", "1", a)});
    fs::create_directories(fs::path(projectDir) / "treehtml" / "fol_a.htm");
    EXPECT_THROW(write(), FileError);
    EXPECT_TRUE(fs::exists(file("index.htm")));
    EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / "unexpand.htm"));
}

TEST_F(StandardTreeTest, BackgroundImageIsLowerCasedUnlessOnlyTheEnteredNameExists) {
    const std::string a = file("a.htm");
    table.appendChapterRows({test::chapter("A", a), test::topic("P", "p.htm", "1", a)});
    options.bgImage = "Images\\Paper.GIF";
    tmp.write("proj/Images/Paper.GIF", "GIF89a");
    write();
    EXPECT_NE(treeFile("unexpand.htm").find("background=\"../Images/Paper.GIF\""),
              std::string::npos);
    tmp.write("proj/images/paper.gif", "GIF89a");
    write();
    EXPECT_NE(treeFile("unexpand.htm").find("background=\"../images/paper.gif\""),
              std::string::npos);
}

TEST_F(StandardTreeTest, WrittenPagesEqualTheContentsPagesLineByLine) {
    // The writer puts each page together from text made once; contentsPage builds it row
    // by row. Every file must hold exactly contentsPage's lines, on a project with the
    // cases that change lines: roles of all three letters,
    // hidden and web topics, a chapter without topics, a last chapter of hidden topics.
    settings.pages.welcomePage = "w.htm";
    settings.pages.whatsNewPage = "sub/new.htm";
    settings.pages.copyrightPage = "sub/c.htm";
    const std::string a = file("a.htm"), b = file("sub/b.htm"), c = file("c.htm");
    const std::string d = file("sub/d.htm"), e = file("e.htm");
    table.appendChapterRows({test::chapter("A#chapter A", a), test::topic("Hi", "w.htm", "2", a),
                             test::topic("Web", "WEB:http://example.org/", "3", a),
                             test::topic("Two words#It's \"here\"", "two.htm", "4", a),
                             test::topic("!!!Draft", "draft.htm", "5", a)});
    table.appendChapterRows({test::chapter("B", b), test::topic("New", "new.htm", "6", b),
                             test::topic("Legal", "c.htm", "7", b),
                             test::topic("Body", "body.htm", "8", b)});
    table.appendChapterRows({test::chapter("Empty", c)});
    table.appendChapterRows({test::chapter("D", d), test::topic("Only", "only.htm", "9", d)});
    table.appendChapterRows({test::chapter("E", e), test::topic("!!!Gone", "gone.htm", "1", e)});
    table.markRoles(settings.pages);
    options.treeTitle = "Tree";
    const auto written = write();
    ASSERT_EQ(written.size(), 1u + 1u + 5u + 1u);

    const TreeContext kept = context();
    StandardTreeWriter reference(kept, &guard());
    for (size_t k = 0; k <= 5; ++k)
        EXPECT_EQ(tmp.read(written[k + 1].lexically_relative(tmp.path()).string()),
                  joinCrLf(reference.contentsPage(k, false)))
            << written[k + 1];
    const std::string expand = treeFile("expand.htm");
    EXPECT_EQ(expand, joinCrLf(reference.contentsPage(0, true)));
    // The cases were there: the roles once each, the hidden topics nowhere.
    EXPECT_EQ(count(expand, "href=\"../w.htm\""), 1u);
    EXPECT_EQ(count(expand, "href=\"../sub/c.htm\""), 1u);
    EXPECT_EQ(count(expand, "draft.htm") + count(expand, "gone.htm"), 0u);
    EXPECT_EQ(count(treeFile("fol_d.htm"), "only.htm"), 1u);
}

} // namespace qw
