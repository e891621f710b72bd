#include "core/field_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace qw {

namespace {

/// The characters of `probe` that a field of the kind admits.
std::u32string admitted(FieldKeys keys, std::u32string_view probe) {
    std::u32string out;
    for (char32_t c : probe)
        if (fieldAcceptsCharacter(keys, c))
            out += c;
    return out;
}

constexpr std::u32string_view kProbe = U"aZ09._/\\ -'\"(*)<>:;,!?@#\u00E9\u00A3\t";

} // namespace

TEST(FieldKeysTest, EachFieldKindAdmitsItsCharacters) {
    EXPECT_EQ(admitted(FieldKeys::Name, kProbe), U"aZ09._");
    EXPECT_EQ(admitted(FieldKeys::Number, kProbe), U"09");
    EXPECT_EQ(admitted(FieldKeys::Text, kProbe), U"aZ09._/\\ ");
    EXPECT_EQ(admitted(FieldKeys::Reference, kProbe), U"aZ09_");
    EXPECT_EQ(admitted(FieldKeys::Any, kProbe), kProbe);
}

} // namespace qw
