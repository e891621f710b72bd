// Start-up: the splash window and About box, the single-instance hand-over, the splash
// timer opening the command-line project, and the message routine's boxes.
#include "window_fixture.h"

#include "app/single_instance.h"
#include "app/splash_screen.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>

using namespace qw;
using namespace qw::test;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setApplicationName("HTMLHelp Quirewright");
    }

    void splashShowsTheBuildDateAndClosesOnClickOnlyWithItsCloseLabel() {
        QCOMPARE(Tfrm_SplashScreen::buildDateText(15, 3, 2000), QString("15.3.00"));
        Tfrm_SplashScreen splash(QW_DATA_DIR);
        QCOMPARE(splash.size(), QSize(412, 223));
        QCOMPARE(splash.findChild<QLabel*>("lblVersion")->text(),
                 QString("Version 1.1 For Win95/98/NT/2K"));
        QCOMPARE(splash.findChild<QLabel*>("lblBuildDate")->toolTip(), QString("Build Date"));
        splash.show();
        QTest::mouseClick(splash.findChild<QLabel*>("lblVersion"), Qt::LeftButton);
        QTest::mouseClick(&splash, Qt::LeftButton);
        QVERIFY(splash.isVisible());
        splash.setCloseLabelVisible(true);
        QTest::mouseClick(splash.findChild<QLabel*>("imgLogo"), Qt::LeftButton);
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.result(), int(QDialog::Accepted));
    }

    void aboutBoxClosesOnAClick() {
        WindowFixture f;
        bool clicked = false;
        QTimer::singleShot(50, [&] {
            auto* about = qobject_cast<Tfrm_SplashScreen*>(QApplication::activeModalWidget());
            if (about == nullptr)
                return;
            QVERIFY(about->closeLabelVisible());
            QTest::mouseClick(about, Qt::LeftButton);
            clicked = true;
        });
        f.trigger("mniAboutQuireW"); // returns only once the click closed it
        QVERIFY(clicked);
    }

    void splashTimerOpensTheCommandLineProject() {
        MessageRecorder messages;
        messages.install();
        WindowFixture f;
        f.window->show();
        f.window->startUp({f.project});
        auto* timer = f.window->findChild<QTimer*>("TimerCloseSplash");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1500);
        QVERIFY(f.window->findChild<Tfrm_SplashScreen*>() != nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(f.window->windowTitle(),
                                  QString("HTMLHelp Quirewright - sample.qwr"), 4000);
        QVERIFY(f.window->findChild<Tfrm_SplashScreen*>() == nullptr);
        QVERIFY(messages.shown.empty());
        MessageRoutine::setTestResponder(nullptr);
    }

    void secondStartHandsOverItsArgument() {
        const QString name = QString("quirew-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        SingleInstance second(name);
        QVERIFY(!second.passToRunningInstance("x.qwr", 200)); // nobody runs yet
        QVERIFY(first.listen());
        QSignalSpy handed(&first, &SingleInstance::projectHandedOver);
        QVERIFY(second.passToRunningInstance("/tmp/some project.qwr"));
        QVERIFY(handed.wait(2000) || handed.count() == 1);
        QCOMPARE(handed.at(0).at(0).toString(), QString("/tmp/some project.qwr"));
    }

    void handedOverProjectOpensInTheRunningWindow() {
        MessageRecorder messages;
        messages.install();
        WindowFixture f;
        f.window->takeHandedOverArgument(f.project);
        QCOMPARE(f.window->windowTitle(), QString("HTMLHelp Quirewright - sample.qwr"));
        f.window->takeHandedOverArgument("");
        QVERIFY(messages.shown.empty());
        MessageRoutine::setTestResponder(nullptr);
    }

    void messageBoxesShowKindButtonsAndText() {
        MessageRoutine routine;
        const int beeps = MessageRoutine::beepCount();
        QTimer::singleShot(50, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QCOMPARE(box->text(), QString("first\nsecond"));
            QCOMPARE(box->icon(), QMessageBox::Question);
            QCOMPARE(box->windowTitle(), QString("HTMLHelp Quirewright"));
            QVERIFY(box->button(QMessageBox::Cancel) != nullptr);
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(routine.showMessage("first\r\nsecond", MessageKind::Confirmation,
                                     MessageButtons::YesNoCancel),
                 Answer::No);
        QCOMPARE(MessageRoutine::beepCount(), beeps + 1);
        QTimer::singleShot(50, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(routine.showMessage("stop", MessageKind::Error, MessageButtons::Ok), Answer::Ok);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
