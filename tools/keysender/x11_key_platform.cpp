#include "tools/keysender/x11_key_platform.h"

#include "tools/keysender/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace qw::keys {

namespace {

constexpr size_t kMaxWindows = 1001;
constexpr size_t kCaptionLength = 254;
constexpr size_t kMaxBoundKeys = 48;

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

/// Keeps X errors (a window that vanished while it was looked at) from ending the program.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display)
        : m_display(display), m_previous(XSetErrorHandler(ignoreXError)) {}
    ~XErrorTrap() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

private:
    Display* m_display;
    int (*m_previous)(Display*, XErrorEvent*);
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

char32_t lowerCase(char32_t c) {
    const bool upperLatin = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    const bool upperGreek = c >= 0x391 && c <= 0x3A9 && c != 0x3A2;
    const bool upperCyrillic = c >= 0x410 && c <= 0x42F;
    return upperLatin || upperGreek || upperCyrillic ? c + 32 : c;
}

} // namespace

std::string comparableCaption(std::string_view caption) {
    std::string out;
    size_t count = 0;
    for (size_t pos = 0; pos < caption.size() && count < kCaptionLength; ++count) {
        const auto lead = static_cast<unsigned char>(caption[pos]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length == 1 || pos + length > caption.size()) {
            out += char(lead < 0x80 ? lowerCase(lead) : lead);
            ++pos;
            continue;
        }
        char32_t c = lead & (0x7F >> length);
        for (size_t i = 1; i < length; ++i)
            c = (c << 6) | (static_cast<unsigned char>(caption[pos + i]) & 0x3F);
        appendUtf8(out, lowerCase(c));
        pos += length;
    }
    return out;
}

bool captionMatches(std::string_view caption, std::string_view targetTitle) {
    return comparableCaption(caption).find(comparableCaption(targetTitle)) != std::string::npos;
}

struct X11KeyPlatform::Impl {
    Display* display = nullptr;
    Window root = 0;
    std::unique_ptr<X11Keyboard> keyboard;
    std::vector<unsigned> boundKeys;

    ~Impl() {
        if (display)
            XCloseDisplay(display);
    }

    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    /// The property's items (32-bit formats), empty when it is missing.
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

    std::string caption(Window window) {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::string text;
        if (XGetWindowProperty(display, window, atom("_NET_WM_NAME"), 0, 1024, False,
                               atom("UTF8_STRING"), &actualType, &format, &count, &after,
                               &data) == Success &&
            data && format == 8)
            text.assign(reinterpret_cast<char*>(data), count);
        if (data)
            XFree(data);
        if (!text.empty())
            return text;
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name) {
            for (const char* p = name; *p; ++p)
                appendUtf8(text, static_cast<unsigned char>(*p)); // STRING is Latin-1
            XFree(name);
        }
        return text;
    }

    bool hasProperty(Window window, const char* name) {
        int count = 0;
        Atom* atoms = XListProperties(display, window, &count);
        bool found = false;
        const Atom wanted = atom(name);
        for (int i = 0; i < count && !found; ++i)
            found = atoms[i] == wanted;
        if (atoms)
            XFree(atoms);
        return found;
    }

    /// The window of the program inside a frame that a window manager put around it.
    Window clientOf(Window window, int depth = 0) {
        if (hasProperty(window, "WM_STATE") || !caption(window).empty() || depth > 2)
            return window;
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(display, window, &rootReturn, &parent, &children, &count)) {
            for (unsigned i = count; i-- > 0 && !found;) {
                const Window client = clientOf(children[i], depth + 1);
                if (hasProperty(client, "WM_STATE") || !caption(client).empty())
                    found = client;
            }
        }
        if (children)
            XFree(children);
        return found ? found : window;
    }

    bool isViewable(Window window) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) &&
               attributes.map_state == IsViewable;
    }

    /// Top-level windows from the topmost down.
    std::vector<Window> stackedWindows() {
        std::vector<Window> windows;
        const auto managed = longProperty(root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
        if (!managed.empty()) {
            windows.assign(managed.rbegin(), managed.rend());
        } else {
            Window rootReturn = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (XQueryTree(display, root, &rootReturn, &parent, &children, &count))
                for (unsigned i = count; i-- > 0 && windows.size() < kMaxWindows;)
                    if (isViewable(children[i]))
                        windows.push_back(clientOf(children[i]));
            if (children)
                XFree(children);
        }
        if (windows.size() > kMaxWindows)
            windows.resize(kMaxWindows);
        return windows;
    }

    bool isOwnWindow(Window window) {
        const auto pid = longProperty(window, "_NET_WM_PID", XA_CARDINAL);
        return !pid.empty() && pid.front() == static_cast<unsigned long>(getpid());
    }

    bool supportsActiveWindow() {
        const Atom wanted = atom("_NET_ACTIVE_WINDOW");
        for (unsigned long supported : longProperty(root, "_NET_SUPPORTED", XA_ATOM))
            if (supported == wanted)
                return true;
        return false;
    }

    bool hasFocus(Window window) {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        for (int depth = 0; focus && focus != root && depth < 16; ++depth) {
            if (focus == window)
                return true;
            Window rootReturn = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display, focus, &rootReturn, &parent, &children, &count))
                return false;
            if (children)
                XFree(children);
            focus = parent;
        }
        return false;
    }

    void activate(Window window) {
        if (supportsActiveWindow()) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
            event.xclient.format = 32;
            event.xclient.data.l[0] = 2; // a request on the author's behalf
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                       &event);
        } else {
            XRaiseWindow(display, window);
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
        }
        XSync(display, False);
        // The keys must not arrive before the window has the focus.
        for (int i = 0; i < 100 && !hasFocus(window); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    void bind(unsigned keyCode, char32_t character, std::uint8_t virtualKey) {
        KeySym symbol = character ? characterKeysym(character) : virtualKeyKeysym(virtualKey);
        KeySym symbols[2] = {symbol, symbol};
        XChangeKeyboardMapping(display, int(keyCode), 2, symbols, 1);
        XSync(display, False);
        boundKeys.push_back(keyCode);
    }
};

X11KeyPlatform::X11KeyPlatform(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

X11KeyPlatform::~X11KeyPlatform() {
    if (m_impl && m_impl->display)
        releaseBoundKeys();
}

std::unique_ptr<X11KeyPlatform> X11KeyPlatform::open(std::string& error) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        error = "Cannot type into other windows: no X11 display is set (DISPLAY is empty). "
                "The SFX Toolbar types through X11; under Wayland it needs XWayland.";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->display = XOpenDisplay(name);
    if (impl->display == nullptr) {
        error = std::string("Cannot type into other windows: the X11 display \"") + name +
                "\" cannot be opened.";
        return nullptr;
    }
    int event = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(impl->display, &event, &errorBase, &major, &minor)) {
        error = "Cannot type into other windows: the X server lacks the XTest extension.";
        return nullptr;
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(impl->display, &opcode, &event, &errorBase, &major, &minor)) {
        error = "Cannot type into other windows: the X server lacks the XKB extension.";
        return nullptr;
    }
    impl->root = DefaultRootWindow(impl->display);
    return std::unique_ptr<X11KeyPlatform>(new X11KeyPlatform(std::move(impl)));
}

std::vector<std::string> X11KeyPlatform::windowCaptions() {
    XErrorTrap trap(m_impl->display);
    std::vector<std::string> captions;
    for (Window window : m_impl->stackedWindows())
        if (!m_impl->isOwnWindow(window))
            captions.push_back(comparableCaption(m_impl->caption(window)));
    return captions;
}

bool X11KeyPlatform::activateWindow(std::string_view titlePart) {
    XErrorTrap trap(m_impl->display);
    for (Window window : m_impl->stackedWindows()) {
        if (m_impl->isOwnWindow(window) || !captionMatches(m_impl->caption(window), titlePart))
            continue;
        m_impl->activate(window);
        return true;
    }
    return false;
}

const KeyboardLayout& X11KeyPlatform::layout() {
    // Far more distinct missing characters than any text holds: make room again. The
    // earlier text was typed at least a pause ago.
    if (m_impl->boundKeys.size() >= kMaxBoundKeys)
        releaseBoundKeys();
    m_impl->keyboard = std::make_unique<X11Keyboard>(m_impl->display);
    return *m_impl->keyboard;
}

void X11KeyPlatform::send(const std::vector<KeyStep>& steps) {
    Display* display = m_impl->display;
    for (const KeyStep& step : steps) {
        switch (step.kind) {
        case KeyStep::Kind::Press:
        case KeyStep::Kind::Release:
            XTestFakeKeyEvent(display, step.code, step.kind == KeyStep::Kind::Press, CurrentTime);
            break;
        case KeyStep::Kind::ButtonDown:
        case KeyStep::Kind::ButtonUp:
            XTestFakeButtonEvent(display, step.code, step.kind == KeyStep::Kind::ButtonDown,
                                 CurrentTime);
            break;
        case KeyStep::Kind::Bind:
            m_impl->bind(step.code, step.character, step.virtualKey);
            break;
        }
    }
    XSync(display, False);
}

void X11KeyPlatform::releaseBoundKeys() {
    for (unsigned keyCode : m_impl->boundKeys) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(m_impl->display, int(keyCode), 1, &none, 1);
    }
    m_impl->boundKeys.clear();
    XSync(m_impl->display, False);
}

} // namespace qw::keys
