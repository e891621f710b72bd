#include "core/wizard_file_list.h"

#include <gtest/gtest.h>

namespace qw {

using Names = std::vector<std::string>;

TEST(WizardFileListTest, AddsRelativeNamesOnceAndStopsOutsideTheFolder) {
    WizardFileList list;
    EXPECT_TRUE(list.add({"/p/a.htm", "/p/sub/b.htm", "/p/a.htm"}, "/p/"));
    EXPECT_EQ(list.names(), (Names{"a.htm", "sub/b.htm"}));
    EXPECT_TRUE(list.add({"/p/A.htm"}, "/p/")) << "only exactly the same text is a duplicate";
    EXPECT_FALSE(list.add({"/p/c.htm", "/q/d.htm", "/p/e.htm"}, "/p/"));
    EXPECT_EQ(list.names(), (Names{"a.htm", "sub/b.htm", "A.htm", "c.htm"}));
    EXPECT_FALSE(list.add({"/P/f.htm"}, "/p/")) << "the folder compares with case";
}

TEST(WizardFileListTest, RemoveAndMoveKeepTheSelectionOnTheEntry) {
    WizardFileList list;
    list.add({"/p/a", "/p/b", "/p/c"}, "/p/");
    EXPECT_EQ(list.moveUp(0), 0);
    EXPECT_EQ(list.moveDown(2), 2);
    EXPECT_EQ(list.moveDown(0), 1);
    EXPECT_EQ(list.names(), (Names{"b", "a", "c"}));
    EXPECT_EQ(list.moveUp(2), 1);
    EXPECT_EQ(list.names(), (Names{"b", "c", "a"}));
    EXPECT_EQ(list.remove(0), 0);
    EXPECT_EQ(list.remove(1), 0);
    EXPECT_EQ(list.names(), Names{"c"});
    EXPECT_EQ(list.remove(0), -1);
    EXPECT_TRUE(list.names().empty());
}

} // namespace qw
