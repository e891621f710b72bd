#include "tools/keysender/key_notation.h"

#include <gtest/gtest.h>

namespace qw::keys {

namespace {

KeyUnit character(char32_t c) {
    return KeyUnit{KeyUnit::Kind::Character, c};
}

KeyUnit named(std::uint8_t code, bool group = false, bool shift = false) {
    KeyUnit unit{KeyUnit::Kind::Named, 0, code};
    unit.group = group;
    unit.shift = shift;
    return unit;
}

std::vector<KeyUnit> characters(std::u32string_view text) {
    std::vector<KeyUnit> units;
    for (char32_t c : text)
        units.push_back(character(c));
    return units;
}

} // namespace

TEST(KeyNotationTest, KnowsTheSeventyTwoKeyNamesWithoutRegardToCaseOrBlanks) {
    ASSERT_EQ(namedKeyNames().size(), 72u);
    for (std::string_view name : namedKeyNames())
        EXPECT_EQ(namedKeyName(*namedKeyCode(name)), name);
    EXPECT_EQ(namedKeyCode("return"), 0x0D);
    EXPECT_EQ(namedKeyCode(" RETURN "), 0x0D);
    EXPECT_EQ(namedKeyCode("numpad7"), 0x67);
    EXPECT_EQ(namedKeyCode("F24"), 0x87);
    EXPECT_EQ(namedKeyCode("Scroll"), 0x91);
    EXPECT_EQ(namedKeyCode("Enter"), std::nullopt);
    EXPECT_EQ(namedKeyCode("F25"), std::nullopt);
    EXPECT_EQ(namedKeyCode(""), std::nullopt);
}

TEST(KeyNotationTest, SplitsNamedKeysGroupsAndCharacters) {
    // The caret keys that follow a typed expandable-section marker.
    EXPECT_EQ(parseKeyText("\xC2\xA3Left$\xC2\xA3up$"),
              (std::vector<KeyUnit>{named(0x25), named(0x26)}));
    EXPECT_EQ(parseKeyText("{!\xC2\xA3Return$}"), (std::vector<KeyUnit>{named(0x0D, true, true)}));

    const auto units = parseKeyText("a{^&!x}{y}");
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0], character('a'));
    EXPECT_TRUE(units[1].group && units[1].shift && units[1].alt && units[1].control);
    EXPECT_EQ(units[1].character, U'x');
    EXPECT_TRUE(units[2].group);
    EXPECT_FALSE(units[2].shift || units[2].alt || units[2].control);
    EXPECT_EQ(units[2].character, U'y');

    // A modifier character that is the group's only character is its key.
    const auto bang = parseKeyText("{!}{!!}");
    ASSERT_EQ(bang.size(), 2u);
    EXPECT_EQ(bang[0].character, U'!');
    EXPECT_FALSE(bang[0].shift);
    EXPECT_EQ(bang[1].character, U'!');
    EXPECT_TRUE(bang[1].shift);
}

TEST(KeyNotationTest, TextThatIsNoKeyNotationArrivesAsItStands) {
    // A price, a pound sign without a key name, a dollar and braces that open no group.
    EXPECT_EQ(parseKeyText("\xC2\xA3"
                           "5 $3"),
              characters(U"\u00A35 $3"));
    EXPECT_EQ(parseKeyText("\xC2\xA3Lift$"), characters(U"\u00A3Lift$"));
    EXPECT_EQ(parseKeyText("{ab} {"), characters(U"{ab} {"));
    EXPECT_EQ(parseKeyText("{}"), characters(U"{}"));
    // Quotes, at sign, tilde, bar and upper case are characters like any other.
    EXPECT_EQ(parseKeyText("\"@~|W"), characters(U"\"@~|W"));
}

TEST(KeyNotationTest, DecodesUtf8AndTakesOtherBytesAsWindows1252) {
    EXPECT_EQ(parseKeyText("\xE2\x82\xAC\xC3\xA9\xF0\x9F\x98\x80"),
              characters(U"\u20AC\u00E9\U0001F600"));
    EXPECT_EQ(parseKeyText("\x80\xA3\xE9"), characters(U"\u20AC\u00A3\u00E9"));
    EXPECT_EQ(parseKeyText("\xC3"), characters(U"\u00C3"));
    EXPECT_EQ(parseKeyText("\xC0\xAF"), characters(U"\u00C0\u00AF")); // overlong "/"
}

TEST(KeyNotationTest, LineBreaksAndTabsAreTheirKeys) {
    EXPECT_EQ(
        parseKeyText("a\r\nb\nc\td"),
        (std::vector<KeyUnit>{character('a'), named(kVkReturn), character('b'), named(kVkReturn),
                              character('c'), named(kVkTab), character('d')}));
}

} // namespace qw::keys
