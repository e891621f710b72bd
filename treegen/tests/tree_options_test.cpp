#include "treegen/tree_options.h"

#include "core/ini_file.h"
#include "core/tests/test_util.h"

#include <gtest/gtest.h>

namespace qw {

class TreeOptionsTest : public ::testing::Test {
protected:
    test::TempDir tmp;
};

TEST_F(TreeOptionsTest, ProjectWithoutSectionGivesDefaults) {
    const IniFile ini(tmp.write("p.qwr", "[PROJECT_PROPERTIES]\r\nTitleBarText=x\r\n"));
    const TreeOptions o = TreeOptions::read(ini);
    EXPECT_EQ(o.format, TreeFormat::Standard);
    EXPECT_EQ(o.treeTitle, "MyContent");
    EXPECT_EQ(o.frameWidth, "180");
    EXPECT_EQ(o.appletWidth, "250");
    EXPECT_EQ(o.appletHeight, "550");
    EXPECT_EQ(o.bgColor, "$FFFFFF");
    EXPECT_EQ(o.bgImage, "");
    EXPECT_TRUE(o.style1);
    EXPECT_EQ(o.iconSet, IconSet::Folders);
    EXPECT_TRUE(o.putInSubDir);
    EXPECT_TRUE(o.showBorder);
    EXPECT_TRUE(o.viewWhenCreated);
}

TEST_F(TreeOptionsTest, WritesEveryKeyOfEachGroupAndReadsThemBack) {
    const auto path = tmp.write("p.qwr", "[PROJECT_PROPERTIES]\r\nTitleBarText=x\r\n");
    TreeOptions o;
    o.format = TreeFormat::Script;
    o.style1 = false;
    o.iconSet = IconSet::Plus1;
    o.treeTitle = "Manual";
    o.putInSubDir = false;
    o.bgImage = "images\\paper.gif";
    {
        IniFile ini(path);
        o.write(ini);
    }
    const std::string text = tmp.read("p.qwr");
    for (const char* line :
         {"StandardHTML=0", "JavaApplet=0", "JavaScript=1", "Style1=0", "Style2=1", "W95Folders=0",
          "3DPlusMinus=1", "PutInSubDir=0", "TreeTitle=Manual", "TitleBarText=x"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    const TreeOptions back = TreeOptions::read(IniFile(path));
    EXPECT_EQ(back.format, TreeFormat::Script);
    EXPECT_FALSE(back.style1);
    EXPECT_EQ(back.iconSet, IconSet::Plus1);
    EXPECT_EQ(back.bgImage, "images\\paper.gif");
    EXPECT_FALSE(back.putInSubDir);
}

TEST_F(TreeOptionsTest, FirstSetKeyOfAGroupWins) {
    const IniFile ini(tmp.write("p.qwr", "[dovazazeopt]\r\nstandardhtml=0\r\nJavaApplet=1\r\n"
                                         "JavaScript=1\r\nW95Folders=0\r\nMacFolders=1\r\n"));
    const TreeOptions o = TreeOptions::read(ini);
    EXPECT_EQ(o.format, TreeFormat::Applet);
    EXPECT_EQ(o.iconSet, IconSet::Mac);
}

TEST(TreeValuesTest, SubDirectoryGivesPrefixesAndTreeDirectory) {
    TreeOptions o;
    const TreeValues v = TreeValues::derive(o, "/p", "/data");
    EXPECT_EQ(v.treeDir, std::filesystem::path("/p/treehtml"));
    EXPECT_EQ(v.relativePrefix, "../");
    EXPECT_EQ(v.frameSetPrefix, "treehtml/");
    EXPECT_EQ(v.iconSetDir, std::filesystem::path("/data/Icons/Folders"));
    EXPECT_EQ(v.templateDir, std::filesystem::path("/data/TScripts"));
    EXPECT_EQ(v.linkStyleBlock, "<style><!-- a:hover{color: red;} a{color: blue; "
                                "text-decoration:none;} --></style>");
    EXPECT_EQ(v.linkColourAttributes, "vlink=\"blue\" link=\"blue\" alink=\"red\"");
    EXPECT_EQ(v.frameBorderAttributes, "FrameBorder=\"Yes\" Border=\"5\"");
    EXPECT_EQ(v.htmlBgColour, "#FFFFFF");
}

TEST(TreeValuesTest, WithoutSubDirectoryEverythingStaysInTheProjectDirectory) {
    TreeOptions o;
    o.putInSubDir = false;
    o.style1 = false;
    o.showBorder = false;
    o.bgColor = "$00123456";
    o.iconSet = IconSet::Arrows2;
    const TreeValues v = TreeValues::derive(o, "/p", "/data");
    EXPECT_EQ(v.treeDir, std::filesystem::path("/p"));
    EXPECT_EQ(v.relativePrefix, "");
    EXPECT_EQ(v.frameSetPrefix, "");
    EXPECT_EQ(v.iconSetDir, std::filesystem::path("/data/Icons/Arrows2"));
    EXPECT_EQ(v.linkStyleBlock, "<style><!-- a:hover{color: blue; text-decoration:underline} "
                                "a{text-decoration:none;} --></style>");
    EXPECT_EQ(v.linkColourAttributes, "vlink=\"black\" link=\"black\" alink=\"blue\"");
    EXPECT_EQ(v.frameBorderAttributes, "FrameBorder=\"No\" Border=\"0\"");
    EXPECT_EQ(v.htmlBgColour, "#563412");
}

TEST(TreeValuesTest, HtmlColourOfNamesHexAndNonsense) {
    EXPECT_EQ(htmlColourOf("clRed"), "#FF0000");
    EXPECT_EQ(htmlColourOf("$0000FF"), "#FF0000");
    EXPECT_EQ(htmlColourOf("$00C0DCA0"), "#A0DCC0");
    EXPECT_EQ(htmlColourOf("clNavy"), "#000080");
    EXPECT_EQ(htmlColourOf("purple"), "#FFFFFF");
}

} // namespace qw
