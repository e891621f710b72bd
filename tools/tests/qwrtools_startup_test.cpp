// Starts the qwrtools program itself: the mode chosen by the first argument, the close
// request of the main program over the local socket, the settings written on the way out.
#include "core/file_io.h"
#include "tools/tool_close_server.h"

#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class QwrtoolsStartupTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    /// qwrtools with its support files and configuration in the test's folder.
    void start(QProcess& process, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUIREW_DATA_DIR", m_dir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(QW_QWRTOOLS, arguments);
        QVERIFY(process.waitForStarted());
    }

    static bool listening(const QString& title) {
        QLocalSocket socket;
        socket.connectToServer(qw::ToolCloseServer::socketName(title));
        return socket.waitForConnected(100);
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(!listening("SFX Toolbar"), "an SFX toolbar of this user is running");
        QVERIFY2(!listening("TFL Toolbar"), "a TFL toolbar of this user is running");
    }

    void sfxInAnyCaseStartsTheToolbarWhichClosesOnRequest() {
        qw::writeFileBytes(m_dir.path().toStdString() + "/quirew.cfg",
                           "[SFX_Toolbar]\r\nTBLeft=12\r\nTBTop=34\r\nTargetWinTitle=gedit\r\n");
        QProcess tool;
        start(tool, {"sfx"});
        QTRY_VERIFY_WITH_TIMEOUT(listening("SFX Toolbar"), 10000);
        // What the main program sends to close a toolbar.
        QLocalSocket socket;
        socket.connectToServer(qw::ToolCloseServer::socketName("SFX Toolbar"));
        QVERIFY(socket.waitForConnected(1000));
        socket.write("close\n");
        QVERIFY(socket.waitForBytesWritten(1000));
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(
            QString::fromStdString(qw::readFileBytes(m_dir.path().toStdString() + "/quirew.cfg")),
            QString("[SFX_Toolbar]\r\nTBLeft=12\r\nTBTop=34\r\nTargetWinTitle=gedit\r\n"
                    "SFXTop=0\r\nSFXLeft=0\r\n"));
    }

    void tflWithAListStartsTheListToolbar() {
        qw::writeFileBytes(m_dir.path().toStdString() + "/quirew.cfg",
                           "[Topic_File_List_TB]\r\nTFL_Left=5\r\n");
        QProcess tool;
        start(tool, {"TFL", m_dir.path() + "/TopicLst.tfl"});
        QTRY_VERIFY_WITH_TIMEOUT(listening("TFL Toolbar"), 10000);
        QLocalSocket socket;
        socket.connectToServer(qw::ToolCloseServer::socketName("tfl toolbar"));
        QVERIFY(socket.waitForConnected(1000));
        socket.write("close\n");
        QVERIFY(socket.waitForBytesWritten(1000));
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(
            QString::fromStdString(qw::readFileBytes(m_dir.path().toStdString() + "/quirew.cfg")),
            QString("[Topic_File_List_TB]\r\nTFL_Left=5\r\nTFL_Width=200\r\n"
                    "TFL_Top=0\r\nTFL_ListSize=34\r\n"));
    }

    void anyOtherWordStartsThePopupTextEditor() {
        for (const QStringList& arguments : {QStringList{}, QStringList{"SFX2"}}) {
            qw::writeFileBytes(m_dir.path().toStdString() + "/quirew.cfg", "");
            QProcess tool;
            start(tool, arguments);
            QTRY_VERIFY_WITH_TIMEOUT(listening("Popup Editor"), 10000);
            QVERIFY(!listening("SFX Toolbar"));
            QLocalSocket socket;
            socket.connectToServer(qw::ToolCloseServer::socketName("Popup Editor"));
            QVERIFY(socket.waitForConnected(1000));
            socket.write("close\n");
            QVERIFY(socket.waitForBytesWritten(1000));
            QVERIFY(tool.waitForFinished(10000));
            QCOMPARE(tool.exitCode(), 0);
            QVERIFY(QString::fromStdString(
                        qw::readFileBytes(m_dir.path().toStdString() + "/quirew.cfg"))
                        .startsWith("[PopupTextEd]\r\nPuEdTop="));
        }
    }
};

QTEST_MAIN(QwrtoolsStartupTest)
#include "qwrtools_startup_test.moc"
