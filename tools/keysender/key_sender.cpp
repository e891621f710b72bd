#include "tools/keysender/key_sender.h"

namespace qw::keys {

KeySender::KeySender(KeyPlatform& platform, std::function<void(int)> pause)
    : m_platform(platform), m_pause(std::move(pause)) {}

TypeResult KeySender::typeText(std::string_view targetTitle, std::string_view text) {
    m_skipped.clear();
    if (!targetTitle.empty() && !m_platform.activateWindow(targetTitle))
        return TypeResult::TargetNotFound;
    const KeyboardLayout& layout = m_platform.layout();
    for (const KeyUnit& unit : parseKeyText(text)) {
        if (unit.group)
            m_pause(kGroupPauseMs);
        const auto steps = planKeyUnit(unit, layout);
        if (!steps) {
            m_skipped.push_back(unit);
            continue;
        }
        m_platform.send(*steps);
    }
    return m_skipped.empty() ? TypeResult::Typed : TypeResult::Untypeable;
}

} // namespace qw::keys
