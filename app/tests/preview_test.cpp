// The topic preview from the View Or Preview button of the real main window over a copy
// of the sample project: the pages written, and the browser named in the settings (a
// fake, never started) given the frame page. Runs offscreen, where no window is placed.
#include "window_fixture.h"

#include "app/preview_window.h"
#include "app/topic_grid.h"
#include "core/ini_file.h"

#include <QToolBar>

using namespace qw;
using namespace qw::test;

namespace {

const char* const kBrowser = "/usr/bin/fake-browser";

QByteArray browserConfig() {
    return QByteArray("[ENVIRONMENT_PROPERTIES]\r\nHTMLBrowserPath=") + kBrowser + "\r\n";
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT

    MessageRecorder messages;
    LaunchRecorder launches;

    static void clickView(WindowFixture& f, int row, Qt::MouseButton button) {
        f.window->grid().selectCell(row, ColTitle);
        QTest::mouseClick(f.window->toolBar()->widgetForAction(f.action("iebtnViewInBrowser")),
                          button);
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
        launches.install();
    }
    void init() {
        messages.clear();
        launches.launches.clear();
    }

    void leftButtonWritesTheFramePageAndKeepsTheAuthorsContentsPage() {
        WindowFixture f(browserConfig());
        f.window->openProjectFile(f.project);
        IniFile(f.project.toStdString()).writeString("PROJECT_PROPERTIES", "NavPaneWidth", "220");
        const QDir sample(f.dir.filePath("sample"));
        QVERIFY(!sample.exists("TempCont.htm"));
        clickView(f, 2, Qt::LeftButton);

        const QString topic = sample.filePath("TmpTopic.htm");
        QVERIFY(readAll(topic).contains("Tidewater Notes keeps your field observations"));
        QCOMPARE(readAll(sample.filePath("TempFram.htm")),
                 "<HTML><HEAD><TITLE>Help</TITLE></HEAD><FRAMESET COLS=\"216,*\">\r\n"
                 "<FRAME src=\"TempCont.htm\"><FRAME src=\"" +
                     topic.toUtf8() + "\"></FRAMESET></HTML>\r\n");
        QVERIFY(readAll(sample.filePath("TempCont.htm"))
                    .startsWith("<HTML><HEAD></HEAD><BODY rightmargin=\"0\"><b>Contents & Index"));
        QCOMPARE(launches.launches.size(), size_t(1));
        QCOMPARE(launches.launches[0].program, QString(kBrowser));
        QCOMPARE(launches.launches[0].arguments, QStringList{sample.filePath("TempFram.htm")});
        QVERIFY(!PreviewWindow::lastPlaced());

        // The author's own contents stand-in stays; the frame page follows the project.
        writeAll(sample.filePath("TempCont.htm"), "<p>my notes</p>");
        IniFile(f.project.toStdString()).writeString("PROJECT_PROPERTIES", "NavPaneWidth", "300");
        clickView(f, 3, Qt::LeftButton);
        QCOMPARE(readAll(sample.filePath("TempCont.htm")), QByteArray("<p>my notes</p>"));
        QVERIFY(readAll(sample.filePath("TempFram.htm")).contains("COLS=\"296,*\""));
        QCOMPARE(launches.launches.size(), size_t(2));
        QVERIFY(messages.shown.empty());
    }

    void rightButtonShowsTheTopicPageAndAChapterRowItsFile() {
        WindowFixture f(browserConfig());
        f.window->openProjectFile(f.project);
        const QDir sample(f.dir.filePath("sample"));
        clickView(f, 2, Qt::RightButton);
        QCOMPARE(launches.launches.size(), size_t(1));
        QCOMPARE(launches.launches[0].arguments, QStringList{sample.filePath("TmpTopic.htm")});
        QVERIFY(sample.exists("TempFram.htm"));
        clickView(f, 1, Qt::LeftButton);
        QCOMPARE(launches.launches.size(), size_t(2));
        QCOMPARE(QFileInfo(launches.launches[1].arguments.value(0)).fileName(),
                 QString("intro.htm"));
    }

    void aBrowserThatCannotStartIsSaid() {
        WindowFixture f("[ENVIRONMENT_PROPERTIES]\r\nHTMLBrowserPath=/nonexistent/browser\r\n");
        f.window->openProjectFile(f.project);
        clickView(f, 2, Qt::LeftButton);
        QCOMPARE(
            messages.texts(),
            std::vector<std::string>{"The page could not be shown: no web browser is available."});
    }

    void chromiumIsToldTheWindowsPlaceOthersAreNot() {
        const PreviewPlace place{30, 40, 800, 600};
        QCOMPARE(PreviewWindow::placeArguments("/usr/bin/chromium", place),
                 (QStringList{"--new-window", "--window-position=30,40", "--window-size=800,600"}));
        QCOMPARE(PreviewWindow::placeArguments(" google-chrome-stable ", place).size(), 3);
        QVERIFY(PreviewWindow::placeArguments("/usr/bin/firefox", place).isEmpty());
        QVERIFY(PreviewWindow::placeArguments("", place).isEmpty());
    }
};

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
