#include "tools/keysender/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <bit>

namespace qw::keys {

namespace {

/// The modifiers that select a level of a key type; nullopt when no modifiers do.
std::optional<unsigned> levelModifiers(const XkbKeyTypeRec& type, int level) {
    if (level == 0)
        return 0u;
    std::optional<unsigned> best;
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (!entry.active || entry.level != level)
            continue;
        if (!best || std::popcount(entry.mods.mask) < std::popcount(*best))
            best = entry.mods.mask;
    }
    return best;
}

} // namespace

unsigned long characterKeysym(char32_t character) {
    if ((character >= 0x20 && character <= 0x7E) || (character >= 0xA0 && character <= 0xFF))
        return character;
    return 0x01000000ul + character;
}

char32_t keysymCharacter(unsigned long keysym) {
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        return char32_t(keysym);
    if (keysym >= 0x01000100ul && keysym <= 0x0110FFFFul)
        return char32_t(keysym - 0x01000000ul);
    if (keysym == XK_EuroSign)
        return 0x20AC;
    return 0;
}

unsigned long virtualKeyKeysym(std::uint8_t virtualKey) {
    if (virtualKey >= 0x60 && virtualKey <= 0x69)
        return XK_KP_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87)
        return XK_F1 + (virtualKey - 0x70);
    switch (virtualKey) {
    case 0x03:
        return XK_Cancel;
    case 0x08:
        return XK_BackSpace;
    case 0x09:
        return XK_Tab;
    case 0x0C:
        return XK_Clear;
    case 0x0D:
        return XK_Return;
    case 0x10:
        return XK_Shift_L;
    case 0x11:
        return XK_Control_L;
    case 0x12:
        return XK_Alt_L;
    case 0x13:
        return XK_Pause;
    case 0x14:
        return XK_Caps_Lock;
    case 0x1B:
        return XK_Escape;
    case 0x20:
        return XK_space;
    case 0x21:
        return XK_Prior;
    case 0x22:
        return XK_Next;
    case 0x23:
        return XK_End;
    case 0x24:
        return XK_Home;
    case 0x25:
        return XK_Left;
    case 0x26:
        return XK_Up;
    case 0x27:
        return XK_Right;
    case 0x28:
        return XK_Down;
    case 0x29:
        return XK_Select;
    case 0x2A:
        return XK_Print;
    case 0x2B:
        return XK_Execute;
    case 0x2C:
        return XK_Print;
    case 0x2D:
        return XK_Insert;
    case 0x2E:
        return XK_Delete;
    case 0x2F:
        return XK_Help;
    case 0x6A:
        return XK_KP_Multiply;
    case 0x6B:
        return XK_KP_Add;
    case 0x6C:
        return XK_KP_Separator;
    case 0x6D:
        return XK_KP_Subtract;
    case 0x6E:
        return XK_KP_Decimal;
    case 0x6F:
        return XK_KP_Divide;
    case 0x90:
        return XK_Num_Lock;
    case 0x91:
        return XK_Scroll_Lock;
    default:
        return 0;
    }
}

X11Keyboard::X11Keyboard(Display* display) {
    readModifiers(display);
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (xkb == nullptr)
        return;
    for (int key = xkb->min_key_code; key <= xkb->max_key_code; ++key) {
        const int groups = XkbKeyNumGroups(xkb, key);
        if (groups == 0 || XkbKeyNumSyms(xkb, key) == 0) {
            m_spareKeys.push_back(unsigned(key));
            continue;
        }
        const int group = state.group < groups ? state.group : 0;
        const XkbKeyTypeRec& type = *XkbKeyKeyType(xkb, key, group);
        const int width = XkbKeyGroupWidth(xkb, key, group);
        for (int level = 0; level < width; ++level) {
            const KeySym symbol = XkbKeySymEntry(xkb, key, level, group);
            const auto modifiers = levelModifiers(type, level);
            if (symbol != NoSymbol && modifiers)
                addSymbol(symbol, {unsigned(key), *modifiers});
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
}

void X11Keyboard::readModifiers(Display* display) {
    XModifierKeymap* map = XGetModifierMapping(display);
    if (map == nullptr)
        return;
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    for (int bit = 0; bit < 8; ++bit) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode key = map->modifiermap[bit * map->max_keypermod + i];
            if (key != 0 && m_modifierKeys[bit] == 0)
                m_modifierKeys[bit] = key;
            if (key != 0 && key == numLock)
                m_lockBits |= 1u << bit;
        }
    }
    m_lockBits |= kLockMask;
    XFreeModifiermap(map);
}

void X11Keyboard::addSymbol(unsigned long keysym, KeyPosition position) {
    if (position.modifiers & m_lockBits)
        return;
    for (unsigned bit = 0; bit < 8; ++bit)
        if ((position.modifiers & (1u << bit)) && m_modifierKeys[bit] == 0)
            return;
    const auto found = m_symbols.find(keysym);
    if (found == m_symbols.end() ||
        std::popcount(position.modifiers) < std::popcount(found->second.modifiers))
        m_symbols[keysym] = position;
}

std::optional<KeyPosition> X11Keyboard::findCharacter(char32_t character) const {
    auto found = m_symbols.find(characterKeysym(character));
    if (found == m_symbols.end() && character == 0x20AC)
        found = m_symbols.find(XK_EuroSign);
    if (found == m_symbols.end())
        return std::nullopt;
    return found->second;
}

std::optional<KeyPosition> X11Keyboard::findNamedKey(std::uint8_t virtualKey) const {
    const auto found = m_symbols.find(virtualKeyKeysym(virtualKey));
    if (found == m_symbols.end())
        return std::nullopt;
    return found->second;
}

unsigned X11Keyboard::modifierKey(unsigned modifierBit) const {
    for (unsigned bit = 0; bit < 8; ++bit)
        if (modifierBit == (1u << bit))
            return m_modifierKeys[bit];
    return 0;
}

unsigned X11Keyboard::spareKeyFor(char32_t character, std::uint8_t virtualKey) const {
    if (m_spareKeys.empty() || (character == 0 && virtualKeyKeysym(virtualKey) == 0))
        return 0;
    const char32_t key = character ? character : 0x110000 + char32_t(virtualKey);
    if (const auto found = m_spareAssigned.find(key); found != m_spareAssigned.end())
        return found->second;
    // The highest free key codes first: nothing on a real keyboard sends them.
    const unsigned spare = m_spareKeys[m_spareKeys.size() - 1 - m_nextSpare % m_spareKeys.size()];
    ++m_nextSpare;
    m_spareAssigned[key] = spare;
    return spare;
}

} // namespace qw::keys
