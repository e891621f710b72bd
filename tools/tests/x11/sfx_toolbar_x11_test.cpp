// The SFX toolbar typing into a real window (run under xvfb-run): keysender_target, a Qt
// text edit of ours, is the author's editor; the toolbar's buttons and effect menu type
// into it through the X11 key sender, and the test reads back what arrived.
#include "core/file_io.h"
#include "tools/key_typer.h"
#include "tools/keysender/x11_key_platform.h"
#include "tools/sfx_toolbar.h"
#include "tools/special_effects.h"
#include "tools/tests/tool_test_support.h"

#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace qw;

class SfxToolbarX11Test : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QProcess m_editor;
    QString m_typed;

    QString arrived(const QString& expected) {
        QString text;
        for (int i = 0; i < 300; ++i) {
            text = QString::fromStdString(readFileBytes(m_typed.toStdString()));
            if (text == expected)
                break;
            QTest::qWait(10);
        }
        return text;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        m_typed = m_dir.path() + "/typed.txt";
        writeFileBytes(m_typed.toStdString(), "");
        m_editor.start(QW_KEYSENDER_TARGET, {"Quirewright toolbar test - notes.htm", m_typed});
        QVERIFY(m_editor.waitForStarted());
        std::string error;
        auto platform = keys::X11KeyPlatform::open(error);
        QVERIFY2(platform, error.c_str());
        bool shown = false;
        for (int i = 0; i < 1000 && !shown; ++i) {
            for (const std::string& caption : platform->windowCaptions())
                shown = shown || caption.find("toolbar test - notes") != std::string::npos;
            QTest::qWait(10);
        }
        QVERIFY(shown);
    }
    void cleanupTestCase() {
        m_editor.terminate();
        m_editor.waitForFinished();
    }

    void buttonsAndEffectsTypeIntoTheEditor() {
        const std::string config = (m_dir.path() + "/quirew.cfg").toStdString();
        writeFileBytes(config, "[SFX_Toolbar]\r\nTargetWinTitle=TOOLBAR TEST - Notes\r\n"
                               "TBLeft=600\r\n[Environment_Properties]\r\n"
                               "TopicSeparator=----------\r\n");
        test::RecordingMessages messages;
        X11KeyTyper typer;
        TfrmSfxToolbar toolbar({m_dir.path().toStdString(), config}, messages, typer);
        toolbar.startUp();
        QVERIFY(QTest::qWaitForWindowExposed(&toolbar));

        toolbar.findChild<QToolButton*>("sbtn2")->click();
        QVERIFY(toolbar.typeKeys("Intro"));
        const QString block = QString::fromUtf8("----------\u2028Title='Intro'\u2028Keywords=''"
                                                "\u2028----------\u2029");
        QCOMPARE(arrived(block), block);

        test::onNextModal([](QWidget* modal) {
            QTest::keyClicks(modal->findChild<QLineEdit*>("edtBlockImage"), "paper.gif");
            QTest::keyClicks(modal->findChild<QLineEdit*>("edtBlockWidth"), "80");
            modal->findChild<QPushButton*>("btnOK")->click();
        });
        toolbar.effectsMenu()->actions().at(9)->trigger();
        QVERIFY(toolbar.typeKeys("Text"));
        // The caret stood after "Intro"; the marker goes there and its placeholder was
        // selected and typed over.
        const QString marked = QString::fromUtf8(
            "----------\u2028Title='Intro[BB('paper.gif'); width:80px BB]Text(BB)'\u2028"
            "Keywords=''\u2028----------\u2029");
        QCOMPARE(arrived(marked), marked);
        QVERIFY(messages.texts.isEmpty());
    }
};

QTEST_MAIN(SfxToolbarX11Test)
#include "sfx_toolbar_x11_test.moc"
