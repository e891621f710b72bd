#include "app/preview_window.h"

#include "app/program_runner.h"
#include "app/wait_loop.h"
#include "x11win/x11_windows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

namespace qw {

namespace {

bool s_lastPlaced = false;

/// The window list of the desktop, where the program itself runs on X11.
std::unique_ptr<x11::X11Windows> openDesktop() {
    if (QGuiApplication::platformName() != "xcb")
        return nullptr;
    std::string error;
    return x11::X11Windows::open(error);
}

/// Waits for a window that was not among before and places it; false at the time-out.
bool placeNewWindow(x11::X11Windows& desktop, const std::vector<x11::X11Windows::WindowId>& before,
                    const PreviewPlace& place, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    const long self = long(QCoreApplication::applicationPid());
    for (;;) {
        if (const auto window = desktop.findNewWindow(before, self))
            return desktop.place(window, {place.left, place.top, place.width, place.height});
        if (timer.elapsed() >= timeoutMs)
            return false;
        waitProcessingEvents(50);
    }
}

} // namespace

QStringList PreviewWindow::placeArguments(const QString& browser, const PreviewPlace& place) {
    const QString name = QFileInfo(browser.trimmed()).fileName().toLower();
    if (!name.startsWith("chromium") && !name.startsWith("google-chrome") &&
        !name.startsWith("chrome"))
        return {};
    return {"--new-window", QString("--window-position=%1,%2").arg(place.left).arg(place.top),
            QString("--window-size=%1,%2").arg(place.width).arg(place.height)};
}

bool PreviewWindow::show(const std::string& browserPath, const QString& framePage,
                         const PreviewPlace& place, int timeoutMs) {
    s_lastPlaced = false;
    const std::unique_ptr<x11::X11Windows> desktop = openDesktop();
    const std::vector<x11::X11Windows::WindowId> before =
        desktop ? desktop->topLevelWindows() : std::vector<x11::X11Windows::WindowId>{};
    const QString browser = QString::fromStdString(browserPath).trimmed();
    const bool started =
        browser.isEmpty()
            ? ProgramRunner::shellOpen(framePage)
            : ProgramRunner::run(browser, placeArguments(browser, place) << framePage, false);
    if (!started || !desktop)
        return started;
    s_lastPlaced = placeNewWindow(*desktop, before, place, std::max(timeoutMs, 0));
    return true;
}

bool PreviewWindow::lastPlaced() {
    return s_lastPlaced;
}

} // namespace qw
