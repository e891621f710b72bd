// A plain X11 window for the window tests: x11_test_window CAPTION [ARGUMENT...]. Opens one
// 200 x 100 window at 5,5 named CAPTION (the first argument; a path stands for itself, as
// a browser's page), says which process owns it, and stays until it is closed, killed or
// 60 seconds have passed.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    const char* caption = argc > 1 ? argv[1] : "x11 test window";
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 5, 5, 200, 100,
                                              1, BlackPixel(display, 0), WhitePixel(display, 0));
    XStoreName(display, window, caption);
    const long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    Atom close = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &close, 1);
    XMapWindow(display, window);
    XFlush(display);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == close) {
                XCloseDisplay(display);
                return 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XCloseDisplay(display);
    return 0;
}
