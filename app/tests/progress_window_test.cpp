// The "Please Wait..." window: steps, the error list, OK, automatic closing, and the
// main window's toolbar while it shows.
#include "app/message_routine.h"
#include "app/progress_window.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace qw;

class ProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void stepsFillTheBarAndCloseByThemselvesWithoutErrors() {
        MessageRoutine messages;
        TfrmProgress window(messages);
        QSignalSpy shown(&window, &TfrmProgress::runShown);
        QSignalSpy closed(&window, &TfrmProgress::runClosed);
        window.begin("Adding Files. Please Wait...", 3, true);
        QCOMPARE(window.windowTitle(), QString("Adding Files. Please Wait..."));
        QCOMPARE(window.height(), TfrmProgress::kSmallHeight);
        QCOMPARE(window.barMaximum(), 999);
        QCOMPARE(shown.count(), 1);
        window.step();
        window.step();
        QCOMPARE(window.barValue(), 666);
        QVERIFY(window.isVisible());
        window.close(); // not finished: refused
        QVERIFY(window.isVisible());
        QElapsedTimer timer;
        timer.start();
        window.step();
        QVERIFY(timer.elapsed() >= 700); // the pause before closing
        QVERIFY(!window.isVisible());
        QCOMPARE(closed.count(), 1);
    }

    void errorsEnlargeTheWindowAndWaitForOk() {
        MessageRoutine messages;
        TfrmProgress window(messages);
        QSignalSpy closed(&window, &TfrmProgress::runClosed);
        window.begin("Loading Files. Please Wait...", 2, true);
        window.addError("File Not Found: a.htm");
        QCOMPARE(window.height(), TfrmProgress::kLargeHeight);
        QVERIFY(window.hasErrors());
        QVERIFY(!window.okButton()->isEnabled());
        const int beeps = MessageRoutine::beepCount();
        window.step();
        window.addError("Duplicate File: b.htm");
        window.step();
        QVERIFY(window.finished());
        QCOMPARE(MessageRoutine::beepCount(), beeps + 1);
        QVERIFY(window.isVisible());
        QCOMPARE(window.errors(), QStringList({"File Not Found: a.htm", "Duplicate File: b.htm"}));
        QVERIFY(window.okButton()->isEnabled());
        QTest::mouseClick(window.okButton(), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(closed.count(), 1);

        // A new run starts small and clean.
        window.begin("Saving Files. Please Wait...", 1, false);
        QCOMPARE(window.height(), TfrmProgress::kSmallHeight);
        QVERIFY(window.errors().isEmpty());
        QVERIFY(!window.hasErrors());
    }

    void callerEndsARunWithoutAutomaticClosing() {
        MessageRoutine messages;
        TfrmProgress window(messages);
        window.begin("Loading Files. Please Wait...", 1, false);
        window.step();
        QVERIFY(window.isVisible()); // the caller decides
        QVERIFY(!window.finished());
        window.finish(10);
        QVERIFY(!window.isVisible());

        window.begin("Loading Files. Please Wait...", 1, false);
        window.addError("No Valid Topic Separators: c.htm");
        window.step();
        window.finish(10);
        QVERIFY(window.isVisible()); // with errors the author closes it
        QVERIFY(window.okButton()->isEnabled());
        window.close();
        QVERIFY(!window.isVisible());
    }

    void zeroStepsCountAsOne() {
        MessageRoutine messages;
        TfrmProgress window(messages);
        window.begin("x", 0, false);
        QCOMPARE(window.barMaximum(), 1000);
        window.finish(0);
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
