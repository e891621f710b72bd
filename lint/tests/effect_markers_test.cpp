#include "lint/effect_markers.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

std::vector<std::string> problems(const Lines& lines, const std::vector<std::string>& tokens) {
    const TopicText text(lines.begin(), lines.end());
    std::vector<MarkerProblem> found;
    checkEffectMarkers(text, tokens, found);
    std::vector<std::string> out;
    for (const MarkerProblem& p : found)
        out.push_back(std::to_string(p.line) + ": " + p.message);
    return out;
}

const std::vector<std::string> kSection = {"[ET ", " ET]", "(ET)", "[ES \"", "\" ES]", "(ES)"};
const std::vector<std::string> kPopup = {"[*", "*]", "(*)"};

TEST(EffectMarkersTest, ClosedMarkersInAnyCaseAndOrderPass) {
    EXPECT_TRUE(
        problems({"[et a ET]A(Et) [ET b ET]B(ET)", "[ES \"a\" ES]x(ES)", "[es \"b\" es]y(es)"},
                 kSection)
            .empty());
    EXPECT_TRUE(problems({"no markers at all (just brackets) [x]"}, kPopup).empty());
}

TEST(EffectMarkersTest, ReportsTheMarkerLeftOpenAndTheStrayClose) {
    EXPECT_EQ(problems({"[*a*]A(*)", "[*b*]B", "[*c*]C(*)"}, kPopup),
              (std::vector<std::string>{"1: effect marker \"[*\" is not closed: no \"(*)\" "
                                        "after it"}));
    EXPECT_EQ(problems({"text(*) more", "[*a*]A(*)"}, kPopup),
              (std::vector<std::string>{"0: \"(*)\" closes no effect marker \"[*\""}));
    // Without any opening piece the effect does not apply: the text stays as it is.
    EXPECT_TRUE(problems({"f(*) and (*)"}, kPopup).empty());
}

TEST(EffectMarkersTest, ReportsAMissingMiddlePieceOnceAtTheFirstMarker) {
    EXPECT_EQ(problems({"x", "[ET a ET]A(ET) [ET b ET]B(ET)", "[ES \"a\" ES]x(ES)", "[ES b]y(ES)"},
                       kSection),
              (std::vector<std::string>{
                  "1: effect marker \"[ET \" is incomplete: 2 marker(s) but 1 \"[ES \"\"",
                  "1: effect marker \"[ET \" is incomplete: 2 marker(s) but 1 \"\" ES]\""}));
}

TEST(EffectMarkersTest, PopupUsesKeepTheReferenceAsWritten) {
    const Lines lines = {"[*ebb*]Ebb(*) and [* Flood*]F(*)", "[*broken", "*] (*)"};
    const TopicText text(lines.begin(), lines.end());
    const std::vector<PopupUse> uses = popupUses(text, "[*", "*]");
    ASSERT_EQ(uses.size(), 2u);
    EXPECT_EQ(uses[0].reference, "ebb");
    EXPECT_EQ(uses[1].reference, " Flood");
    EXPECT_EQ(uses[1].line, 0u);
}

} // namespace
} // namespace qw
