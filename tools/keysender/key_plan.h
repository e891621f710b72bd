#pragma once

#include "tools/keysender/key_notation.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace qw::keys {

/// Modifier bits of a key position (the X11 modifier mask bits).
enum ModifierBit : unsigned {
    kShiftMask = 1u << 0,
    kLockMask = 1u << 1,
    kControlMask = 1u << 2,
    kMod1Mask = 1u << 3, ///< Alt
    kMod2Mask = 1u << 4,
    kMod3Mask = 1u << 5,
    kMod4Mask = 1u << 6,
    kMod5Mask = 1u << 7, ///< usually the third-level shift (AltGr)
};

/// Where a character or key sits on the keyboard: the key code to press and the
/// modifiers that give it (Shift for the second level, AltGr for the third...).
struct KeyPosition {
    unsigned keyCode = 0;
    unsigned modifiers = 0;

    bool operator==(const KeyPosition&) const = default;
};

/// The active keyboard layout, as the key sender needs it.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    /// The key and shift level that give the character; nullopt when the layout lacks it.
    virtual std::optional<KeyPosition> findCharacter(char32_t character) const = 0;
    /// The key of a named key's virtual-key code; nullopt when the layout lacks it.
    virtual std::optional<KeyPosition> findNamedKey(std::uint8_t virtualKey) const = 0;
    /// The key code that sets a single modifier bit; 0 when no key does.
    virtual unsigned modifierKey(unsigned modifierBit) const = 0;
    /// A key code without any symbol of its own to which the missing character (or, for
    /// a named key, the virtual key) can be bound while typing; the same character gets the
    /// same key code until the bindings are given back. 0 when there is none.
    virtual unsigned spareKeyFor(char32_t character, std::uint8_t virtualKey) const = 0;
};

/// One low-level event of typing.
struct KeyStep {
    enum class Kind {
        Press,      ///< key down of `code`
        Release,    ///< key up of `code`
        Bind,       ///< bind `character` (or `virtualKey`) to the spare key code `code`
        ButtonDown, ///< mouse button `code` (1 left, 2 middle, 3 right)
        ButtonUp,
    };
    Kind kind;
    unsigned code = 0;
    char32_t character = 0;
    std::uint8_t virtualKey = 0;

    bool operator==(const KeyStep&) const = default;
};

/// The events that type one unit on the layout: the group's modifiers pressed in the
/// order Shift, Alt, Control; then the modifiers the layout needs for the key's level and
/// that the group does not hold already; the key down and up; those level modifiers
/// released; the group's modifiers released in the order Shift, Alt, Control. A character
/// or key the layout lacks is first bound to a spare key (the platform gives the bindings
/// back when the text is typed). Returns nullopt when the unit cannot be typed at all (no
/// spare key, a modifier without a key).
std::optional<std::vector<KeyStep>> planKeyUnit(const KeyUnit& unit, const KeyboardLayout& layout);

} // namespace qw::keys
