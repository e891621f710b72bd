#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qw::x11 {

/// A window's place and size on the screen as the X server has them.
struct WindowGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowGeometry&) const = default;
};

/// The top-level windows of an X11 desktop: listing them, finding one that appeared
/// since an earlier look, and placing it. Speaks to the server through Xlib only, so that
/// any program (with or without a toolkit) can use it. Errors of the server (a window
/// that went meanwhile) are caught and reported as results, never end the program.
class X11Windows {
public:
    using WindowId = unsigned long;

    /// Connects to the display named by DISPLAY. Returns nullptr and sets error to a
    /// message when no X server is reachable.
    static std::unique_ptr<X11Windows> open(std::string& error);
    ~X11Windows();
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    /// The top-level windows now: the window manager's client list where one is kept,
    /// else the root window's mapped children (or the program windows in their frames).
    std::vector<WindowId> topLevelWindows();

    /// A shown top-level window that is not among before, of another process than
    /// excludedPid (windows that name no process count as another's); the newest first.
    /// 0 when there is none yet.
    WindowId findNewWindow(const std::vector<WindowId>& before, long excludedPid);

    /// Moves the window's outer corner to the place and sizes its inside (a frame that a
    /// window manager adds comes on top of that),
    /// takes it out of the maximised and minimised states and raises it. False when the
    /// window does not exist (any more).
    bool place(WindowId window, const WindowGeometry& geometry);

    /// The window's place on the screen (the outer corner of its border, where place()
    /// puts it) and its inside size; nothing when the window does not exist.
    std::optional<WindowGeometry> geometry(WindowId window);
    /// The window's caption (_NET_WM_NAME, else WM_NAME); empty when it has none.
    std::string caption(WindowId window);
    /// The process that says it owns the window (_NET_WM_PID), or 0.
    long processOf(WindowId window);

    struct Impl;

private:
    explicit X11Windows(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

} // namespace qw::x11
