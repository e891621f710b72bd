#include "core/related_topics.h"

#include "core/topic_table.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace qw {

using Strings = std::vector<std::string>;

TEST(RelatedTopicsTest, KeywordsSplitAtEveryCommaAndJoinWithCommaBlank) {
    EXPECT_EQ(splitKeywords("alpha, beta,,gamma, "), (Strings{"alpha", "beta", "gamma"}));
    EXPECT_EQ(splitKeywords(""), Strings{});
    EXPECT_EQ(splitKeywords(" , ,"), Strings{});
    EXPECT_EQ(joinKeywords({"alpha", "beta", "", "gamma", "  "}), "alpha, beta, gamma");
    EXPECT_EQ(joinKeywords({" two words ", "x"}), "two words, x");
    EXPECT_EQ(joinKeywords({"", " "}), "");
}

TEST(RelatedTopicsTest, RelatedEntriesSplitAtFirstSemicolon) {
    const std::vector<RelatedEntry> entries =
        splitRelatedTopics(" Installing ; install.htm,tour.htm, ,Odd;a;b.htm");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].description, "Installing");
    EXPECT_EQ(entries[0].fileName, "install.htm");
    EXPECT_EQ(entries[1].description, "") << "no ';': all file name";
    EXPECT_EQ(entries[1].fileName, "tour.htm");
    EXPECT_EQ(entries[2].description, "Odd");
    EXPECT_EQ(entries[2].fileName, "a;b.htm");
}

TEST(RelatedTopicsTest, RowsWithOnlyOneHalfAreDropped) {
    EXPECT_EQ(joinRelatedTopics({{" A ", " a.htm "}, {"", "tour.htm"}, {"B", " "}, {"C", "c.htm"}}),
              "A;a.htm, C;c.htm");
    EXPECT_EQ(joinRelatedTopics({{"", "tour.htm"}}), "");
    EXPECT_EQ(relatedEntryText({"", "tour.htm"}), "tour.htm");
    EXPECT_EQ(relatedEntryText({"Tour", "tour.htm"}), "Tour;tour.htm");
}

TEST(RelatedTopicsTest, ChoicesAreLinksFromTheEditedChapterSkippingWebTopics) {
    TopicTable table;
    table.setProjectDir("/p/");
    table.appendChapterRows({test::chapterRow("/p/intro.htm"),
                             test::topicRow("A", "Int_A.htm", "/p/intro.htm"),
                             test::topicRow("Web", "WEB:http://x.org", "/p/intro.htm")});
    table.appendChapterRows({test::chapterRow("/p/Sub/chap.htm"),
                             test::topicRow("C", "cha_c.htm", "/p/Sub/chap.htm"),
                             test::topicRow("New", "cha_new.htm", "/data/xFiles/newtopic.tem")});
    EXPECT_EQ(relatedTopicChoices(table, "/p/intro.htm"),
              (Strings{"int_a.htm", "sub/cha_c.htm", "sub/cha_new.htm"}));
    EXPECT_EQ(relatedTopicChoices(table, "/p/Sub/chap.htm"),
              (Strings{"../int_a.htm", "cha_c.htm", "cha_new.htm"}));
}

} // namespace qw
