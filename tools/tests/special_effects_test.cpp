#include "tools/special_effects.h"

#include "core/file_io.h"
#include "tools/sfx_toolbar.h"
#include "tools/tests/tool_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qw;

class SpecialEffectsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_beeps = 0;

    template <typename Field> Field* field(TfrmSpecialEffects& dialog, const char* name) {
        auto* widget = dialog.findChild<Field*>(name);
        if (!widget)
            qFatal("no field %s", name);
        return widget;
    }
    /// Types into a field as the author would, key by key through its filter.
    void type(TfrmSpecialEffects& dialog, const char* name, const QString& text) {
        QWidget* widget = dialog.findChild<QWidget*>(name);
        QVERIFY2(widget, name);
        QTest::keyClicks(widget, text);
    }
    /// Presses a button of the next modal dialog.
    void pressOnNextModal(const char* button) {
        test::onNextModal(
            [button](QWidget* modal) { modal->findChild<QPushButton*>(button)->click(); });
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        setBeepForTesting([this] { ++m_beeps; });
    }
    void init() { m_beeps = 0; }

    void eachPageBuildsItsMarkerFromItsFields() {
        test::RecordingMessages messages;
        TfrmSpecialEffects dialog(messages, m_dir.path());
        dialog.showPage(SfxEffect::SecondaryWindow);
        QCOMPARE(dialog.windowTitle(), QString("Secondary Window"));
        type(dialog, "edtSecWinFile", "sec.htm");
        type(dialog, "edtSecWinHyper", "More");
        type(dialog, "edtSecWinWidth", "400");
        type(dialog, "edtSecWinHeight", "300");
        QCOMPARE(dialog.currentMarker(),
                 std::string("[SW 'sec.htm', '', 'width=400, height=300' SW]More(SW)"));

        dialog.showPage(SfxEffect::PageTransition);
        QCOMPARE(dialog.windowTitle(), QString("Page Transitions"));
        QCOMPARE(field<QComboBox>(dialog, "cboTransition")->currentText(),
                 QString("Random dissolve"));
        QCOMPARE(dialog.currentMarker(), std::string("[PT Duration=2, Transition=12 PT]"));
        field<QComboBox>(dialog, "cboTransition")->setCurrentText("Box in");
        type(dialog, "edtTransitionDuration", "1500");
        QCOMPARE(dialog.currentMarker(), std::string("[PT Duration=1.5, Transition=0 PT]"));

        dialog.showPage(SfxEffect::ShortcutButton);
        type(dialog, "edtButtonText", "calc.bmp");
        type(dialog, "edtButtonExe", "calc.exe");
        QCOMPARE(dialog.currentMarker(),
                 std::string("[SC \"Text:calc.bmp\" SCPATH=\",calc.exe,\" SC]"));
        field<QComboBox>(dialog, "cboButtonType")->setCurrentIndex(1);
        QCOMPARE(dialog.currentMarker(),
                 std::string("[SC \"Bitmap:calc.bmp\" SCPATH=\",calc.exe,\" SC]"));
        bool relabelled = false;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            relabelled = relabelled || label->text() == "Button Bitmap/Icon:";
        QVERIFY(relabelled);

        dialog.showPage(SfxEffect::HighlightedText);
        type(dialog, "memHighlightText", "Note");
        QCOMPARE(dialog.currentMarker(), std::string("[HT  HT]Note(HT)"));
        dialog.setHighlightColour(QColor(255, 200, 10));
        QCOMPARE(dialog.currentMarker(), std::string("[HT #FFC80A HT]Note(HT)"));

        dialog.showPage(SfxEffect::BlockBackgroundImage);
        type(dialog, "edtBlockImage", "paper.gif");
        type(dialog, "edtBlockWidth", "50");
        field<QComboBox>(dialog, "cboBlockUnits")->setCurrentText("Percent");
        QCOMPARE(dialog.currentMarker(),
                 std::string("[BB('paper.gif'); width:50% BB]<ADD HERE>(BB)"));

        dialog.showPage(SfxEffect::ExpandableSection);
        type(dialog, "edtSectionName", "opts");
        type(dialog, "edtSectionHyper", "Show options");
        QCOMPARE(dialog.currentMarker(), std::string("[ET opts ET]Show options(ET)\xC2\xA3Return$"
                                                     "[ES \"opts\" ES]<ADD HERE>(ES)"));

        dialog.showPage(SfxEffect::SplashScreen);
        type(dialog, "edtSplashBitmap", "logo.gif");
        type(dialog, "edtSplashDuration", "3000");
        QCOMPARE(dialog.currentMarker(), std::string("[SS \"logo.gif\" Delay=\"3000\" SS]"));

        dialog.showPage(SfxEffect::TypingText);
        type(dialog, "memTypingText", "Hello there");
        QCOMPARE(dialog.currentMarker(), std::string("[TT Hello there TT]"));

        dialog.showPage(SfxEffect::PopupHint);
        type(dialog, "edtHintHyper", "tide");
        type(dialog, "memHintText", "Rise and fall");
        QCOMPARE(dialog.currentMarker(), std::string("[PH \"Rise and fall\" PH]tide(PH)"));
        QCOMPARE(m_beeps, 0);

        // Values stay with their pages.
        dialog.showPage(SfxEffect::SecondaryWindow);
        QCOMPARE(dialog.currentMarker(),
                 std::string("[SW 'sec.htm', '', 'width=400, height=300' SW]More(SW)"));
    }

    void keyFiltersDropOtherKeysWithABeep() {
        test::RecordingMessages messages;
        TfrmSpecialEffects dialog(messages, m_dir.path());
        dialog.showPage(SfxEffect::PopupText);
        type(dialog, "edtPopupRef", "a b-c.d_1");
        QCOMPARE(field<QLineEdit>(dialog, "edtPopupRef")->text(), QString("abc.d_1"));
        QCOMPARE(m_beeps, 2);
        type(dialog, "edtPopupRef", "xyzw"); // limit 10
        QCOMPARE(field<QLineEdit>(dialog, "edtPopupRef")->text(), QString("abc.d_1xyz"));
        QCOMPARE(m_beeps, 3);
        type(dialog, "edtPopupHyper", "see (it)!");
        QCOMPARE(field<QLineEdit>(dialog, "edtPopupHyper")->text(), QString("see it"));
        QCOMPARE(m_beeps, 6);
        type(dialog, "memPopupText", "Any (text) \"at all\"");
        QCOMPARE(field<QPlainTextEdit>(dialog, "memPopupText")->toPlainText(),
                 QString("Any (text) \"at all\""));
        QCOMPARE(m_beeps, 6);
        dialog.showPage(SfxEffect::SecondaryWindow);
        type(dialog, "edtSecWinWidth", "4x005");
        QCOMPARE(field<QLineEdit>(dialog, "edtSecWinWidth")->text(), QString("400"));
        QCOMPARE(m_beeps, 8);
        // Backspace is always admitted.
        QTest::keyClick(field<QLineEdit>(dialog, "edtSecWinWidth"), Qt::Key_Backspace);
        QCOMPARE(field<QLineEdit>(dialog, "edtSecWinWidth")->text(), QString("40"));
        QCOMPARE(m_beeps, 8);
        // A click into a field selects its whole text, ready to be typed over.
        dialog.show();
        QTest::mouseClick(field<QLineEdit>(dialog, "edtSecWinWidth"), Qt::LeftButton);
        QTRY_COMPARE(field<QLineEdit>(dialog, "edtSecWinWidth")->selectedText(), QString("40"));
        dialog.showPage(SfxEffect::PopupText);
        QTest::mouseClick(field<QPlainTextEdit>(dialog, "memPopupText")->viewport(),
                          Qt::LeftButton);
        QTRY_COMPARE(field<QPlainTextEdit>(dialog, "memPopupText")->textCursor().selectedText(),
                     QString("Any (text) \"at all\""));
    }

    void enterInAMemoPressesOk() {
        test::RecordingMessages messages;
        TfrmSpecialEffects dialog(messages, m_dir.path());
        test::onNextModal([this](QWidget* modal) {
            auto* memo = modal->findChild<QPlainTextEdit*>("memTypingText");
            QTest::keyClicks(memo, "Typed");
            QTest::keyClick(memo, Qt::Key_Return);
        });
        QCOMPARE(dialog.runEffect(SfxEffect::TypingText),
                 std::optional<std::string>("[TT Typed TT]"));
        pressOnNextModal("btnCancel");
        QCOMPARE(dialog.runEffect(SfxEffect::TypingText), std::nullopt);
    }

    void popupTextGoesIntoTheChosenFileAskedForOnce() {
        test::RecordingMessages messages;
        TfrmSpecialEffects dialog(messages, m_dir.path());
        int asked = 0;
        QString offered = m_dir.path() + "/popups.js";
        dialog.setFileChooser([&]() -> std::optional<std::filesystem::path> {
            ++asked;
            return offered.toStdString();
        });
        dialog.showPage(SfxEffect::PopupText);
        type(dialog, "edtPopupRef", "p1");
        type(dialog, "edtPopupHyper", "see");
        type(dialog, "memPopupText", "Hello");
        pressOnNextModal("btnOK");
        QCOMPARE(dialog.runEffect(SfxEffect::PopupText), std::nullopt);
        QCOMPARE(messages.texts,
                 QStringList{"Error: Popup Text File must be named 'TxPopups.js'."});
        QVERIFY(!QFile::exists(offered));

        offered = m_dir.path() + "/TxPopups.js";
        pressOnNextModal("btnOK");
        QCOMPARE(dialog.runEffect(SfxEffect::PopupText),
                 std::optional<std::string>("[*p1*]see(*)"));
        QCOMPARE(readFileBytes(offered.toStdString()),
                 std::string("MyFont=\"Helvetica,10,,italic\"\r\np1=\"Hello\"\r\n"));
        field<QLineEdit>(dialog, "edtPopupRef")->setText("p2");
        pressOnNextModal("btnOK");
        QCOMPARE(dialog.runEffect(SfxEffect::PopupText),
                 std::optional<std::string>("[*p2*]see(*)"));
        QCOMPARE(asked, 2);
        QCOMPARE(
            readFileBytes(offered.toStdString()),
            std::string("MyFont=\"Helvetica,10,,italic\"\r\np1=\"Hello\"\r\np2=\"Hello\"\r\n"));
    }

    void helpNamesThePageOfTheEffect() {
        test::RecordingMessages messages;
        TfrmSpecialEffects dialog(messages, m_dir.path());
        QSignalSpy help(&dialog, &TfrmSpecialEffects::helpRequested);
        dialog.showPage(SfxEffect::BlockBackgroundImage);
        dialog.findChild<QPushButton*>("btnHelp")->click();
        QCOMPARE(help.value(0).value(0).toString(), QString("sfx_block_background_image.htm"));
    }

    void toolbarTypesTheMarkerAndSelectsThePlaceholder() {
        const std::string config = (m_dir.path() + "/quirew.cfg").toStdString();
        writeFileBytes(config, "[SFX_Toolbar]\r\nTargetWinTitle=gedit\r\nSFXLeft=70\r\n");
        test::RecordingMessages messages;
        test::RecordingTyper typer;
        TfrmSfxToolbar toolbar({m_dir.path().toStdString(), config}, messages, typer);
        toolbar.startUp();
        QCOMPARE(toolbar.effectsMenu()->actions().size(), 10);
        QCOMPARE(toolbar.effectsMenu()->actions().at(2)->text(), QString("&Expandable Section"));
        test::onNextModal([](QWidget* modal) {
            QTest::keyClicks(modal->findChild<QLineEdit*>("edtSectionName"), "opts");
            QTest::keyClicks(modal->findChild<QLineEdit*>("edtSectionHyper"), "More");
            modal->findChild<QPushButton*>("btnOK")->click();
        });
        toolbar.effectsMenu()->actions().at(2)->trigger();
        QCOMPARE(typer.texts,
                 (std::vector<std::string>{
                     "[ET opts ET]More(ET)\xC2\xA3Return$[ES \"opts\" ES]<ADD HERE>(ES)",
                     addHereSelectionKeys()}));
        // Cancel types nothing; the values stay for the next time.
        pressOnNextModal("btnCancel");
        toolbar.effectChosen(SfxEffect::ExpandableSection);
        QCOMPARE(typer.texts.size(), size_t(2));
        QCOMPARE(toolbar.effectsDialog()->currentMarker().substr(0, 12),
                 std::string("[ET opts ET]"));
        // A marker without a placeholder is typed alone; a missing target stops it.
        typer.result = KeyTyper::Result::TargetNotFound;
        pressOnNextModal("btnOK");
        toolbar.effectChosen(SfxEffect::ExpandableSection);
        QCOMPARE(typer.texts.size(), size_t(3));
        QCOMPARE(messages.texts, QStringList{"Error: Can't find Target Window."});
        toolbar.close();
        QVERIFY(QString::fromStdString(readFileBytes(config)).contains("SFXLeft=70\r\n"));
    }
};

QTEST_MAIN(SpecialEffectsTest)
#include "special_effects_test.moc"
