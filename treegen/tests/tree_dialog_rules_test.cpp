#include "treegen/tree_dialog_rules.h"

#include <gtest/gtest.h>

namespace qw {

TEST(TreeDialogRulesTest, AppletGroupAndLinkStylesFollowTheFormat) {
    EXPECT_TRUE(showsAppletGroup(TreeFormat::Applet));
    EXPECT_FALSE(enablesLinkStyles(TreeFormat::Applet));
    for (const TreeFormat f : {TreeFormat::Standard, TreeFormat::Script}) {
        EXPECT_FALSE(showsAppletGroup(f));
        EXPECT_TRUE(enablesLinkStyles(f));
    }
}

TEST(TreeDialogRulesTest, NumberBoxesTakeThreeDigitsAndBackspace) {
    EXPECT_TRUE(acceptsNumberKey('7', 2, 0));
    EXPECT_FALSE(acceptsNumberKey('7', 3, 0));
    EXPECT_TRUE(acceptsNumberKey('7', 3, 1));
    EXPECT_TRUE(acceptsNumberKey('\b', 3, 0));
    EXPECT_FALSE(acceptsNumberKey('a', 0, 0));
    EXPECT_FALSE(acceptsNumberKey('-', 0, 0));
}

TEST(TreeDialogRulesTest, BackgroundImageMustLieBelowTheProjectDirectory) {
    std::string field = "old.gif";
    std::string message;
    EXPECT_TRUE(backgroundImageField("/home/a/proj/", "/home/a/proj/images/p.gif", field, message));
    EXPECT_EQ(field, "images/p.gif");
    field = "old.gif";
    EXPECT_FALSE(backgroundImageField("/home/a/proj/", "/x/home/a/proj/p.gif", field, message));
    EXPECT_FALSE(backgroundImageField("/home/a/proj/", "/home/a/PROJ/p.gif", field, message));
    EXPECT_EQ(field, "old.gif");
    EXPECT_EQ(message, "Error: Files must be in the same directory\r\nor a sub-directory as the "
                       "Project file.");
}

} // namespace qw
