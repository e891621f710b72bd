// The move/delete chapters dialog alone, and Move / Delete Chapters run from the real
// main window over a copy of the sample project with a configuration file of its own.
#include "window_fixture.h"

#include "app/move_chapters_dialog.h"
#include "app/topic_grid.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>

using namespace qw;
using namespace qw::test;

namespace {

QStringList listed(const TfrmMoveChapters& dialog) {
    QStringList result;
    for (int i = 0; i < dialog.list()->count(); ++i)
        result << dialog.list()->item(i)->text();
    return result;
}

QStringList chapterTitles(const TopicTable& table) {
    QStringList result;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isChapterRow(r))
            result << QString::fromStdString(table.cell(r, ColTitle));
    return result;
}

void answerDialog(std::function<void(TfrmMoveChapters*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<TfrmMoveChapters*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(dialog);
        }
    });
    poll->start(20);
}

void click(TfrmMoveChapters* dialog, const char* name) {
    dialog->findChild<QPushButton*>(name)->click();
}

} // namespace

class MoveChaptersDialogTest : public QObject {
    Q_OBJECT

private:
    MessageRecorder messages;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
    }
    void init() { messages.clear(); }

    void buttonsMoveAndDeleteTheSelectedEntry() {
        TfrmMoveChapters dialog({{"A", "/p/a.htm"}, {"B", "/p/b.htm"}, {"C", "/p/c.htm"}}, QIcon());
        QCOMPARE(dialog.windowTitle(), QString("Move/Delete Chapters"));
        QCOMPARE(dialog.list()->objectName(), QString("LstChapters"));
        QCOMPARE(dialog.findChild<QPushButton*>("btnUp")->toolTip(), QString("Move Chapter Up"));
        dialog.list()->setCurrentRow(0);
        click(&dialog, "btnUp");
        QVERIFY(!dialog.changed());
        click(&dialog, "btnDown");
        QCOMPARE(listed(dialog), (QStringList{"B", "A", "C"}));
        QCOMPARE(dialog.list()->currentRow(), 1);
        QVERIFY(dialog.changed());
        click(&dialog, "btnDelete");
        QCOMPARE(listed(dialog), (QStringList{"B", "C"}));
        QCOMPARE(dialog.list()->currentRow(), 0);
        QCOMPARE(dialog.entries()[1].path, std::string("/p/c.htm"));
        click(&dialog, "btnDelete");
        click(&dialog, "btnDelete");
        QCOMPARE(listed(dialog), QStringList{"C"}); // one chapter always stays
    }

    void okReloadsInTheNewOrderKeepingSavedEdits() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        TopicTable& table = f.window->session().table();
        const QStringList before = chapterTitles(table);
        // A topic edit and a chapter title edited in the grid, not yet saved.
        table.setCell(2, ColKeyWords, "harbour, tide");
        table.setCell(1, ColTitle, "Getting Started");
        f.window->session().markEdited();
        f.window->projectEdited();
        answerDialog([](TfrmMoveChapters* dialog) {
            dialog->list()->setCurrentRow(0);
            click(dialog, "btnDown");
            dialog->accept();
        });
        f.action("mniMoveDeleteChapters")->trigger();
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Project must be Saved before Moving/Deleting "
                                          "Chapters.\r\nSave changes?"});
        QStringList expected = before;
        expected[0] = "Getting Started";
        expected.swapItemsAt(0, 1);
        QCOMPARE(chapterTitles(table), expected);
        int intro = 1;
        while (table.cell(size_t(intro), ColTitle) != "Getting Started")
            ++intro;
        QCOMPARE(table.cell(size_t(intro) + 1, ColKeyWords), std::string("harbour, tide"));
        QCOMPARE(table.cell(size_t(intro), ColMainFileName),
                 f.dir.filePath("sample/intro.htm").toStdString());
        QVERIFY(f.window->session().modified());
        QVERIFY(f.window->session().chaptersInSync());
        f.trigger("mniSave");
        QVERIFY(readAll(f.project).contains("ChapterTitle1=Getting Started\r\n"));
        QVERIFY(readAll(f.project).contains("ChapterFileName1=intro.htm\r\n"));
    }

    void cancelChangesNothingAndDeletingViaTheDialogKeepsTheFile() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        TopicTable& table = f.window->session().table();
        const QStringList before = chapterTitles(table);
        const size_t rows = table.rowCount();
        answerDialog([](TfrmMoveChapters* dialog) {
            click(dialog, "btnDelete");
            dialog->reject();
        });
        f.trigger("iebtnMoveDeleteChapters");
        QVERIFY(messages.shown.empty()); // unmodified: no save question
        QCOMPARE(chapterTitles(table), before);
        QCOMPARE(table.rowCount(), rows);
        QVERIFY(!f.window->session().modified());

        answerDialog([](TfrmMoveChapters* dialog) {
            dialog->list()->setCurrentRow(3);
            click(dialog, "btnDelete");
            dialog->accept();
        });
        f.trigger("mniMoveDeleteChapters");
        QStringList expected = before;
        expected.removeAt(3);
        QCOMPARE(chapterTitles(table), expected);
        QCOMPARE(table.chapterCount(), 4);
        QVERIFY(QFileInfo::exists(f.dir.filePath("sample/appendix.htm")));
        f.trigger("mniSave");
        QVERIFY(!readAll(f.project).contains("appendix.htm"));
    }

    void refusedChapterDragOpensTheDialog() {
        WindowFixture f;
        f.window->openProjectFile(f.project);
        bool shown = false;
        answerDialog([&shown](TfrmMoveChapters* dialog) {
            shown = true;
            dialog->reject();
        });
        f.window->grid().dragRowTo(6, 3);
        QVERIFY(shown);
    }
};

QTEST_MAIN(MoveChaptersDialogTest)
#include "move_chapters_dialog_test.moc"
