#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qw::keys {

/// One thing the key sender presses: a character or a named key, with the modifiers of
/// its group held down around it.
struct KeyUnit {
    enum class Kind { Character, Named };
    Kind kind = Kind::Character;
    char32_t character = 0;      ///< Kind::Character: the Unicode character to type
    std::uint8_t virtualKey = 0; ///< Kind::Named: the key's virtual-key code
    bool shift = false;
    bool alt = false;
    bool control = false;
    /// True for a "{...}" group, which is preceded by a short pause.
    bool group = false;

    bool operator==(const KeyUnit&) const = default;
};

/// The virtual-key code of a key name ("Return", "f12", " NumPad0 "), compared after
/// trimming blanks and without regard to case; nullopt for any other name.
std::optional<std::uint8_t> namedKeyCode(std::string_view name);
/// The canonical name of a virtual-key code known to namedKeyCode ("Return"); empty
/// for others.
std::string_view namedKeyName(std::uint8_t virtualKey);
/// Every key name the notation knows, in table order (72 names).
std::vector<std::string_view> namedKeyNames();

/// Virtual-key codes the key sender treats specially.
inline constexpr std::uint8_t kVkLButton = 0x01;
inline constexpr std::uint8_t kVkRButton = 0x02;
inline constexpr std::uint8_t kVkMButton = 0x04;
inline constexpr std::uint8_t kVkReturn = 0x0D;
inline constexpr std::uint8_t kVkTab = 0x09;

/// Splits key sender text (UTF-8) into the units typed one after another:
/// - "£" + name + "$" is the named key of that name;
/// - "{" + modifiers + key + "}" holds the modifiers ("!" Shift, "&" Alt, "^" Control,
///   each at most once, written directly after "{") while the key, a named key or one
///   character, is pressed;
/// - every other character stands for itself; a line feed is the Enter key, a tab the
///   Tab key and a carriage return before a line feed is dropped.
/// A "£" not followed by a known name and a "$", and a "{" that does not open a
/// complete group, stand for themselves, so prices and braces in an author's text arrive
/// intact. Bytes that are not UTF-8 are taken as Windows-1252 characters.
std::vector<KeyUnit> parseKeyText(std::string_view text);

} // namespace qw::keys
