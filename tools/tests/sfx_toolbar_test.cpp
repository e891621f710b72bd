#include "tools/sfx_toolbar.h"

#include "core/file_io.h"
#include "core/separator_keys.h"
#include "tools/set_target_window_dialog.h"
#include "tools/tests/tool_test_support.h"
#include "tools/tool_close_server.h"

#include <QComboBox>
#include <QFile>
#include <QLocalSocket>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace qw;

class SfxToolbarTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ToolEnvironment environment() const {
        return {m_dir.path().toStdString(), (m_dir.path() + "/quirew.cfg").toStdString()};
    }
    void writeConfig(const QByteArray& text) {
        QFile file(m_dir.path() + "/quirew.cfg");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QString readConfig() const {
        return QString::fromStdString(readFileBytes(m_dir.path().toStdString() + "/quirew.cfg"));
    }
    QStringList actionTexts(QMenu* menu) {
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << (action->isSeparator() ? "-" : action->text());
        return texts;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(m_dir.path() + "/quirew.cfg"); }

    void firstStartAsksForTheTargetAndCloseWritesTheSettings() {
        test::RecordingMessages messages;
        test::RecordingTyper typer;
        TfrmSfxToolbar toolbar(environment(), messages, typer);
        bool asked = false;
        test::onNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<SetTargetWindowDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("Set SFX Toolbar Target Window"));
            auto* titles = dialog->findChild<QComboBox*>("cboTargetTitle");
            QCOMPARE(titles->currentText(), QString());
            QVERIFY(titles->findText("Dreamweaver") >= 0 && titles->findText("Bluefish") >= 0);
            titles->setEditText("Bluefish ");
            asked = true;
            dialog->accept();
        });
        toolbar.startUp();
        QTRY_VERIFY(asked);
        QCOMPARE(toolbar.settings().targetTitle, std::string("Bluefish "));
        QCOMPARE(toolbar.geometry(), QRect(0, 0, 105, 23));
        const Qt::WindowFlags flags = toolbar.windowFlags();
        QVERIFY(flags & Qt::FramelessWindowHint);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(flags & Qt::WindowDoesNotAcceptFocus);
        QCOMPARE(toolbar.windowTitle(), QString("SFX ToolBar"));
        toolbar.move(30, 44);
        toolbar.close();
        QCOMPARE(readConfig(), QString("[SFX_Toolbar]\r\nTBTop=44\r\nTBLeft=30\r\nSFXTop=0\r\n"
                                       "SFXLeft=0\r\nTargetWinTitle=Bluefish \r\n"));
        QVERIFY(messages.texts.isEmpty());
    }

    void storedSettingsPlaceTheToolbarAndCancelKeepsTheTarget() {
        writeConfig("[SFX_Toolbar]\r\nTBWidth=150\r\nTBLeft=300\r\nTBTop=40\r\n"
                    "TargetWinTitle=gedit\r\n");
        test::RecordingMessages messages;
        test::RecordingTyper typer;
        TfrmSfxToolbar toolbar(environment(), messages, typer);
        toolbar.startUp();
        QTest::qWait(50);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(toolbar.geometry(), QRect(300, 40, 150, 23));
        test::onNextModal([](QWidget* modal) {
            modal->findChild<QComboBox*>("cboTargetTitle")->setEditText("Kate");
            static_cast<QDialog*>(modal)->reject();
        });
        toolbar.mniSetTargetWindowClick();
        QCOMPARE(toolbar.settings().targetTitle, std::string("gedit"));
        toolbar.close();
        const QString config = readConfig();
        QVERIFY2(config.contains("TBWidth=150\r\nTBLeft=300\r\nTBTop=40\r\n"), qPrintable(config));
        QVERIFY(config.contains("TargetWinTitle=gedit\r\n"));
    }

    void separatorButtonsTypeTheBlockIntoTheTarget() {
        writeConfig("[SFX_Toolbar]\r\nTargetWinTitle=gedit\r\n"
                    "[Environment_Properties]\r\nTopicSeparator=-=-=-=\r\n");
        for (const bool keywords : {false, true}) {
            test::RecordingMessages messages;
            test::RecordingTyper typer;
            TfrmSfxToolbar toolbar(environment(), messages, typer);
            toolbar.findChild<QToolButton*>(keywords ? "sbtn2" : "sbtn1")->click();
            QCOMPARE(typer.texts, separatorButtonTexts("-=-=-=", keywords));
            QCOMPARE(typer.targets, std::vector<std::string>(typer.texts.size(), "gedit"));
            QVERIFY(messages.texts.isEmpty());
        }
    }

    void missingTargetOrDisplayStopsWithAnError() {
        writeConfig("[SFX_Toolbar]\r\nTargetWinTitle=gedit\r\n");
        test::RecordingMessages messages;
        test::RecordingTyper typer;
        TfrmSfxToolbar toolbar(environment(), messages, typer);
        typer.result = KeyTyper::Result::TargetNotFound;
        toolbar.findChild<QToolButton*>("sbtn2")->click();
        QCOMPARE(typer.texts.size(), size_t(1));
        QCOMPARE(messages.texts, QStringList{"Error: Can't find Target Window."});
        QCOMPARE(messages.kinds.front(), ToolMessages::Kind::Error);
        typer.result = KeyTyper::Result::Unavailable;
        QVERIFY(!toolbar.typeKeys("x"));
        QCOMPARE(messages.texts.last(), QString("no X11 here"));
    }

    void quickLauncherStartsCommandsWithTheirArguments() {
        const QString script = m_dir.path() + "/launch.sh";
        const QString out = m_dir.path() + "/launched.txt";
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(("#!/bin/sh\nprintf '%s|' \"$PWD\" \"$@\" > '" + out + "'\n").toUtf8());
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        writeConfig(("[SFX_Toolbar]\r\nTargetWinTitle=gedit\r\n[SFX_QL]\r\n"
                     "NameForItem0=Script\r\nFileForItem0=" +
                     script +
                     "|\"a b\" $HOME\r\nNameForItem1=Broken\r\n"
                     "FileForItem1=/nonexistent/editor\r\nNameForItem2=Half\r\n")
                        .toUtf8());
        test::RecordingMessages messages;
        test::RecordingTyper typer;
        TfrmSfxToolbar toolbar(environment(), messages, typer);
        QCOMPARE(actionTexts(toolbar.quickLaunchMenu()),
                 (QStringList{"&Topic File List Toolbar", "&HTMLHelp Quirewright",
                              "&Popup Text Editor", "-", "Script", "Broken"}));
        toolbar.quickLaunchMenu()->actions().at(4)->trigger();
        QTRY_VERIFY(QFile::exists(out));
        QTRY_COMPARE(QString::fromStdString(readFileBytes(out.toStdString())),
                     m_dir.path() + "|a b|$HOME|");
        toolbar.quickLaunchMenu()->actions().at(5)->trigger();
        QCOMPARE(messages.texts, QStringList{"Cannot Open \"/nonexistent/editor\""});
    }

    void menusNearTheRightEdgeOpenOneButtonHeightFurther() {
        writeConfig("[SFX_Toolbar]\r\nTargetWinTitle=gedit\r\n");
        test::RecordingMessages messages;
        test::RecordingTyper typer;
        TfrmSfxToolbar toolbar(environment(), messages, typer);
        toolbar.startUp();
        const auto* effects = toolbar.findChild<QToolButton*>("sbtnSFX");
        QCOMPARE(toolbar.menuAnchor(effects), toolbar.mapToGlobal(QPoint(44, 22)));
        const int screenWidth = toolbar.screen()->geometry().width();
        toolbar.move(screenWidth - 150, 0);
        QTRY_COMPARE(toolbar.x(), screenWidth - 150);
        QCOMPARE(toolbar.menuAnchor(effects), toolbar.mapToGlobal(QPoint(44 + 22, 22)));
        const auto* settings = toolbar.findChild<QToolButton*>("sbtnSettings");
        QCOMPARE(toolbar.menuAnchor(settings), toolbar.mapToGlobal(QPoint(88 + 12, 23)));
    }

    void settingsMenuAboutAndExit() {
        writeConfig("[SFX_Toolbar]\r\nTargetWinTitle=gedit\r\n");
        test::RecordingMessages messages;
        test::RecordingTyper typer;
        TfrmSfxToolbar toolbar(environment(), messages, typer);
        toolbar.startUp();
        QCOMPARE(actionTexts(toolbar.settingsMenu()),
                 (QStringList{"&Set Target Window", "-", "&Help", "&About", "-", "E&xit"}));
        toolbar.settingsMenu()->actions().at(3)->trigger();
        QCOMPARE(messages.texts,
                 QStringList{"- SFX ToolBar V1.1\r\n- Companion to HTMLHelp Quirewright."});
        toolbar.settingsMenu()->actions().at(5)->trigger();
        QVERIFY(!toolbar.isVisible());
        QVERIFY(readConfig().contains("TBLeft=0\r\n"));
    }

    void closeRequestOverTheSocketReachesTheTool() {
        const QString title =
            QString("SFX ToolBar test %1").arg(QCoreApplication::applicationPid());
        ToolCloseServer server(title);
        QVERIFY(server.isListening());
        QSignalSpy spy(&server, &ToolCloseServer::closeRequested);
        QLocalSocket socket;
        socket.connectToServer(ToolCloseServer::socketName(title.toUpper()));
        QVERIFY(socket.waitForConnected(1000));
        socket.write("close\n");
        QVERIFY(socket.waitForBytesWritten(1000));
        QTRY_COMPARE(spy.count(), 1);
        // A second instance does not take the socket away from the first.
        ToolCloseServer second(title);
        QVERIFY(!second.isListening());
    }
};

QTEST_MAIN(SfxToolbarTest)
#include "sfx_toolbar_test.moc"
