// Finds and places a real window on an X server (run under xvfb-run): x11_test_window, a
// plain X client of ours, is started, found as the new top-level window, moved and sized,
// and its place read back from the server. Without a display the test is skipped, except
// in CI (CI set), where it must run.
#include "x11win/x11_windows.h"

#include <gtest/gtest.h>
// After the test framework: Xlib's macros (None, Bool) would spoil its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qw::x11 {

namespace {

constexpr const char* kCaption = "Quirewright preview stand-in";

/// Polls check every 20 ms for at most milliseconds; true once it held.
template <typename Check> bool waitFor(int milliseconds, Check check) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!check()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class X11WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        windows = X11Windows::open(error);
        if (!windows && std::getenv("CI") == nullptr)
            GTEST_SKIP() << error << " (the test needs an X server; CI runs it under xvfb-run)";
        ASSERT_NE(windows, nullptr) << error;
    }
    void TearDown() override {
        if (child > 0) {
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
        }
    }
    void startTestWindow() {
        char* argv[] = {const_cast<char*>(QW_X11_TEST_WINDOW), const_cast<char*>(kCaption),
                        nullptr};
        ASSERT_EQ(posix_spawn(&child, argv[0], nullptr, nullptr, argv, environ), 0);
    }

    std::unique_ptr<X11Windows> windows;
    pid_t child = 0;
};

} // namespace

TEST_F(X11WindowsTest, FindsTheNewWindowMovesItAndTheServerAgrees) {
    const std::vector<X11Windows::WindowId> before = windows->topLevelWindows();
    EXPECT_EQ(windows->findNewWindow(before, getpid()), 0u);
    startTestWindow();
    X11Windows::WindowId found = 0;
    ASSERT_TRUE(waitFor(5000, [&] { return (found = windows->findNewWindow(before, getpid())); }));
    EXPECT_EQ(windows->caption(found), kCaption);
    EXPECT_EQ(windows->processOf(found), long(child));
    EXPECT_EQ(windows->geometry(found), (WindowGeometry{5, 5, 200, 100}));

    const WindowGeometry asked{112, 84, 800, 600};
    ASSERT_TRUE(windows->place(found, asked));
    EXPECT_TRUE(waitFor(2000, [&] { return windows->geometry(found) == asked; }))
        << "at " << windows->geometry(found).value_or(WindowGeometry{}).left;
    // Once known, the window is no longer new.
    EXPECT_EQ(windows->findNewWindow(windows->topLevelWindows(), getpid()), 0u);
}

TEST_F(X11WindowsTest, WindowsOfTheAskingProgramAndWindowsThatWentAreLeftAlone) {
    // A window of this process, named as the program's own windows are.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const std::vector<X11Windows::WindowId> before = windows->topLevelWindows();
    const Window own =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
    const long pid = getpid();
    XChangeProperty(display, own, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapWindow(display, own);
    XSync(display, False);
    ASSERT_TRUE(waitFor(2000, [&] { return windows->geometry(own).has_value(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(windows->findNewWindow(before, getpid()), 0u);
    // Without the exclusion it would be the new one.
    EXPECT_EQ(windows->findNewWindow(before, 0), own);

    XDestroyWindow(display, own);
    XSync(display, False);
    XCloseDisplay(display);
    // The server refuses requests for a window that went; the program goes on.
    EXPECT_FALSE(windows->place(own, {0, 0, 100, 100}));
    EXPECT_FALSE(windows->geometry(own).has_value());
    EXPECT_EQ(windows->caption(own), "");
}

} // namespace qw::x11
