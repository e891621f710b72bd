#pragma once

#include "tools/keysender/key_plan.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qw::keys {

/// The desktop the key sender types into: window lookup, the keyboard layout and the
/// injection of key events. The X11 implementation is X11KeyPlatform; tests use a fake.
class KeyPlatform {
public:
    virtual ~KeyPlatform() = default;
    /// Finds the first top-level window, from the topmost down, whose caption contains
    /// `titlePart` (without regard to case) and brings it to the foreground with the
    /// keyboard focus. Returns false when no window matches.
    virtual bool activateWindow(std::string_view titlePart) = 0;
    /// The keyboard layout active now.
    virtual const KeyboardLayout& layout() = 0;
    /// Sends the events in order and makes sure they have reached the desktop.
    virtual void send(const std::vector<KeyStep>& steps) = 0;
};

enum class TypeResult {
    Typed,          ///< every unit was typed
    TargetNotFound, ///< a target title was given and no window matches; nothing typed
    Untypeable,     ///< some units could not be typed (see KeySender::skipped)
};

/// Types key sender text (see parseKeyText) into a window found by part of its caption.
class KeySender {
public:
    /// `pause` waits the given milliseconds, keeping the caller's windows responsive.
    KeySender(KeyPlatform& platform, std::function<void(int)> pause);

    /// Activates the window whose caption contains `targetTitle` (with an empty title the
    /// keys go to the window that has the focus) and types the text unit by unit; each
    /// group is preceded by a 10 ms pause. A unit that cannot be typed is left out and
    /// the rest is typed all the same.
    TypeResult typeText(std::string_view targetTitle, std::string_view text);

    /// The units left out by the last typeText.
    const std::vector<KeyUnit>& skipped() const { return m_skipped; }

    static constexpr int kGroupPauseMs = 10;

private:
    KeyPlatform& m_platform;
    std::function<void(int)> m_pause;
    std::vector<KeyUnit> m_skipped;
};

} // namespace qw::keys
