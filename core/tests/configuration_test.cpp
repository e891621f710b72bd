#include "core/configuration.h"

#include "core/environment_settings.h"
#include "core/ini_file.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

class ConfigurationTest : public ::testing::Test {
protected:
    test::TempDir tmp;
    Configuration config{tmp.path() / "quirew.cfg"};
};

TEST_F(ConfigurationTest, MissingFileGivesDefaultsAndClosingWritesThem) {
    const WindowSettings w = config.readWindow();
    EXPECT_EQ(w.width, 640);
    EXPECT_EQ(w.height, 480);
    EXPECT_EQ(w.left, 0);
    const ColumnWidths widths = config.readColumnWidths();
    EXPECT_EQ(widths.widths, (std::array<int, 10>{125, 95, 38, 77, 64, 93, 100, -1, -1, -1}));
    const RecentList recent = config.readRecent();
    for (const auto& e : recent.entries())
        EXPECT_EQ(e, "<Empty>");
    config.writeWindow(w);
    config.writeColumnWidths(widths);
    config.writeRecent(config.readRecent());
    const IniFile ini(config.path());
    EXPECT_EQ(ini.readString("FormSettings", "Width", ""), "640");
    EXPECT_EQ(ini.readString("ColWidths", "RelatedInfo", ""), "100");
    EXPECT_EQ(ini.readString("MRUFiles", "MRU3", ""), "<Empty>");
}

TEST(RecentListTest, MovesReopenedProjectsToTheFront) {
    RecentList list;
    for (const char* p : {"P4", "P3", "P2", "P1"})
        list.add(p);
    EXPECT_EQ(list.entries(), (std::array<std::string, 4>{"P1", "P2", "P3", "P4"}));
    list.add("P2");
    EXPECT_EQ(list.entries(), (std::array<std::string, 4>{"P2", "P1", "P3", "P4"}));
    list.add("P5");
    EXPECT_EQ(list.entries(), (std::array<std::string, 4>{"P5", "P2", "P1", "P3"}));
    list.add("p5");
    EXPECT_EQ(list.entries()[1], "P5") << "entries compare with case";
    RecentList dup;
    dup.setEntry(0, "A");
    dup.setEntry(1, "B");
    dup.setEntry(2, "A");
    dup.add("A");
    EXPECT_EQ(dup.entries(), (std::array<std::string, 4>{"A", "B", "<Empty>", "[none]"}));
}

TEST_F(ConfigurationTest, EnvironmentRoundTripsAndSharesTheSectionName) {
    tmp.write("quirew.cfg", "[Environment_Properties]\r\nTopicSeparator=<HR>\r\n");
    EnvironmentSettings env = EnvironmentSettings::read(IniFile(config.path()));
    EXPECT_EQ(env.topicSeparator, "<HR>");
    EXPECT_EQ(env.defaultBgColour, "$FFFFFF");
    EXPECT_TRUE(env.autoSaveProj);
    env.backupsChapters = false;
    env.hhWorkShopPath = "/opt/my tools/chmcmd";
    IniFile ini(config.path());
    env.write(ini);
    const EnvironmentSettings again = EnvironmentSettings::read(IniFile(config.path()));
    EXPECT_FALSE(again.backupsChapters);
    EXPECT_EQ(again.hhWorkShopPath, "/opt/my tools/chmcmd");
    EXPECT_FALSE(IniFile(config.path()).hasKey("ENVIRONMENT_PROPERTIES", "ConvertSpaces"));
    EXPECT_EQ(tmp.read("quirew.cfg").find("[ENVIRONMENT_PROPERTIES]"), std::string::npos)
        << "written into the existing section, whatever its case";
}

TEST(EnvironmentSeparatorTest, HorizontalRuleAndBlankSeparator) {
    EnvironmentSettings env;
    env.setUseHorzRule(true);
    EXPECT_EQ(env.topicSeparator, "<HR>");
    EXPECT_TRUE(env.useHorzRuleTag);
    env.setUseHorzRule(false);
    EXPECT_EQ(env.topicSeparator, "<HR>") << "unticking keeps the text";
    env.setSeparatorText("=====");
    EXPECT_EQ(env.topicSeparator, "=====");
    EXPECT_FALSE(env.useHorzRuleTag);
    env.setSeparatorText("   ");
    EXPECT_TRUE(env.useHorzRuleTag);
    EXPECT_EQ(env.topicSeparator, "<HR>");
}

TEST_F(ConfigurationTest, CompileOptionsDefaultAndPersist) {
    CompileOptions o = config.readCompileOptions();
    EXPECT_TRUE(o.closeHHeDocs);
    EXPECT_FALSE(o.editContents);
    EXPECT_TRUE(o.viewLog && o.viewChm && o.cleanUpFiles);
    o.cleanUpFiles = false;
    config.writeCompileOptions(o);
    EXPECT_FALSE(config.readCompileOptions().cleanUpFiles);
}

} // namespace qw
