#pragma once

#include "tools/keysender/key_sender.h"

#include <memory>
#include <string>
#include <vector>

namespace qw::keys {

/// Types into windows of an X11 desktop: windows in stacking order from
/// _NET_CLIENT_LIST_STACKING (or the root window's children where no window manager
/// keeps that list), activation through _NET_ACTIVE_WINDOW or the input focus, key events
/// through the XTest extension, keys and levels from the XKB keyboard map.
class X11KeyPlatform : public KeyPlatform {
public:
    /// Connects to the display named by DISPLAY. Returns nullptr and sets `error` to a
    /// message for the author when no X server is reachable or it lacks XTest.
    static std::unique_ptr<X11KeyPlatform> open(std::string& error);
    ~X11KeyPlatform() override;

    bool activateWindow(std::string_view titlePart) override;
    const KeyboardLayout& layout() override;
    void send(const std::vector<KeyStep>& steps) override;
    /// Gives the spare keys bound to missing characters back their empty binding. The
    /// bindings otherwise last until this object goes: a target reads a key's symbol from
    /// the server only when it gets round to handling the key, which may be long after the
    /// key was sent, so a binding taken back at once could reach it empty.
    void releaseBoundKeys();

    /// The captions of the top-level windows from the topmost down (at most 1001 windows,
    /// each cut to 254 characters); windows of this process are left out, so the toolbar
    /// never types into itself.
    std::vector<std::string> windowCaptions();

    struct Impl;

private:
    explicit X11KeyPlatform(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

/// Lower-cases ASCII letters and cuts the caption to its first 254 characters; the form
/// in which captions and target titles are compared.
std::string comparableCaption(std::string_view caption);
/// True when the caption contains the target title, compared as comparableCaption.
bool captionMatches(std::string_view caption, std::string_view targetTitle);

} // namespace qw::keys
