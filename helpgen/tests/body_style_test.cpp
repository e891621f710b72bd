#include "helpgen/body_style.h"

#include <gtest/gtest.h>

namespace qw {

TEST(BodyStyleTest, ColoursAndBackgroundMoveIntoTheHead) {
    Lines page = {"<!-- header -->", "<html><head><title>T</title>", "</head>",
                  "<body bgcolor=\"#FFF8DC\" BACKGROUND='images/paper.gif' text=000080 "
                  "link=\"red\" leftmargin=\"10\"><h1>T</h1>",
                  "<p>Text</p>"};
    ASSERT_TRUE(moveBodyAttributesToStyle(page));
    const Lines expected = {
        "<!-- header -->", "<html><head><title>T</title>",
        "<style type=\"text/css\">body{background-color:#FFF8DC;background-image:url(\"images/"
        "paper.gif\");color:#000080;margin-left:10px;}a:link{color:red}</style></head>",
        "<body><h1>T</h1>", "<p>Text</p>"};
    EXPECT_EQ(page, expected);
    EXPECT_FALSE(moveBodyAttributesToStyle(page)) << "a bare body stays as it is";
}

TEST(BodyStyleTest, TagOverSeveralLinesAndOtherAttributes) {
    Lines page = {"<HTML><HEAD></HEAD>", "<BODY",
                  "  bgcolor=\"#FFFFFF\" background=\"\" style=\"font-size:small\"",
                  "  onload=\"init('a')\" class=x>after", "<p>Text</p>"};
    ASSERT_TRUE(moveBodyAttributesToStyle(page));
    const Lines expected = {
        "<HTML><HEAD><style type=\"text/css\">body{background-color:#FFFFFF;font-size:small;}"
        "</style></HEAD>",
        "<body><script type=\"text/javascript\">(function(b){b.setAttribute(\"onload\","
        "\"init('a')\");b.setAttribute(\"class\",\"x\");})(document.body);</script>"
        "after",
        "<p>Text</p>"};
    EXPECT_EQ(page, expected);
}

TEST(BodyStyleTest, EachPageGetsTheRulesOfItsOwnTag) {
    // Pages in a row: the same tag twice, another, then the first again.
    const std::pair<const char*, const char*> pages[] = {
        {"<body bgcolor=\"#FF0000\">", "body{background-color:#FF0000;}"},
        {"<body bgcolor=\"#FF0000\">", "body{background-color:#FF0000;}"},
        {"<body bgcolor=\"#FF0000\" text=\"blue\">", "body{background-color:#FF0000;color:blue;}"},
        {"<body vlink=\"red\">", "a:visited{color:red}"},
        {"<body bgcolor=\"#FF0000\">", "body{background-color:#FF0000;}"},
    };
    for (const auto& [tag, rules] : pages) {
        Lines page = {"<html><head></head>", std::string(tag) + "<p>x</p>"};
        ASSERT_TRUE(moveBodyAttributesToStyle(page)) << tag;
        EXPECT_EQ(page, (Lines{"<html><head><style type=\"text/css\">" + std::string(rules) +
                                   "</style></head>",
                               "<body><p>x</p>"}))
            << tag;
    }
    Lines bare = {"<head></head>", "<body>"};
    EXPECT_FALSE(moveBodyAttributesToStyle(bare));
    Lines classOnly = {"<head></head>", "<body class=\"c\">"};
    ASSERT_TRUE(moveBodyAttributesToStyle(classOnly));
    EXPECT_EQ(classOnly[0], "<head></head>") << "no style element for a tag without rules";
}

TEST(BodyStyleTest, PageWithoutHeadEndGetsTheStyleBeforeTheBody) {
    Lines page = {"<p>x</p><body bgcolor=\"FFFFFF\">", "text"};
    ASSERT_TRUE(moveBodyAttributesToStyle(page));
    EXPECT_EQ(page[0],
              "<p>x</p><style type=\"text/css\">body{background-color:#FFFFFF;}</style><body>");
    Lines none = {"<bodyguard>", "<p>no body tag</p>"};
    EXPECT_FALSE(moveBodyAttributesToStyle(none));
    EXPECT_EQ(none[0], "<bodyguard>");
}

TEST(BodyStyleTest, ParsesAttributesQuotedAndBare) {
    const std::vector<TagAttribute> expected = {
        {"a", "1"}, {"b", "two words"}, {"c", "x>y"}, {"nowrap", ""}, {"d", "e"}};
    EXPECT_EQ(parseTagAttributes("<td A=1 b=\"two words\" c='x>y' nowrap d = e>"), expected);
}

} // namespace qw
