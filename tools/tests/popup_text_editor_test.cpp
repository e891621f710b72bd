#include "tools/popup_text_editor.h"

#include "core/file_io.h"
#include "tools/tests/tool_test_support.h"

#include <QAction>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace qw;

class PopupTextEditorTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string m_config;
    int m_beeps = 0;

    ToolEnvironment environment() const { return {m_dir.path().toStdString(), m_config}; }
    QString write(const QString& name, const std::string& bytes) {
        const QString path = m_dir.path() + "/" + name;
        writeFileBytes(path.toStdString(), bytes);
        return path;
    }
    static QString cell(TfrmPopupTextEd& editor, int row, int column) {
        const QTableWidgetItem* item = editor.table()->item(row, column);
        return item ? item->text() : QString();
    }
    static void setCell(TfrmPopupTextEd& editor, int row, int column, const QString& text) {
        editor.table()->setItem(row, column, new QTableWidgetItem(text));
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        m_config = (m_dir.path() + "/quirew.cfg").toStdString();
        setBeepForTesting([this] { ++m_beeps; });
    }
    void init() { m_beeps = 0; }

    void openingReadsEntriesAndFontAndSavingDropsStrayLines() {
        const QString path = write("pop.js", "MyFont=\"Arial,12,,BOLD\"\r\nintro=\"Read me "
                                             "first\"\r\nstray line\r\nnote = \"x\"\r\n");
        test::RecordingMessages messages;
        TfrmPopupTextEd editor(environment(), messages);
        QCOMPARE(editor.windowTitle(), QString("Popup Text Editor"));
        QCOMPARE(editor.table()->rowCount(), 199);
        QCOMPARE(editor.table()->horizontalHeaderItem(0)->text(), QString(" Popup Reference"));
        QCOMPARE(editor.table()->horizontalHeaderItem(1)->text(), QString(" Popup Text"));
        editor.setOpenDialog([&] { return path; });
        editor.mniOpenClick();
        QVERIFY(messages.texts.isEmpty());
        QCOMPARE(editor.windowTitle(), QString("Popup Text Editor - pop.js"));
        QCOMPARE(cell(editor, 0, 0), QString("intro"));
        QCOMPARE(cell(editor, 0, 1), QString("Read me first"));
        QCOMPARE(cell(editor, 1, 0), QString("note"));
        QCOMPARE(cell(editor, 1, 1), QString("x"));
        QCOMPARE(cell(editor, 2, 0), QString());
        QCOMPARE(editor.popupFont(), (PopupFont{"Arial", 12, true, false}));
        QVERIFY(!editor.isModified());
        QVERIFY(editor.mniSaveClick());
        QCOMPARE(readFileBytes(path.toStdString()),
                 std::string("MyFont=\"Arial,12,,BOLD\"\r\nintro=\"Read me first\"\r\n"
                             "note=\"x\"\r\n"));
    }

    void malformedOrMissingFontLineIsReportedAndEntriesLoadAllTheSame() {
        test::RecordingMessages messages;
        TfrmPopupTextEd editor(environment(), messages);
        editor.openFile(write("three.js", "MyFont=\"Arial,12,BOLD\"\r\na=\"1\"\r\n"));
        QCOMPARE(messages.texts, QStringList{"Error: Invalid Number of Font Parameters"});
        QCOMPARE(cell(editor, 0, 0), QString("a"));
        QCOMPARE(editor.popupFont(), PopupFont{});
        editor.openFile(write("none.js", "b=\"2\"\r\nMyFont=\r\n"));
        QCOMPARE(messages.texts.last(), QString("Error: No Font Parameters Found"));
        QCOMPARE(cell(editor, 0, 0), QString("b"));
        QCOMPARE(cell(editor, 1, 0), QString());
        // An unreadable file leaves the table as it was.
        editor.openFile(m_dir.path() + "/missing.js");
        QCOMPARE(messages.texts.size(), 3);
        QCOMPARE(cell(editor, 0, 0), QString("b"));
    }

    void newFileSavedWithOnlyCompleteRowsAndItalicStyle() {
        test::RecordingMessages messages;
        TfrmPopupTextEd editor(environment(), messages);
        editor.setFontDialog([](const PopupFont& current) -> std::optional<PopupFont> {
            PopupFont font = current;
            font.name = "Helvetica";
            font.size = 10;
            font.bold = font.italic = true;
            return font;
        });
        editor.mniFontClick();
        QVERIFY(editor.isModified());
        setCell(editor, 0, 0, "p1");
        setCell(editor, 0, 1, " Hello ");
        setCell(editor, 1, 0, "lonely"); // no text: not written
        setCell(editor, 3, 0, "p3");
        setCell(editor, 3, 1, "Bye");
        const QString path = m_dir.path() + "/NewPopups";
        editor.setSaveDialog([&] { return path; });
        QVERIFY(editor.mniSaveClick());
        QCOMPARE(editor.windowTitle(), QString("Popup Text Editor - NewPopups.js"));
        QCOMPARE(readFileBytes(path.toStdString() + ".js"),
                 std::string("MyFont=\"Helvetica,10,,ITALIC\"\r\np1=\"Hello\"\r\np3=\"Bye\"\r\n"));
        QVERIFY(!editor.isModified());
        // Cancelling the save dialog writes nothing and keeps the changes.
        TfrmPopupTextEd other(environment(), messages);
        other.setSaveDialog([] { return QString(); });
        other.setFontDialog([](const PopupFont& font) -> std::optional<PopupFont> { return font; });
        other.mniFontClick();
        QVERIFY(!other.mniSaveClick());
        QVERIFY(other.isModified());
    }

    void referenceColumnAdmitsOnlyNameCharacters() {
        test::RecordingMessages messages;
        TfrmPopupTextEd editor(environment(), messages);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto typeInto = [&](int row, int column, const QString& text) {
            editor.table()->setCurrentCell(row, column);
            editor.table()->edit(editor.table()->currentIndex());
            QLineEdit* cellEditor = nullptr;
            for (QLineEdit* line : editor.table()->viewport()->findChildren<QLineEdit*>())
                if (line->isVisible())
                    cellEditor = line;
            QVERIFY(cellEditor);
            QTest::keyClicks(cellEditor, text);
            QTest::keyClick(cellEditor, Qt::Key_Return);
        };
        typeInto(0, 0, "a-b_1 ");
        QTRY_COMPARE(cell(editor, 0, 0), QString("ab_1")); // committed by a queued call
        QCOMPARE(m_beeps, 2);
        QVERIFY(editor.isModified());
        typeInto(0, 1, "a-b (c)!");
        QTRY_COMPARE(cell(editor, 0, 1), QString("a-b (c)!"));
        QCOMPARE(m_beeps, 2);
    }

    void savePromptGuardsChangesAndClosingWritesTheSettings() {
        test::RecordingMessages messages;
        TfrmPopupTextEd editor(environment(), messages);
        editor.setFontDialog(
            [](const PopupFont& font) -> std::optional<PopupFont> { return font; });
        editor.show();
        editor.resize(700, 500);
        editor.table()->setColumnWidth(0, 150);
        editor.mniFontClick();
        setCell(editor, 0, 0, "keep");
        messages.answer = ToolMessages::Answer::Cancel;
        editor.mniNewClick();
        QCOMPARE(messages.texts, QStringList{"Save changes to current file?"});
        QCOMPARE(cell(editor, 0, 0), QString("keep"));
        QVERIFY(!editor.close()); // Cancel keeps the window, the settings are written anyway
        QVERIFY(editor.isVisible());
        const QString written = QString::fromStdString(readFileBytes(m_config));
        QVERIFY2(written.contains("PuEdWidth=700\r\nPuEdHeight=500\r\nPuRefColWidth=150\r\n"),
                 qPrintable(written));
        messages.answer = ToolMessages::Answer::No;
        editor.mniNewClick();
        QCOMPARE(cell(editor, 0, 0), QString());
        QVERIFY(!editor.isModified());
        QVERIFY(editor.close());
        QCOMPARE(messages.texts.size(), 3);
    }

    void aLongFileFillsTheTableOnly() {
        std::string bytes = "MyFont=\"Arial,9,,PLAIN\"\r\n";
        for (int i = 0; i < 205; ++i)
            bytes += "r" + std::to_string(i) + "=\"t\"\r\n";
        test::RecordingMessages messages;
        TfrmPopupTextEd editor(environment(), messages);
        editor.openFile(write("long.js", bytes));
        QCOMPARE(editor.table()->rowCount(), 199);
        QCOMPARE(cell(editor, 198, 0), QString("r198"));
    }
};

QTEST_MAIN(PopupTextEditorTest)
#include "popup_text_editor_test.moc"
