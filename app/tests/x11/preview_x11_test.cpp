// The framed preview on a real X server (run under xvfb-run with the xcb platform): the
// "browser" is x11_test_window, a plain X client of ours that names its window after the
// page it is given. The main window must find that new window and put it at the project's
// window place, which is read back from the server.
#include "../window_fixture.h"

#include "app/preview_window.h"
#include "app/topic_grid.h"
#include "core/ini_file.h"
#include "x11win/x11_windows.h"

#include <QToolBar>

#include <csignal>

using namespace qw;
using namespace qw::test;

class PreviewX11Test : public QObject {
    Q_OBJECT

    MessageRecorder messages;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
        if (QGuiApplication::platformName() != "xcb" && !qEnvironmentVariableIsSet("CI"))
            QSKIP("needs an X display (CI runs it under xvfb-run)");
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    }

    void previewWindowIsPutAtTheProjectsWindowPlace() {
        WindowFixture f("[ENVIRONMENT_PROPERTIES]\r\nHTMLBrowserPath=" QW_X11_TEST_WINDOW
                        "\r\nViewHHTimeout=10\r\n");
        f.window->openProjectFile(f.project);
        IniFile project(f.project.toStdString());
        project.writeString("PROJECT_PROPERTIES", "WindowLeft", "100");
        project.writeString("PROJECT_PROPERTIES", "WindowTop", "60");
        project.writeString("PROJECT_PROPERTIES", "WindowWidth", "500");
        project.writeString("PROJECT_PROPERTIES", "WindowHeight", "400");

        std::string error;
        const auto desktop = x11::X11Windows::open(error);
        QVERIFY2(desktop, error.c_str());
        const auto before = desktop->topLevelWindows();
        f.window->grid().selectCell(2, ColTitle);
        QTest::mouseClick(f.window->toolBar()->widgetForAction(f.action("iebtnViewInBrowser")),
                          Qt::LeftButton);
        QVERIFY(messages.shown.empty());
        QVERIFY(PreviewWindow::lastPlaced());

        // The browser's window, named after the frame page it shows.
        const QString frames = f.dir.filePath("sample/TempFram.htm");
        x11::X11Windows::WindowId browser = 0;
        for (const auto window : desktop->topLevelWindows())
            if (desktop->caption(window) == frames.toStdString())
                browser = window;
        QVERIFY(browser != 0);
        const long pid = desktop->processOf(browser);
        QTRY_VERIFY_WITH_TIMEOUT(
            desktop->geometry(browser) == (x11::WindowGeometry{100, 60, 500, 400}), 3000);
        if (pid > 0)
            ::kill(pid_t(pid), SIGTERM);
    }
};

QTEST_MAIN(PreviewX11Test)
#include "preview_x11_test.moc"
