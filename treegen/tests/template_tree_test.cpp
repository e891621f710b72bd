#include "treegen/template_tree.h"

#include "core/ini_file.h"
#include "core/messages.h"
#include "tree_test_util.h"

#include <gtest/gtest.h>

namespace qw {

namespace fs = std::filesystem;

namespace {

class RecordingMessenger : public Messenger {
public:
    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons) override {
        messages.push_back(text);
        kinds.push_back(kind);
        return Answer::Ok;
    }
    std::vector<std::string> messages;
    std::vector<MessageKind> kinds;
};

/// A template whose tree file lists every element as one line of plain text.
const std::string kPlainTemplate = R"([Settings]
TreeFormatFilename=tree.txt
CreateContentsHTML=1
[Index]
StartTag0=<title>_eDocumentTitle_</title>
StartTag1=<frame src="_TreeDirPrefix_contents.htm"><frame src="_DefaultTopic_">
[Contents]
StartTag0=<body bgcolor="_TreeBgColour_" background="_TreeBgImage_">_TreeTitle_ _FrameWidth_
[TreeFormat]
StartTag0=start _AppletWidth_x_AppletHeight_
WelcomeTag0=special _WelcomeTitle_|_WelcomeHint_|_WelcomeHref_|_WelcomeIconNum_|_WelcomeIconGif_
ChapterStartTag0=chapter _ChapterTitle_|_ChapterHint_
TopicTag0=topic _TopicTitle_|_TopicHint_|_TopicHref_|_TopicIconGif_
TopicTag5=  //
ChapterEndTag3=end
EndTag0=done _defaulttopic_ _RELDIRPREFIX_
EndTag1=_TreeTitle_ is not filled here
)";

} // namespace

class TemplateTreeTest : public ::testing::Test, protected test::TreeFixture {
protected:
    TemplateTreeResult run(const std::string& templateText) {
        const std::string path = tmp.write("data/TScripts/T.hts", templateText);
        return TemplateTreeWriter(context(), messenger, path, &guard()).write();
    }
    Lines treeLines(const std::string& name) {
        return splitLines(tmp.read("proj/treehtml/" + name));
    }
    RecordingMessenger messenger;
};

TEST(TemplateReadingTest, StopRuleEndsAtFirstGapAndGapRuleSkipsGaps) {
    const IniFile ini("unused", "[Index]\nStartTag0=<html>\nStartTag1= // \nStartTag2=</html>\n"
                                "StartTag4=x\n[TreeFormat]\nTopicTag0=a\nTopicTag3=  \n"
                                "TopicTag5=b\nTopicTag50=c\nTopicTag51=never\n");
    EXPECT_EQ(readLinesUntilGap(ini, "index", "starttag"), (Lines{"<html>", "", "</html>"}));
    EXPECT_EQ(readLinesSkippingGaps(ini, "TreeFormat", "TopicTag"), (Lines{"a", "b", "c"}));
    EXPECT_TRUE(readLinesUntilGap(ini, "Missing", "StartTag").empty());
}

TEST(TemplateReadingTest, TagsAreReplacedOnceIgnoringCase) {
    const std::vector<Tag> tags = {{"_TopicTitle_", "A _TopicHref_ _TopicTitle_"},
                                   {"_TopicHref_", "h.htm"},
                                   {"_Same_", "_Same_"}};
    EXPECT_EQ(replaceTags("<_topictitle_|_TOPICHREF_|_Same_|_none_>", tags),
              "<A _TopicHref_ _TopicTitle_|h.htm|_Same_|_none_>");
    EXPECT_EQ(replaceTags("__TopicHref__", tags), "_h.htm_");
}

TEST(TemplateReadingTest, SettingsDefaults) {
    const TreeTemplateSettings s =
        TreeTemplateSettings::read(IniFile("unused", "[Settings]\n"
                                                     "TreeFormatFilename=  \n"));
    EXPECT_EQ(s.treeFileName, "tree.js");
    EXPECT_TRUE(s.copyItemIcons && s.copyChapterIcons && s.createIndex && s.createTreeFile);
    EXPECT_FALSE(s.createContents);
    EXPECT_EQ(s.dirToCopyFilesFrom, "");
}

TEST_F(TemplateTreeTest, WritesIndexContentsAndTreeFileInTableOrder) {
    settings.pages.welcomePage = "welcome.htm";
    settings.pages.copyrightPage = "legal.htm";
    options.bgImage = "Images\\Paper.gif";
    const std::string a = file("a.htm");
    const std::string b = file("b.htm");
    table.appendChapterRows(
        {test::chapter("Alpha#Chapter A", a), test::topic("Hi#Say hi", "welcome.htm", "2", a),
         test::topic("One", "one.htm", "3", a), test::topic("!!!Gone", "gone.htm", "3", a)});
    table.appendChapterRows({test::chapter("Beta", b), test::topic("Two", "two.htm", "4", b),
                             test::topic("Legal", "legal.htm", "5", b)});
    table.markRoles(settings.pages);
    const auto result = run(kPlainTemplate);
    EXPECT_TRUE(result.error.empty());
    ASSERT_EQ(result.written.size(), 3u);
    EXPECT_EQ(splitLines(tmp.read("proj/index.htm")),
              (Lines{"<title>My Help</title>",
                     "<frame src=\"treehtml/contents.htm\"><frame src=\"start.htm\">"}));
    EXPECT_EQ(
        treeLines("contents.htm"),
        (Lines{"<body bgcolor=\"#FFFFFF\" background=\"../Images/Paper.gif\">MyContent 180"}));
    EXPECT_EQ(treeLines("tree.txt"),
              (Lines{"start 250x550", "special Hi|Say hi|../welcome.htm|2|icon_2.gif",
                     "chapter Alpha|Chapter A", "topic One|One|../one.htm|icon_3.gif", "", "end",
                     "chapter Beta|Beta", "topic Two|Two|../two.htm|icon_4.gif", "", "end",
                     "special Legal|Legal|../legal.htm|5|icon_5.gif",
                     "special About Quirewright|About HTMLHelp Quirewright|../aboutjmp.htm|1|"
                     "aboutqwr.gif",
                     "done start.htm ../",
                     "_TreeTitle_ is not filled here"}));
    for (const char* icon : {"icon_2.gif", "icon_3.gif", "icon_4.gif", "icon_5.gif", "plus.gif"})
        EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / icon)) << icon;
}

TEST_F(TemplateTreeTest, ScriptTreeFileGetsSafeStringsAndTitlesAreNotExpandedAgain) {
    const std::string a = file("a.htm");
    table.appendChapterRows(
        {test::chapter("C", a),
         test::topic("It's \"<b>_TopicHref_</b>\"#back\\slash", "p.htm", "1", a)});
    const auto result =
        run("[TreeFormat]\nTopicTag0=t('_TopicTitle_', \"_TopicHint_\", '_TopicHref_');\n");
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(
        treeLines("tree.js"),
        (Lines{
            "t('It\\'s \\x22\\x3Cb>_TopicHref_\\x3C/b>\\x22', \"back\\\\slash\", '../p.htm');"}));
}

TEST_F(TemplateTreeTest, EveryChapterIsClosedEvenWhenItsLastRowGivesNoEntry) {
    settings.pages.welcomePage = "w.htm";
    const std::string a = file("a.htm");
    table.appendChapterRows({test::chapter("A", a), test::topic("One", "one.htm", "1", a),
                             test::topic("!!!Hidden", "h.htm", "1", a)});
    table.appendChapterRows({test::chapter("B", a), test::topic("W", "w.htm", "1", a)});
    table.appendChapterRows({test::chapter("Empty", a)});
    run("[Settings]\nTreeFormatFilename=t.txt\n[TreeFormat]\nChapterStartTag0=<_ChapterTitle_>\n"
        "TopicTag0=-_TopicTitle_\nChapterEndTag0=</>\n");
    EXPECT_EQ(treeLines("t.txt"), (Lines{"<A>", "-One", "</>", "<B>", "</>", "<Empty>", "</>"}));
}

TEST_F(TemplateTreeTest, IndexOffKeepsOlderIndexAndMissingSectionGivesEmptyTree) {
    tmp.write("proj/index.htm", "mine");
    const std::string a = file("a.htm");
    table.appendChapterRows({test::chapter("A", a), test::topic("One", "one.htm", "1", a)});
    const auto result = run("[Settings]\nCreateIndexHTML=0\nCopyChapterIcons=0\n");
    EXPECT_EQ(tmp.read("proj/index.htm"), "mine");
    EXPECT_EQ(tmp.read("proj/treehtml/tree.js"), "");
    EXPECT_FALSE(fs::exists(fs::path(projectDir) / "treehtml" / "plus.gif"));
    EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / "icon_1.gif"));
    EXPECT_EQ(result.written.size(), 1u);
}

TEST_F(TemplateTreeTest, UnwritableContentsStopsBeforeTheTreeFile) {
    fs::create_directories(fs::path(projectDir) / "treehtml" / "contents.htm");
    const auto result = run(kPlainTemplate);
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0], "Error creating contents.htm.\r\nCheck that it is not "
                                     "Read-Only or being used by another program.");
    EXPECT_EQ(messenger.kinds[0], MessageKind::Error);
    EXPECT_EQ(result.error, messenger.messages[0]);
    EXPECT_FALSE(fs::exists(fs::path(projectDir) / "treehtml" / "tree.txt"));
}

TEST_F(TemplateTreeTest, TreeFileOutsideTheTreeDirectoryIsRefused) {
    run("[Settings]\nTreeFormatFilename=../../escape.js\n[TreeFormat]\nStartTag0=x\n");
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0], "Error creating '../../escape.js'.\r\nCheck that it is not "
                                     "Read-Only or being used by another program.");
    EXPECT_FALSE(fs::exists(tmp.path() / "escape.js"));
}

TEST_F(TemplateTreeTest, CopiesSupportFilesByPatternOrFolder) {
    tmp.write("data/TScripts/Shared/a.js", "a");
    tmp.write("data/TScripts/Shared/b.css", "b");
    tmp.write("data/TScripts/Kit/img/c.gif", "c");
    run("[Settings]\nDirToCopyFilesFrom=TScripts\\Shared\\*.js\n");
    EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / "a.js"));
    EXPECT_FALSE(fs::exists(fs::path(projectDir) / "treehtml" / "b.css"));
    run("[Settings]\nDirToCopyFilesFrom=TScripts\\Kit\\\n");
    EXPECT_TRUE(fs::exists(fs::path(projectDir) / "treehtml" / "Kit" / "img" / "c.gif"));
    EXPECT_TRUE(wildcardMatch("*.*", "qwtree.js"));
    EXPECT_TRUE(wildcardMatch("Q?TREE.*", "qwtree.js"));
    EXPECT_FALSE(wildcardMatch("*.gif", "a.gift"));
}

} // namespace qw
