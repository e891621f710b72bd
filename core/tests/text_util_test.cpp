#include "core/text_util.h"

#include "core/file_io.h"

#include <gtest/gtest.h>

namespace qw {

TEST(TextUtilTest, PathSplitsAtTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(directoryOf("a/b\\c.htm"), "a/b\\");
    EXPECT_EQ(fileNameOf("a/b\\c.htm"), "c.htm");
    EXPECT_EQ(directoryOf("a\\b/c.htm"), "a\\b/");
    EXPECT_EQ(fileNameOf("a\\b/c.htm"), "c.htm");
    EXPECT_EQ(directoryOf("c.htm"), "");
    EXPECT_EQ(fileNameOf("c.htm"), "c.htm");
    EXPECT_EQ(directoryOf("part/"), "part/");
    EXPECT_EQ(fileNameOf("part/"), "");
    EXPECT_EQ(directoryOf("/"), "/");
    EXPECT_EQ(directoryOf(""), "");
    EXPECT_EQ(fileNameOf(""), "");
    EXPECT_EQ(baseNameOf("x\\y.z/name.htm"), "name");
}

TEST(TextUtilTest, ReplacementContainingItsTokenTerminates) {
    std::string text = "a _Title_ b _title_";
    EXPECT_EQ(replaceAllNoCase(text, "_TITLE_", "[_Title_]"), 2u);
    EXPECT_EQ(text, "a [_Title_] b [_Title_]");
}

TEST(TextUtilTest, SplitItemsTrimsAndDropsEmpty) {
    EXPECT_EQ(splitItems(" printing, ,paper size ,"),
              (std::vector<std::string>{"printing", "paper size"}));
    EXPECT_TRUE(splitItems("").empty());
}

TEST(TextUtilTest, CaseMappingLeavesHighBytesAlone) {
    EXPECT_EQ(toUpper("a\xe9z"), "A\xe9Z");
    EXPECT_TRUE(equalsNoCase("C:\\Proj\\Chap1.htm", "c:\\proj\\CHAP1.HTM"));
    EXPECT_EQ(findNoCase("xx</body>", "</BODY>"), 2u);
}

TEST(TextUtilTest, ParsesOnlyWholeIntegers) {
    EXPECT_EQ(toIntDef("42", 7), 42);
    EXPECT_EQ(toIntDef("-3", 7), -3);
    EXPECT_EQ(toIntDef("4x", 7), 7);
    EXPECT_EQ(toIntDef("", 7), 7);
    EXPECT_EQ(toIntDef("99999999999", 7), 7);
}

} // namespace qw
