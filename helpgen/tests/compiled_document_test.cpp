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

TEST(CompiledDocumentTest, FillsAnEmptyDefaultTopicOfTheWindows) {
    Lines hhp = {"[OPTIONS]",
                 "Default topic=a.htm",
                 "[WINDOWS]",
                 R"(Main="T, with comma","x_toc.hhc","x_indx.hhk",,,,,"AboutJmp.htm",0x1520)",
                 R"(Second="T","x.hhc","","",,,,,,0x1520)",
                 R"(Third="T","x.hhc","","b.htm",,,,,,0x1520)",
                 "; comment",
                 "[FILES]",
                 "Main=\"not\",\"a\",\"window\",,"};
    EXPECT_TRUE(fillDefaultTopic(hhp, "a.htm"));
    EXPECT_EQ(hhp[3],
              R"(Main="T, with comma","x_toc.hhc","x_indx.hhk","a.htm",,,,"AboutJmp.htm",0x1520)");
    EXPECT_EQ(hhp[4], R"(Second="T","x.hhc","","a.htm",,,,,,0x1520)");
    EXPECT_EQ(hhp[5], R"(Third="T","x.hhc","","b.htm",,,,,,0x1520)");
    EXPECT_EQ(hhp[6], "; comment");
    EXPECT_EQ(hhp[8], "Main=\"not\",\"a\",\"window\",,");
    EXPECT_FALSE(fillDefaultTopic(hhp, "c.htm"));
}

TEST(CompiledDocumentTest, AddsAnOptionOnlyWhenTheAuthorSetNone) {
    Lines hhp = {"[OPTIONS]", "Title=x", "[FILES]", "a.htm"};
    EXPECT_TRUE(addOptionWhenMissing(hhp, "Binary Index", "No"));
    EXPECT_EQ(hhp, (Lines{"[OPTIONS]", "Binary Index=No", "Title=x", "[FILES]", "a.htm"}));
    hhp[1] = "binary index=Yes";
    EXPECT_FALSE(addOptionWhenMissing(hhp, "Binary Index", "No"));
    Lines none = {"[FILES]"};
    EXPECT_TRUE(addOptionWhenMissing(none, "Binary Index", "No"));
    EXPECT_EQ(none, (Lines{"[OPTIONS]", "Binary Index=No", "[FILES]"}));
}

TEST(CompiledDocumentTest, ListedFilesAreTheFilesSection) {
    const Lines hhp = {"[OPTIONS]", "Compiled file=x.chm", "[FILES]",
                       "a.htm",     "sub\\b.htm",          "; a comment",
                       "",          "[INFOTYPES]",         "c.htm"};
    EXPECT_EQ(listedFiles(hhp), (std::vector<std::string>{"a.htm", "sub/b.htm"}));
}

} // namespace qw
