#include "tools/keysender/key_plan.h"

#include "tools/keysender/tests/fake_layout.h"

#include <gtest/gtest.h>

namespace qw::keys {

namespace {

using namespace test;
using Kind = KeyStep::Kind;

KeyStep down(unsigned code) {
    return {Kind::Press, code};
}
KeyStep up(unsigned code) {
    return {Kind::Release, code};
}

/// Every step of typing the text on the layout, in order.
std::vector<KeyStep> plan(std::string_view text, const KeyboardLayout& layout) {
    std::vector<KeyStep> steps;
    for (const KeyUnit& unit : parseKeyText(text)) {
        const auto unitSteps = planKeyUnit(unit, layout);
        EXPECT_TRUE(unitSteps.has_value()) << text;
        if (unitSteps)
            steps.insert(steps.end(), unitSteps->begin(), unitSteps->end());
    }
    return steps;
}

} // namespace

TEST(KeyPlanTest, OnlyTheUpperCaseLetterIsShifted) {
    // "[SW '" from the secondary-window marker: S = 39, W = 25.
    const std::vector<KeyStep> expected = {
        down(kLeftBracket), up(kLeftBracket), down(kShift),      down(39),       up(39),
        up(kShift),         down(kShift),     down(25),          up(25),         up(kShift),
        down(kSpace),       up(kSpace),       down(kApostrophe), up(kApostrophe)};
    EXPECT_EQ(plan("[SW '", FakeLayout(FakeLayout::Country::UK)), expected);
    EXPECT_EQ(plan("[SW '", FakeLayout(FakeLayout::Country::US)), expected);
}

TEST(KeyPlanTest, EachCharacterTakesTheKeyOfTheActiveLayout) {
    const FakeLayout us(FakeLayout::Country::US);
    const FakeLayout uk(FakeLayout::Country::UK);
    // On a UK keyboard the double quote is Shift+2, on a US one Shift+apostrophe.
    EXPECT_EQ(plan("\"", uk), (std::vector<KeyStep>{down(kShift), down(k2), up(k2), up(kShift)}));
    EXPECT_EQ(plan("\"", us),
              (std::vector<KeyStep>{down(kShift), down(kApostrophe), up(kApostrophe), up(kShift)}));
    EXPECT_EQ(plan("@", uk),
              (std::vector<KeyStep>{down(kShift), down(kApostrophe), up(kApostrophe), up(kShift)}));
    EXPECT_EQ(plan("@", us), (std::vector<KeyStep>{down(kShift), down(k2), up(k2), up(kShift)}));
    EXPECT_EQ(plan("~", uk),
              (std::vector<KeyStep>{down(kShift), down(kBackslash), up(kBackslash), up(kShift)}));
    // A third-level character: AltGr held around the key.
    EXPECT_EQ(plan("\xE2\x82\xAC", uk),
              (std::vector<KeyStep>{down(kAltGr), down(k4), up(k4), up(kAltGr)}));
}

TEST(KeyPlanTest, ACharacterTheLayoutLacksIsBoundToASpareKey) {
    const FakeLayout us(FakeLayout::Country::US);
    EXPECT_EQ(plan("\xC2\xA3", us),
              (std::vector<KeyStep>{{Kind::Bind, kSpare, U'\u00A3'}, down(kSpare), up(kSpare)}));
    // Held Shift stays around the bound key.
    EXPECT_EQ(
        plan("{!\xC3\xA9}", us),
        (std::vector<KeyStep>{
            down(kShift), {Kind::Bind, kSpare, U'\u00E9'}, down(kSpare), up(kSpare), up(kShift)}));
    FakeLayout full(FakeLayout::Country::US);
    full.spare = 0;
    EXPECT_EQ(planKeyUnit(parseKeyText("\xC2\xA3").front(), full), std::nullopt);
    // A named key the layout lacks is bound the same way.
    EXPECT_EQ(plan("\xC2\xA3"
                   "F5$",
                   us),
              (std::vector<KeyStep>{{Kind::Bind, kSpare, 0, 0x74}, down(kSpare), up(kSpare)}));
}

TEST(KeyPlanTest, GroupModifiersArePressedAndReleasedShiftAltControl) {
    const FakeLayout uk(FakeLayout::Country::UK);
    // Shift+Enter, the separator buttons' line break.
    EXPECT_EQ(plan("{!\xC2\xA3Return$}", uk),
              (std::vector<KeyStep>{down(kShift), down(kReturn), up(kReturn), up(kShift)}));
    EXPECT_EQ(plan("{^&!a}", uk),
              (std::vector<KeyStep>{down(kShift), down(kAlt), down(kControl), down(38), up(38),
                                    up(kShift), up(kAlt), up(kControl)}));
    // The group's Shift is not pressed twice for a shifted character.
    EXPECT_EQ(plan("{!A}", uk), (std::vector<KeyStep>{down(kShift), down(38), up(38), up(kShift)}));
    // Shift on an unshifted character gives its shifted level, as the notation intends.
    EXPECT_EQ(plan("{!1}", uk), (std::vector<KeyStep>{down(kShift), down(k1), up(k1), up(kShift)}));
}

TEST(KeyPlanTest, RefusesWhatNoKeyCanType) {
    FakeLayout noAltGr(FakeLayout::Country::UK);
    noAltGr.hasAltGr = false;
    EXPECT_EQ(planKeyUnit(parseKeyText("\xE2\x82\xAC").front(), noAltGr), std::nullopt);
    EXPECT_EQ(
        planKeyUnit(parseKeyText("{&x}").front(), FakeLayout(FakeLayout::Country::UK))->front(),
        down(kAlt));
    EXPECT_EQ(
        *planKeyUnit(parseKeyText("\xC2\xA3LButton$").front(), FakeLayout(FakeLayout::Country::UK)),
        (std::vector<KeyStep>{{Kind::ButtonDown, 1}, {Kind::ButtonUp, 1}}));
}

} // namespace qw::keys
