#include "helpgen/compiled_document.h"

#include <gtest/gtest.h>

namespace qw {

TEST(CompiledDocumentTest, FillsOnlyAnEmptyOrMissingDefaultTopic) {
    Lines hhp = {"[OPTIONS]", "Default topic=", "Language=0x419", "", "[FILES]", "a.htm"};
    EXPECT_TRUE(fillDefaultTopic(hhp, "sub/a.htm"));
    EXPECT_EQ(hhp[1], "Default topic=sub/a.htm");
    EXPECT_FALSE(fillDefaultTopic(hhp, "other.htm"));
    EXPECT_EQ(hhp[1], "Default topic=sub/a.htm");

    Lines none = {"[OPTIONS]", "Title=x", "[FILES]", "Default topic=not an option.htm"};
    EXPECT_TRUE(fillDefaultTopic(none, "a.htm"));
    EXPECT_EQ(none, (Lines{"[OPTIONS]", "Default topic=a.htm", "Title=x", "[FILES]",
                           "Default topic=not an option.htm"}));
    Lines noOptions = {"[FILES]"};
    EXPECT_TRUE(fillDefaultTopic(noOptions, "a.htm"));
    EXPECT_EQ(noOptions, (Lines{"[OPTIONS]", "Default topic=a.htm", "[FILES]"}));
    EXPECT_FALSE(fillDefaultTopic(noOptions, ""));
}

TEST(CompiledDocumentTest, ListedFilesAreTheFilesSection) {
    const Lines hhp = {"[OPTIONS]", "Compiled file=x.chm", "[FILES]",
                       "a.htm",     "sub\\b.htm",          "; a comment",
                       "",          "[INFOTYPES]",         "c.htm"};
    EXPECT_EQ(listedFiles(hhp), (std::vector<std::string>{"a.htm", "sub/b.htm"}));
}

} // namespace qw
