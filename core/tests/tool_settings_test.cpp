#include "core/tool_settings.h"

#include "core/ini_file.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

TEST(ToolSettingsTest, FirstArgumentChoosesTheToolWithoutRegardToCase) {
    EXPECT_EQ(toolModeFromArgument("sfx"), ToolMode::SfxToolbar);
    EXPECT_EQ(toolModeFromArgument("SFX"), ToolMode::SfxToolbar);
    EXPECT_EQ(toolModeFromArgument("Tfl"), ToolMode::TflToolbar);
    EXPECT_EQ(toolModeFromArgument(""), ToolMode::PopupEditor);
    EXPECT_EQ(toolModeFromArgument("SFX2"), ToolMode::PopupEditor);
    EXPECT_EQ(toolModeFromArgument("TxPopups.js"), ToolMode::PopupEditor);
    EXPECT_EQ(toolTitle(ToolMode::SfxToolbar), "SFX ToolBar");
    EXPECT_EQ(toolTitle(ToolMode::TflToolbar), "TFL Toolbar");
    EXPECT_EQ(toolTitle(ToolMode::PopupEditor), "Popup Editor");
    // The main program asks "SFX Toolbar" to close: the same socket as "SFX ToolBar".
    EXPECT_EQ(toolSocketName("SFX ToolBar", 1000), "quirew-sfx-toolbar-1000");
    EXPECT_EQ(toolSocketName("SFX Toolbar", 1000), toolSocketName("SFX ToolBar", 1000));
    EXPECT_EQ(toolSocketName("TFL Toolbar", 0), "quirew-tfl-toolbar-0");
}

TEST(ToolSettingsTest, MissingFileReadsDefaultsAndCloseWritesFiveKeys) {
    test::TempDir tmp;
    IniFile config(tmp.path() / "quirew.cfg");
    SfxToolbarSettings settings = readSfxToolbarSettings(config);
    EXPECT_EQ(settings, SfxToolbarSettings{});
    EXPECT_EQ(settings.width, 105);
    EXPECT_EQ(readTopicSeparator(config), std::string(50, '-'));

    settings.top = 40;
    settings.left = 700;
    settings.effectsTop = 90;
    settings.effectsLeft = 12;
    settings.targetTitle = "Bluefish";
    settings.width = 300; // never written
    writeSfxToolbarSettings(config, settings);
    EXPECT_EQ(tmp.read("quirew.cfg"), "[SFX_Toolbar]\r\nTBTop=40\r\nTBLeft=700\r\nSFXTop=90\r\n"
                                      "SFXLeft=12\r\nTargetWinTitle=Bluefish\r\n");
    settings.width = 105;
    EXPECT_EQ(readSfxToolbarSettings(IniFile(tmp.path() / "quirew.cfg")), settings);
}

TEST(ToolSettingsTest, QuickLaunchTakesCompleteAuthorEntriesUpToNine) {
    test::TempDir tmp;
    const IniFile config(tmp.path() / "quirew.cfg", R"([SFX_QL]
NameForItem0= Editor
FileForItem0=/usr/bin/gedit|--new-window
NameForItem1=No command
FileForItem1=
NameForItem2=
FileForItem2=/usr/bin/true
NameForItem9=Last
FileForItem9=xterm
NameForItem10=Too far
FileForItem10=xterm
[Environment_Properties]
TopicSeparator=========
)");
    EXPECT_EQ(quickLaunchItems(config),
              (std::vector<QuickLaunchItem>{{"&Topic File List Toolbar", "qwrtools|TFL"},
                                            {"&HTMLHelp Quirewright", "QuireW"},
                                            {"&Popup Text Editor", "qwrtools"},
                                            {"Editor", "/usr/bin/gedit|--new-window"},
                                            {"Last", "xterm"}}));
    EXPECT_EQ(readTopicSeparator(config), "========");
}

TEST(ToolSettingsTest, LaunchCommandSplitsParametersLikeAShellWithoutExpanding) {
    EXPECT_EQ(parseLaunchCommand("qwrtools|TFL", "/opt/qw"),
              (LaunchCommand{"qwrtools", {"TFL"}, "/opt/qw"}));
    EXPECT_EQ(
        parseLaunchCommand("/usr/bin/gedit|\"my notes.txt\" 'a $HOME' b\\ c \"q\\\"x\"", "/opt/qw"),
        (LaunchCommand{"/usr/bin/gedit", {"my notes.txt", "a $HOME", "b c", "q\"x"}, "/usr/bin"}));
    EXPECT_EQ(parseLaunchCommand("/xterm", "/opt/qw"), (LaunchCommand{"/xterm", {}, "/"}));
    EXPECT_EQ(parseLaunchCommand("tool|", "/d"), (LaunchCommand{"tool", {}, "/d"}));
    EXPECT_EQ(splitShellWords("  a  ''  \"\" b|c "),
              (std::vector<std::string>{"a", "", "", "b|c"}));
}

TEST(ToolSettingsTest, MenusNearTheRightScreenEdgeOpenOneButtonHeightFurther) {
    EXPECT_EQ(menuAnchorX(0, 44, 22, 1024), 44);
    EXPECT_EQ(menuAnchorX(811, 44, 22, 1024), 44); // 811 + 44 + 168 = 1023
    EXPECT_EQ(menuAnchorX(812, 44, 22, 1024), 66); // reaches the screen width
    EXPECT_EQ(menuAnchorX(1000, 88, 22, 1024), 110);
}

} // namespace qw
