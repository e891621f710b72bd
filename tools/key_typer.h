#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qw {

namespace keys {
class X11KeyPlatform;
}

/// What the toolbars type with: key sender text into the window whose caption contains
/// the target title.
class KeyTyper {
public:
    enum class Result { Typed, TargetNotFound, Unavailable };
    virtual ~KeyTyper() = default;
    virtual Result typeText(std::string_view targetTitle, std::string_view text) = 0;
    /// Why typing is impossible here (after Result::Unavailable).
    virtual std::string unavailableReason() const = 0;
};

/// Types through the X11 key sender; the display is opened at the first use. Pauses
/// between keys keep this program's windows responsive.
class X11KeyTyper : public KeyTyper {
public:
    X11KeyTyper();
    ~X11KeyTyper() override;
    Result typeText(std::string_view targetTitle, std::string_view text) override;
    std::string unavailableReason() const override { return m_error; }

private:
    std::unique_ptr<keys::X11KeyPlatform> m_platform;
    std::string m_error;
};

/// Waits the given milliseconds while this program's windows go on handling events.
void waitProcessingEvents(int milliseconds);

} // namespace qw
