#include "helpgen/project_options.h"

#include "build_test_support.h"
#include "core/ini_file.h"
#include "core/messages.h"
#include "core/project_settings.h"
#include "helpgen/options_pages.h"

#include <gtest/gtest.h>

namespace qw {

/// Answers from a queue (then Yes) and records every message.
class ScriptedMessenger : public Messenger {
public:
    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons) override {
        messages.push_back(text);
        kinds.push_back(kind);
        if (answers.empty())
            return Answer::Yes;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    std::vector<std::string> messages;
    std::vector<MessageKind> kinds;
    std::vector<Answer> answers;
};

class ProjectOptionsTest : public ::testing::Test {
protected:
    ProjectOptionsTest() { options.load(IniFile("/p/x.qwr", "")); }
    ProjectOptions options;
    ScriptedMessenger messenger;
};

TEST_F(ProjectOptionsTest, DefaultTicksGiveTheWorkshopFlags) {
    EXPECT_EQ(options.windowPropertySum(), 0x1520u);
    EXPECT_EQ(flagText(options.windowPropertySum() + 0x2000), "0x003520");
    EXPECT_EQ(flagText(options.toolbarButtonSum() + 0x80000), "0x083006");
    EXPECT_EQ(options.contentsOptVal(), "0x800227");
    EXPECT_EQ(options.extendedStyleText(), "");
    EXPECT_EQ(options.tabPositionText(), "");
    EXPECT_EQ(options.fontSpec(), "DEFAULT_FONT,8,0,PLAIN");
}

TEST_F(ProjectOptionsTest, TicksAddAndRemoveTheirTagOnlyOnChange) {
    options.setTicked(FlagBox::Back, false);
    EXPECT_EQ(options.toolbarButtonSum(), 0x3002u);
    options.setTicked(FlagBox::Back, false);
    EXPECT_EQ(options.toolbarButtonSum(), 0x3002u);
    options.setTicked(FlagBox::Back, true);
    options.setTicked(FlagBox::Back, true);
    EXPECT_EQ(options.toolbarButtonSum(), 0x3006u);
    options.setTicked(FlagBox::AutoCloseChaps, true);
    options.setTicked(FlagBox::ShowInsetFrame, true);
    EXPECT_EQ(options.contentsOptVal(), "0x840627");
}

TEST_F(ProjectOptionsTest, StylesAndTabPositions) {
    const struct {
        bool tool, indented;
        const char* text;
    } cases[] = {
        {false, false, ""}, {true, false, "0x80"}, {false, true, "0x200"}, {true, true, "0x280"}};
    for (const auto& c : cases) {
        options.toolWindowStyle = c.tool;
        options.indentedBorder = c.indented;
        EXPECT_EQ(options.extendedStyleText(), c.text);
    }
    options.setTabPosition(TabPosition::Side);
    EXPECT_EQ(options.tabPositionText(), "0x1");
    options.setTabPosition(TabPosition::Bottom);
    EXPECT_EQ(options.tabPositionText(), "0x2");
}

TEST(NavigatorFontTest, SpecAndHint) {
    EXPECT_EQ(navigatorFontSpec({"Arial", 8, false, false}), "Arial,8,0,PLAIN");
    EXPECT_EQ(navigatorFontSpec({"Arial", 10, true, false}), "Arial,10,0,BOLD");
    EXPECT_EQ(navigatorFontSpec({"Arial", 10, true, true}), "Arial,10,0,ITALIC");
    EXPECT_EQ(navigatorFontHint({}), "(Right-click to set as default)|Current Font : Default Font");
    EXPECT_EQ(navigatorFontHint({"Verdana", 9, true, false}),
              "(Right-click to set as default)|Current Font : Name=Verdana, Size=9, Style=Bold");
}

TEST_F(ProjectOptionsTest, NextPreviousAsksForBinaryContents) {
    messenger.answers = {Answer::No};
    options.setNextPrevButtons(true, messenger);
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.kinds[0], MessageKind::Information);
    EXPECT_FALSE(options.ticked(FlagBox::NextPrevTBBtns));
    EXPECT_FALSE(options.createBinaryToc);
    EXPECT_EQ(options.toolbarButtonSum(), 0x3006u);

    options.setNextPrevButtons(true, messenger); // Yes
    EXPECT_TRUE(options.ticked(FlagBox::NextPrevTBBtns));
    EXPECT_TRUE(options.createBinaryToc);
    EXPECT_EQ(options.toolbarButtonSum(), 0x603006u);

    options.setCreateBinaryToc(false, messenger);
    ASSERT_EQ(messenger.messages.size(), 3u);
    EXPECT_EQ(messenger.messages[2], "The option to show the 'Next/Previous' Toolbar\r\n"
                                     "Buttons (HHToolbar Tab) is set, these will be\r\n"
                                     "disabled if 'Create Binary Contents' is not set.");
    EXPECT_TRUE(options.ticked(FlagBox::NextPrevTBBtns));
    EXPECT_FALSE(options.createBinaryToc);
}

TEST_F(ProjectOptionsTest, SmallToolbarWarnsAndNoUnticks) {
    messenger.answers = {Answer::No};
    options.setUseSmallToolbar(true, messenger);
    EXPECT_FALSE(options.ticked(FlagBox::UseSmallTBar));
    EXPECT_EQ(options.windowPropertySum(), 0x1520u);
    EXPECT_EQ(messenger.kinds.at(0), MessageKind::Warning);
    options.setUseSmallToolbar(true, messenger);
    EXPECT_EQ(options.windowPropertySum(), 0x1560u);
}

TEST_F(ProjectOptionsTest, SmallToolbarLoadedOnIsWarnedAbout) {
    options.load(IniFile("/p/x.qwr", "[PROJECT_PROPERTIES]\r\nUseSmallTBar=1\r\n"));
    EXPECT_EQ(options.windowPropertySum(), 0x1560u);
    messenger.answers = {Answer::No};
    options.confirmLoadedSmallToolbar(messenger);
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.messages[0].substr(0, 44), "This is a undocumented feature of HTMLHelp.\r");
    EXPECT_FALSE(options.ticked(FlagBox::UseSmallTBar));
    EXPECT_EQ(options.windowPropertySum(), 0x1520u);
    options.load(IniFile("/p/x.qwr", ""));
    options.confirmLoadedSmallToolbar(messenger);
    EXPECT_EQ(messenger.messages.size(), 1u) << "no warning when the box is off";
}

TEST_F(ProjectOptionsTest, ContentsBoxesKeepTheStyleInTheSession) {
    ProjectSettings kept;
    kept.contentsOptVal = "0x000000";
    options.setTicked(FlagBox::Back, false, kept);
    EXPECT_EQ(kept.contentsOptVal, "0x000000") << "a toolbar box leaves the style alone";
    options.setTicked(FlagBox::AutoCloseChaps, true, kept);
    EXPECT_EQ(kept.contentsOptVal, "0x800627");
    options.setTicked(FlagBox::ShowInsetFrame, true, kept);
    options.setTicked(FlagBox::DrawBoxes, false, kept);
    EXPECT_EQ(kept.contentsOptVal, "0x840626");
}

TEST(OptionsPagesTest, HelpPageNamesFollowThePageComponents) {
    EXPECT_EQ(optionsHelpPage(OptionsMode::Project, "tabGeneral"), "prj_general_tab.htm");
    EXPECT_EQ(optionsHelpPage(OptionsMode::Environment, "tabSeparatorPaths"),
              "env_separatorpaths_tab.htm");
    std::vector<std::string> pages;
    for (const OptionsMode mode : {OptionsMode::Project, OptionsMode::Environment})
        for (const std::string& name : optionsPageNames(mode))
            pages.push_back(optionsHelpPage(mode, name));
    EXPECT_EQ(pages, (std::vector<std::string>{
                         "prj_general_tab.htm", "prj_layout_tab.htm", "prj_miscell_tab.htm",
                         "prj_toolbar_tab.htm", "prj_additional_tab.htm", "env_preferences_tab.htm",
                         "env_editor_tab.htm", "env_separatorpaths_tab.htm"}));
}

TEST_F(ProjectOptionsTest, SearchTabCustomButtonAndScreenSize) {
    options.setTicked(FlagBox::ShowNavAdvSearch, true);
    options.setShowSearchTab(true);
    EXPECT_FALSE(options.ticked(FlagBox::ShowNavAdvSearch));
    options.setShowSearchTab(false);
    EXPECT_FALSE(options.advancedSearchEnabled());

    options.customBtnCaption = "Go";
    options.setUseCustomButton(true);
    EXPECT_EQ(options.customBtnCaption, "");

    options.setCurrentScreenSize(true, 1280, 800);
    EXPECT_EQ(options.windowHeight, "772");
    EXPECT_EQ(options.windowWidth, "1280");
    EXPECT_FALSE(options.sizeBoxesEnabled());

    options.usePrevNextImages = true;
    options.setAddPrevNextLinks(false);
    EXPECT_FALSE(options.usePrevNextImages);
}

TEST(SizeBoxTest, KeysAndRefills) {
    EXPECT_TRUE(sizeBoxAcceptsKey('7'));
    EXPECT_TRUE(sizeBoxAcceptsKey('\b'));
    EXPECT_FALSE(sizeBoxAcceptsKey('-'));
    EXPECT_EQ(sizeBoxMaxDigits(SizeBox::PaneWidth), 3);
    EXPECT_EQ(sizeBoxMaxDigits(SizeBox::Top), 4);
    EXPECT_EQ(sizeBoxOnExit(SizeBox::Height, " "), "480");
    EXPECT_EQ(sizeBoxOnExit(SizeBox::Width, ""), "640");
    EXPECT_EQ(sizeBoxOnExit(SizeBox::Left, ""), "0");
    EXPECT_EQ(sizeBoxOnExit(SizeBox::PaneWidth, ""), "100");
    EXPECT_EQ(sizeBoxOnExit(SizeBox::PaneWidth, "250"), "250");
}

TEST(ProjectOptionsFileTest, WritesEveryKeyInOrderAndReadsItBack) {
    buildtest::TempFolder tmp;
    const std::string path = tmp.dir() + "p.qwr";
    writeLines(path, {"[CHAPTER_FILES]", "NumOfChapters=0", "[PROJECT_PROPERTIES]",
                      "WelcomeFileName=w.htm", "UseSmallTBar=1", "TabsOnSide=1"});
    ProjectOptions options;
    options.load(IniFile(path));
    EXPECT_TRUE(options.ticked(FlagBox::UseSmallTBar)); // loading asks nothing
    EXPECT_EQ(options.tabPosition(), TabPosition::Side);
    options.additionalFiles = {"my file.htm", "b.gif"};
    options.setTicked(FlagBox::AutoCloseChaps, true);
    options.font = {"Arial", 10, false, true};
    IniFile project(path);
    options.write(project);

    const IniFile reread(path);
    const auto keys = reread.keys("PROJECT_PROPERTIES");
    ASSERT_EQ(keys.size(), 65u);
    EXPECT_EQ(keys[0], "WelcomeFileName"); // kept, not owned by the dialog
    EXPECT_EQ(keys[1], "UseSmallTBar");
    EXPECT_EQ(keys[3], "TitleBarText");
    EXPECT_EQ(keys.back(), "NavFontItalic");
    EXPECT_EQ(reread.readString("PROJECT_PROPERTIES", "AdditonalFiles", ""),
              R"("my file.htm",b.gif)");
    EXPECT_EQ(reread.readString("PROJECT_PROPERTIES", "ContentsOptVal", ""), "0x800627");
    EXPECT_EQ(reread.readString("PROJECT_PROPERTIES", "WelcomeFileName", ""), "w.htm");

    ProjectOptions again;
    again.load(reread);
    EXPECT_EQ(again.windowDefinition("p"), options.windowDefinition("p"));
    EXPECT_EQ(again.additionalFiles, options.additionalFiles);
    EXPECT_EQ(again.fontSpec(), "Arial,10,0,ITALIC");

    ProjectSettings settings;
    again.applyTo(settings);
    EXPECT_EQ(settings.contentsOptVal, "0x800627");
    EXPECT_EQ(settings.additionalFiles, options.additionalFiles);
}

TEST(PickerTest, ImagesMustLieInTheProject) {
    ScriptedMessenger messenger;
    EXPECT_EQ(relativeImagePath("/p/img/next.gif", "/p/", messenger), "img/next.gif");
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_EQ(relativeImagePath("/q/next.gif", "/p/", messenger), "");
    EXPECT_EQ(messenger.messages.at(0),
              "Please select an Image in the same directory,\r\n"
              "or a sub-directory of the Project. (i.e. in a Relative Path).");
}

TEST(PickerTest, WorkshopProgram) {
    ScriptedMessenger messenger;
    EXPECT_TRUE(acceptWorkshopProgram("C:\\Tools\\HHW.EXE", messenger));
    EXPECT_TRUE(acceptWorkshopProgram("/usr/bin/chmcmd", messenger));
    EXPECT_FALSE(acceptWorkshopProgram("C:\\Tools\\hhc.exe", messenger));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(messenger.kinds[0], MessageKind::Error);
}

TEST(PickerTest, AdditionalFilesAddAndDelete) {
    ScriptedMessenger messenger;
    AdditionalFileLists lists;
    lists.defaultPages = {"intro.htm"};
    addAdditionalFiles(lists,
                       {"/p/img/a.gif", "/p/intro.htm", "/p/extra.html", "/q/x.htm", "/p/late.htm"},
                       "/p/", messenger);
    EXPECT_EQ(lists.files, (std::vector<std::string>{"img/a.gif", "extra.html"}));
    EXPECT_EQ(lists.defaultPages, (std::vector<std::string>{"intro.htm", "extra.html"}));
    EXPECT_EQ(lists.homePages, (std::vector<std::string>{"extra.html"}));
    ASSERT_EQ(messenger.messages.size(), 2u);
    EXPECT_EQ(messenger.messages[0], "The file: 'intro.htm' is already in the project.");
    EXPECT_EQ(messenger.kinds[1], MessageKind::Error); // outside: the rest is skipped

    EXPECT_EQ(deleteAdditionalFile(lists, 1), 0);
    EXPECT_EQ(lists.defaultPages, (std::vector<std::string>{"intro.htm"}));
    EXPECT_TRUE(lists.customPages.empty());
    EXPECT_EQ(deleteAdditionalFile(lists, 0), -1);
}

} // namespace qw
