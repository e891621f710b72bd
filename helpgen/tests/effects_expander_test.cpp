#include "helpgen/effects_expander.h"

#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qw {
namespace {

const std::filesystem::path kData = QW_TEST_DATA_DIR;

class EffectsExpanderTest : public ::testing::Test {
protected:
    EffectsExpander basic = EffectsExpander::load(kData / "effects_basic.sfx");
};

long countOf(const Lines& page, const std::string& line) {
    return std::count(page.begin(), page.end(), line);
}

TEST_F(EffectsExpanderTest, ReadsQuotedPiecesWithTheirBlanksAndIgnoresCase) {
    Lines page = {"see [x one x] and [X two X]."};
    basic.expand(page, 2, 2);
    ASSERT_EQ(page.size(), 3u);
    EXPECT_EQ(page[0],
              "see <span class=\"x\" title=\"one\"> and <span class=\"x\" title=\"two\">.");
    EXPECT_EQ(page[1], "<script>initX();</script>");
    // Blanks round an unquoted value are dropped; the scan of extra lines stops at the
    // first missing number.
    EXPECT_EQ(page[2], "<!-- x done -->");
}

TEST_F(EffectsExpanderTest, AllPiecesReplacedButExtraLinesOncePerScript) {
    Lines page = {"[X a", "[X b X]", "[X c X]"};
    basic.expand(page, 2, 2);
    EXPECT_EQ(page[0], "<span class=\"x\" title=\"a");
    EXPECT_EQ(page[1], "<span class=\"x\" title=\"b\">");
    EXPECT_EQ(countOf(page, "<script>initX();</script>"), 1);
    EXPECT_EQ(page.size(), 5u);
}

TEST_F(EffectsExpanderTest, MissingClosingPieceLeavesOpeningRewrittenWithoutExtraLines) {
    Lines page = {"[X never closed"};
    basic.expand(page, 2, 2);
    EXPECT_EQ(page, (Lines{"<span class=\"x\" title=\"never closed"}));
}

TEST_F(EffectsExpanderTest, LaterScriptSeesEarlierOutputAndMissingReplacerReads_NONE_) {
    Lines page = {"[X a X] [missing replacer]"};
    basic.expand(page, 2, 3);
    EXPECT_EQ(page[0], "<span class=\"x seen\" title=\"a\"> !NONE!");
    EXPECT_EQ(countOf(page, "<script>initSeen();</script>"), 1);
}

TEST_F(EffectsExpanderTest, PopupsOnlyRunScriptOneAndEffectsOnlySkipIt) {
    Lines popupsOnly = {"[*ref*]text [X a X] [LAST]"};
    basic.expand(popupsOnly, 1, 1);
    EXPECT_EQ(popupsOnly, (Lines{"<a class=\"pop\" data-ref=\"ref\">text [X a X] [LAST]",
                                 "<script>initPopups();</script>"}));
    Lines effectsOnly = {"[*ref*]text [LAST]"};
    basic.expand(effectsOnly, 2, 50);
    EXPECT_EQ(effectsOnly[0], "[*ref*]text <b>last</b>");
    EXPECT_EQ(countOf(effectsOnly, "<script>initPopups();</script>"), 0);
}

TEST_F(EffectsExpanderTest, BlankFirstPieceAppliesNothing) {
    Lines page = {"anything   "};
    basic.expand(page, 4, 4);
    EXPECT_EQ(page, (Lines{"anything   "}));
}

TEST(EffectsExpanderChainTest, LaterScriptFindsCharactersAnEarlierOneBroughtIn) {
    // The second script's token holds no character of the page as written: only the
    // first script's output gives it something to find, in either case.
    const EffectsExpander chain = EffectsExpander::fromText("[SCRIPT1]\nVARIABLE1=[one]\n"
                                                            "REPLACER1=qz\n[SCRIPT2]\n"
                                                            "VARIABLE1=qz\nREPLACER1=done\n");
    Lines page = {"[one] and [ONE]", "no marker"};
    chain.expand(page, 1, 2);
    EXPECT_EQ(page, (Lines{"done and done", "no marker"}));
    Lines upper = {"QZ alone"};
    chain.expand(upper, 1, 2);
    EXPECT_EQ(upper, (Lines{"done alone"}));
    Lines none = {"[on e] q z"};
    chain.expand(none, 1, 2);
    EXPECT_EQ(none, (Lines{"[on e] q z"}));
}

TEST(EffectsExpanderGapTest, MissingScriptStopsEveryLaterOne) {
    const EffectsExpander gap = EffectsExpander::load(kData / "effects_gap.sfx");
    EXPECT_TRUE(gap.hasScript(3));
    Lines page = {"[*x [LAST]"};
    gap.expand(page, 1, 50);
    EXPECT_EQ(page, (Lines{"<pop>x [LAST]", "<script>one</script>"}));
    // Starting after script 1 with script 2 missing runs nothing at all.
    Lines effects = {"[LAST]"};
    gap.expand(effects, 2, 50);
    EXPECT_EQ(effects, (Lines{"[LAST]"}));
}

TEST(EffectsExpanderReaderTest, ReadsLikeTheSettingsReaderWithoutCuttingLongValues) {
    const std::string longText(3000, 'w');
    const EffectsExpander expander = EffectsExpander::fromText(
        "[Script1]\r\nvariable1 = ' [A '\r\nVARIABLE1=ignored: the first key counts\r\n"
        "REPLACER1=\"" +
        longText +
        "\"\r\nadditional1=\"'both'\"\r\n"
        "ADDITIONAL2='unbalanced\"\r\n;ADDITIONAL3=a comment, not a key\r\n"
        "[SCRIPT1]\r\nADDITIONAL3=a repeated section is not read\r\n");
    Lines page = {"x [A y", "[ax"};
    expander.expand(page, 1, 1);
    EXPECT_EQ(page, (Lines{"x" + longText + "y", "[ax", "'both'", "'unbalanced\""}));
}

TEST(EffectsExpanderGapTest, MissingFileAppliesNothing) {
    const EffectsExpander none = EffectsExpander::load(kData / "no_such_file.sfx");
    Lines page = {"[*x*] [X a X]"};
    none.expand(page, 1, 50);
    EXPECT_EQ(page, (Lines{"[*x*] [X a X]"}));
}

TEST(EffectsExpanderShippedTest, ShippedDefinitionsHaveNoSelfContainingPair) {
    // A replacement holding its own token cannot be rescanned; the shipped file must not
    // rely on the fallback.
    const IniFile ini(std::filesystem::path(QW_DATA_DIR) / "xFiles" / "Effects.sfx");
    int scripts = 0;
    for (int n = 1; n <= EffectsExpander::kMaxScripts; ++n) {
        const std::string section = "SCRIPT" + std::to_string(n);
        if (!ini.hasKey(section, "VARIABLE1"))
            break;
        ++scripts;
        for (int k = 1; k <= EffectsExpander::kMaxVariables; ++k) {
            const std::string token = ini.readString(section, "VARIABLE" + std::to_string(k), "");
            if (token.empty())
                break;
            const std::string with = ini.readString(section, "REPLACER" + std::to_string(k), "");
            std::string lowerToken = token, lowerWith = with;
            for (auto* s : {&lowerToken, &lowerWith})
                std::transform(s->begin(), s->end(), s->begin(), ::tolower);
            EXPECT_EQ(lowerWith.find(lowerToken), std::string::npos) << section << " " << k;
        }
    }
    if (scripts == 0)
        GTEST_SKIP() << "no shipped definitions yet";
}

} // namespace
} // namespace qw
