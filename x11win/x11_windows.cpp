#include "x11win/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace qw::x11 {

namespace {

/// Counts the server's errors while a scope runs instead of letting Xlib's default
/// handler end the program (a window may go between two requests).
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : m_display(display) {
        XSync(m_display, False);
        s_errors = 0;
        m_previous = XSetErrorHandler(&ErrorTrap::handle);
    }
    ~ErrorTrap() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    /// True when an error arrived since the trap was set (waits for the server's answer).
    bool failed() {
        XSync(m_display, False);
        return s_errors != 0;
    }

private:
    static int handle(Display*, XErrorEvent*) {
        ++s_errors;
        return 0;
    }
    static inline int s_errors = 0;
    Display* m_display;
    XErrorHandler m_previous;
};

} // namespace

struct X11Windows::Impl {
    Display* display = nullptr;
    Window root = 0;

    ~Impl() {
        if (display)
            XCloseDisplay(display);
    }

    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    /// The property's 32-bit items; empty when it is missing.
    std::vector<unsigned long> longProperty(Window window, const char* name, Atom type) {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(display, window, atom(name), 0, 1 << 16, False, type, &actualType,
                               &format, &count, &after, &data) == Success &&
            data && format == 32) {
            const auto* items = reinterpret_cast<unsigned long*>(data);
            values.assign(items, items + count);
        }
        if (data)
            XFree(data);
        return values;
    }

    bool hasProperty(Window window, const char* name) {
        int count = 0;
        Atom* atoms = XListProperties(display, window, &count);
        const Atom wanted = atom(name);
        const bool found = atoms && std::find(atoms, atoms + count, wanted) != atoms + count;
        if (atoms)
            XFree(atoms);
        return found;
    }

    /// The program's window inside a frame that a window manager put around it: the
    /// first window down the tree that carries WM_STATE.
    Window clientOf(Window window, int depth = 0) {
        if (hasProperty(window, "WM_STATE") || depth > 2)
            return window;
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(display, window, &rootReturn, &parent, &children, &count))
            for (unsigned i = count; i-- > 0 && !found;) {
                const Window client = clientOf(children[i], depth + 1);
                if (hasProperty(client, "WM_STATE"))
                    found = client;
            }
        if (children)
            XFree(children);
        return found ? found : window;
    }

    /// Mapped, and no pop-up that bypasses the window manager (menus, tooltips).
    bool isShownTopLevel(Window window) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) &&
               attributes.map_state == IsViewable && !attributes.override_redirect;
    }

    /// Clears a maximised or minimised state through the window manager, where one runs.
    void restoreNormalState(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom("_NET_WM_STATE");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 0; // remove
        event.xclient.data.l[1] = long(atom("_NET_WM_STATE_MAXIMIZED_VERT"));
        event.xclient.data.l[2] = long(atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
        event.xclient.data.l[3] = 2; // a request on the author's behalf
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XMapRaised(display, window);
    }
};

X11Windows::X11Windows(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
X11Windows::~X11Windows() = default;

std::unique_ptr<X11Windows> X11Windows::open(std::string& error) {
    auto impl = std::make_unique<Impl>();
    impl->display = XOpenDisplay(nullptr);
    if (!impl->display) {
        error = "No X11 display could be opened.";
        return nullptr;
    }
    impl->root = DefaultRootWindow(impl->display);
    return std::unique_ptr<X11Windows>(new X11Windows(std::move(impl)));
}

std::vector<X11Windows::WindowId> X11Windows::topLevelWindows() {
    Impl& x = *m_impl;
    ErrorTrap trap(x.display);
    const std::vector<unsigned long> managed =
        x.longProperty(x.root, "_NET_CLIENT_LIST", XA_WINDOW);
    if (!managed.empty())
        return managed;
    std::vector<WindowId> windows;
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x.display, x.root, &rootReturn, &parent, &children, &count))
        for (unsigned i = 0; i < count; ++i)
            if (x.isShownTopLevel(children[i]))
                windows.push_back(x.clientOf(children[i]));
    if (children)
        XFree(children);
    return windows;
}

X11Windows::WindowId X11Windows::findNewWindow(const std::vector<WindowId>& before,
                                               long excludedPid) {
    const std::vector<WindowId> now = topLevelWindows();
    // The lists run from the bottom up: the newest window is looked at first.
    for (auto it = now.rbegin(); it != now.rend(); ++it) {
        if (std::find(before.begin(), before.end(), *it) != before.end())
            continue;
        ErrorTrap trap(m_impl->display);
        if (!m_impl->isShownTopLevel(*it) || trap.failed())
            continue;
        if (excludedPid != 0 && processOf(*it) == excludedPid)
            continue;
        return *it;
    }
    return 0;
}

bool X11Windows::place(WindowId window, const WindowGeometry& g) {
    Impl& x = *m_impl;
    ErrorTrap trap(x.display);
    x.restoreNormalState(window);
    XMoveResizeWindow(x.display, window, g.left, g.top, unsigned(std::max(g.width, 1)),
                      unsigned(std::max(g.height, 1)));
    XRaiseWindow(x.display, window);
    return !trap.failed();
}

std::optional<WindowGeometry> X11Windows::geometry(WindowId window) {
    Impl& x = *m_impl;
    ErrorTrap trap(x.display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.display, window, &attributes) || trap.failed())
        return std::nullopt;
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(x.display, window, x.root, 0, 0, &left, &top, &child);
    if (trap.failed())
        return std::nullopt;
    // The place counts from the outer corner of the window's border, as a move sets it.
    return WindowGeometry{left - attributes.border_width, top - attributes.border_width,
                          attributes.width, attributes.height};
}

std::string X11Windows::caption(WindowId window) {
    Impl& x = *m_impl;
    ErrorTrap trap(x.display);
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(x.display, window, x.atom("_NET_WM_NAME"), 0, 1024, False,
                           x.atom("UTF8_STRING"), &actualType, &format, &count, &after,
                           &data) == Success &&
        data && format == 8)
        text.assign(reinterpret_cast<char*>(data), count);
    if (data)
        XFree(data);
    if (!text.empty())
        return text;
    char* name = nullptr;
    if (XFetchName(x.display, window, &name) && name) {
        text = name;
        XFree(name);
    }
    return text;
}

long X11Windows::processOf(WindowId window) {
    ErrorTrap trap(m_impl->display);
    const auto pid = m_impl->longProperty(window, "_NET_WM_PID", XA_CARDINAL);
    return pid.empty() ? 0 : long(pid.front());
}

} // namespace qw::x11
