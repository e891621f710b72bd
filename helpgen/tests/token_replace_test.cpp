#include "helpgen/token_replace.h"

#include <gtest/gtest.h>
#include <random>

namespace qw {
namespace {

TEST(TokenReplaceTest, MatchesWithoutCaseAndInsertsExactly) {
    Lines lines = {"<TITLE>_title_</TITLE>", "no token here", "_TITLE_ and _Title_"};
    EXPECT_EQ(replaceToken(lines, "_Title_", "Getting Started"), 3u);
    EXPECT_EQ(lines, (Lines{"<TITLE>Getting Started</TITLE>", "no token here",
                            "Getting Started and Getting Started"}));
}

TEST(TokenReplaceTest, EmptyReplacementDeletesAndJoinedTextIsReplacedToo) {
    // Deleting the inner tag joins "<pr" and "e>" into a new tag, which goes as well.
    Lines lines = {"a<pr<PRE>e>b", "<pre></pre>"};
    EXPECT_EQ(replaceToken(lines, "<pre>", ""), 3u);
    EXPECT_EQ(lines, (Lines{"ab", "</pre>"}));
}

TEST(TokenReplaceTest, ReplacementHoldingItsOwnTokenEnds) {
    Lines lines = {"<TITLE>_Title_ _TITLE_</TITLE>"};
    EXPECT_EQ(replaceToken(lines, "_Title_", "My _title_ page"), 2u);
    EXPECT_EQ(lines[0], "<TITLE>My _title_ page My _title_ page</TITLE>");
}

TEST(TokenReplaceTest, RewritesJoinedWithTheirSurroundingsAreFollowed) {
    Lines lines = {"aaab"};
    EXPECT_EQ(replaceToken(lines, "ab", "ba"), 3u);
    EXPECT_EQ(lines[0], "baaa");
}

TEST(TokenReplaceTest, EndlessRewriteIsCutShort) {
    // "bbaa" does not hold "ab", yet every result joins with its neighbours into a new
    // "ab": rescanning from the start alone would never end.
    Lines lines = {"aab"};
    const size_t count = replaceToken(lines, "ab", "bbaa");
    EXPECT_GT(count, 3u);
    EXPECT_LT(count, 100u);
    EXPECT_LT(lines[0].size(), 400u);
}

TEST(TokenReplaceTest, EqualPairOrEmptyTokenChangesNothing) {
    Lines lines = {"&quot; stays", ""};
    const Lines before = lines;
    EXPECT_EQ(replaceToken(lines, "&quot;", "&quot;"), 0u);
    EXPECT_EQ(replaceToken(lines, "", "x"), 0u);
    EXPECT_EQ(lines, before);
    // Equal ignoring case is still a replacement.
    EXPECT_EQ(replaceToken(lines, "&QUOT;", "&quot;"), 1u);
}

TEST(TokenFinderTest, FindsAtEveryPositionAndIgnoresBytesAboveAscii) {
    const TokenFinder finder("[sw '");
    EXPECT_EQ(finder.find("[SW 'a'"), 0u);
    EXPECT_EQ(finder.find("x[Sw 'a' [sW '", 2), 9u);
    EXPECT_EQ(finder.find("[SW"), std::string::npos);
    EXPECT_EQ(TokenFinder("\xC4x").find("\xE4x \xC4X"), 3u);
    EXPECT_EQ(TokenFinder("b").find("aaaaB"), 4u);
}

TEST(TokenFinderTest, FindsWhatAPlainSearchFinds) {
    // Tokens whose first character has two cases or none, frequent or rare in pages, and
    // tokens whose rarest character stands in the middle or at the end (the search goes
    // by that one): the first occurrence at or after the start, in any case, as a plain
    // comparison at every position finds it.
    std::mt19937 random(7);
    const std::string alphabet = "<>&aAbBqQ [*\"e/pPrRdD;";
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        return text;
    };
    for (const std::string token : {"<ab>", "&QUOT;", "[*", "aab", "<Qe& b", "abab", "[* a",
                                   "<pre>", "</PRE>", "&lt;ADD HERE&gt;", "<add here>", "e[", "ee q",
                                   "qq", "b q b", "x"}) {
        const TokenFinder finder(token);
        for (int round = 0; round < 400; ++round) {
            std::string text;
            const size_t size = random() % 300; // several blocks of 16 or 32 and a rest
            for (size_t i = 0; i < size; ++i)
                text += alphabet[random() % alphabet.size()];
            if (random() % 3 == 0 && text.size() > 0)
                text.insert(random() % text.size(), round % 2 ? token : lower(token));
            const size_t from = text.empty() ? 0 : random() % (text.size() + 1);
            const size_t expected = lower(text).find(lower(token), from);
            // Every width of block finds the same (the widest may be all this
            // processor runs; the narrower ones run everywhere).
            for (const BlockWidth width : {BlockWidth::Widest, BlockWidth::Sixteen, BlockWidth::One})
                ASSERT_EQ(finder.find(text, from, width), expected)
                    << token << " in '" << text << "', width " << int(width);
        }
    }
}

} // namespace
} // namespace qw
