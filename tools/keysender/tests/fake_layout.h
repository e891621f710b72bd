#pragma once

#include "tools/keysender/key_plan.h"

#include <map>

namespace qw::keys::test {

// Key codes of a pc105 keyboard as an X server numbers them.
enum Key : unsigned {
    k1 = 10,
    k2 = 11,
    k3 = 12,
    k4 = 13,
    k0 = 19,
    kMinus = 20,
    kLeftBracket = 34,
    kReturn = 36,
    kControl = 37,
    kApostrophe = 48,
    kGrave = 49,
    kShift = 50,
    kBackslash = 51,
    kAlt = 64,
    kSpace = 65,
    kAltGr = 92,
    kUp = 111,
    kLeft = 113,
    kSpare = 250,
};

/// Letters, digits and the keys the tests need, on a US or a UK layout.
class FakeLayout : public KeyboardLayout {
public:
    enum class Country { US, UK };

    explicit FakeLayout(Country country) {
        const char* rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
        const unsigned starts[] = {24, 38, 52};
        for (int row = 0; row < 3; ++row)
            for (unsigned i = 0; rows[row][i]; ++i) {
                m_characters[char32_t(rows[row][i])] = {starts[row] + i, 0};
                m_characters[char32_t(rows[row][i] - 32)] = {starts[row] + i, kShiftMask};
            }
        for (unsigned d = 1; d <= 9; ++d)
            m_characters[U'0' + d] = {k1 + d - 1, 0};
        m_characters[U'0'] = {k0, 0};
        m_characters[U'!'] = {k1, kShiftMask};
        m_characters[U'['] = {kLeftBracket, 0};
        m_characters[U'\''] = {kApostrophe, 0};
        m_characters[U' '] = {kSpace, 0};
        m_characters[U'-'] = {kMinus, 0};
        m_characters[U'_'] = {kMinus, kShiftMask};
        if (country == Country::US) {
            m_characters[U'"'] = {kApostrophe, kShiftMask};
            m_characters[U'@'] = {k2, kShiftMask};
            m_characters[U'~'] = {kGrave, kShiftMask};
            m_characters[U'|'] = {kBackslash, kShiftMask};
        } else {
            m_characters[U'"'] = {k2, kShiftMask};
            m_characters[U'@'] = {kApostrophe, kShiftMask};
            m_characters[U'~'] = {kBackslash, kShiftMask};
            m_characters[U'\u00A3'] = {k3, kShiftMask};
            m_characters[U'\u20AC'] = {k4, kMod5Mask};
        }
        m_named[kVkReturn] = {kReturn, 0};
        m_named[0x25] = {kLeft, 0};
        m_named[0x26] = {kUp, 0};
    }

    std::optional<KeyPosition> findCharacter(char32_t character) const override {
        const auto found = m_characters.find(character);
        return found == m_characters.end() ? std::nullopt : std::optional(found->second);
    }
    std::optional<KeyPosition> findNamedKey(std::uint8_t virtualKey) const override {
        const auto found = m_named.find(virtualKey);
        return found == m_named.end() ? std::nullopt : std::optional(found->second);
    }
    unsigned modifierKey(unsigned bit) const override {
        switch (bit) {
        case kShiftMask:
            return kShift;
        case kControlMask:
            return kControl;
        case kMod1Mask:
            return kAlt;
        case kMod5Mask:
            return hasAltGr ? unsigned(kAltGr) : 0u;
        default:
            return 0;
        }
    }
    unsigned spareKeyFor(char32_t, std::uint8_t) const override { return spare; }

    unsigned spare = kSpare;
    bool hasAltGr = true;

private:
    std::map<char32_t, KeyPosition> m_characters;
    std::map<std::uint8_t, KeyPosition> m_named;
};

} // namespace qw::keys::test
