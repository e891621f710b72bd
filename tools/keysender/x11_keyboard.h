#pragma once

#include "tools/keysender/key_plan.h"

#include <map>
#include <vector>

struct _XDisplay;

namespace qw::keys {

/// The X11 key symbol of a Unicode character (Latin-1 symbols for Latin-1, Unicode symbols
/// for the rest).
unsigned long characterKeysym(char32_t character);
/// The X11 key symbol of a named key's virtual-key code; 0 for an unknown code.
unsigned long virtualKeyKeysym(std::uint8_t virtualKey);
/// The character of an X11 key symbol; 0 when it stands for no character.
char32_t keysymCharacter(unsigned long keysym);

/// The keyboard map of an X server's core keyboard in its active group, read once: for
/// every symbol the key and the modifiers of the shift level that gives it, without lock
/// modifiers (Caps Lock, Num Lock), which toggle rather than hold.
class X11Keyboard : public KeyboardLayout {
public:
    explicit X11Keyboard(_XDisplay* display);

    std::optional<KeyPosition> findCharacter(char32_t character) const override;
    std::optional<KeyPosition> findNamedKey(std::uint8_t virtualKey) const override;
    unsigned modifierKey(unsigned modifierBit) const override;
    unsigned spareKeyFor(char32_t character, std::uint8_t virtualKey) const override;

private:
    void readModifiers(_XDisplay* display);
    void addSymbol(unsigned long keysym, KeyPosition position);

    std::map<unsigned long, KeyPosition> m_symbols;
    unsigned m_modifierKeys[8] = {};
    unsigned m_lockBits = 0;
    std::vector<unsigned> m_spareKeys;
    /// Spare keys handed out: by character, or by 0x110000 + virtual-key code.
    mutable std::map<char32_t, unsigned> m_spareAssigned;
    mutable size_t m_nextSpare = 0;
};

} // namespace qw::keys
