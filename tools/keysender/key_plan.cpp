#include "tools/keysender/key_plan.h"

namespace qw::keys {

namespace {

/// The mouse button of a mouse-button virtual key, or 0.
unsigned mouseButton(std::uint8_t virtualKey) {
    switch (virtualKey) {
    case kVkLButton:
        return 1;
    case kVkMButton:
        return 2;
    case kVkRButton:
        return 3;
    default:
        return 0;
    }
}

/// The group's modifiers in pressing order.
std::vector<unsigned> groupModifiers(const KeyUnit& unit) {
    std::vector<unsigned> bits;
    if (unit.shift)
        bits.push_back(kShiftMask);
    if (unit.alt)
        bits.push_back(kMod1Mask);
    if (unit.control)
        bits.push_back(kControlMask);
    return bits;
}

/// Appends press (or release) steps for the modifier bits; false when one has no key.
bool addModifiers(std::vector<KeyStep>& steps, const std::vector<unsigned>& bits,
                  const KeyboardLayout& layout, KeyStep::Kind kind) {
    for (unsigned bit : bits) {
        const unsigned key = layout.modifierKey(bit);
        if (key == 0)
            return false;
        steps.push_back({kind, key});
    }
    return true;
}

} // namespace

std::optional<std::vector<KeyStep>> planKeyUnit(const KeyUnit& unit, const KeyboardLayout& layout) {
    std::vector<KeyStep> steps;
    const std::vector<unsigned> held = groupModifiers(unit);
    if (!addModifiers(steps, held, layout, KeyStep::Kind::Press))
        return std::nullopt;

    const bool named = unit.kind == KeyUnit::Kind::Named;
    const unsigned button = named ? mouseButton(unit.virtualKey) : 0u;
    std::optional<KeyPosition> position;
    if (button == 0) {
        const char32_t character = named ? 0 : unit.character;
        const std::uint8_t virtualKey = named ? unit.virtualKey : 0;
        position = named ? layout.findNamedKey(virtualKey) : layout.findCharacter(character);
        if (!position) {
            const unsigned spare = layout.spareKeyFor(character, virtualKey);
            if (spare == 0)
                return std::nullopt;
            steps.push_back({KeyStep::Kind::Bind, spare, character, virtualKey});
            position = KeyPosition{spare, 0};
        }
    }

    std::vector<unsigned> level;
    unsigned heldMask = 0;
    for (unsigned bit : held)
        heldMask |= bit;
    if (position)
        for (unsigned bit = 1; bit <= kMod5Mask; bit <<= 1)
            if ((position->modifiers & bit) && !(heldMask & bit))
                level.push_back(bit);
    if (!addModifiers(steps, level, layout, KeyStep::Kind::Press))
        return std::nullopt;

    if (button != 0) {
        steps.push_back({KeyStep::Kind::ButtonDown, button});
        steps.push_back({KeyStep::Kind::ButtonUp, button});
    } else {
        steps.push_back({KeyStep::Kind::Press, position->keyCode});
        steps.push_back({KeyStep::Kind::Release, position->keyCode});
    }

    const std::vector<unsigned> levelReversed(level.rbegin(), level.rend());
    addModifiers(steps, levelReversed, layout, KeyStep::Kind::Release);
    addModifiers(steps, held, layout, KeyStep::Kind::Release);
    return steps;
}

} // namespace qw::keys
