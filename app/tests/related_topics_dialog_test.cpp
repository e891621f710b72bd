// The keywords and related-topics editor: alone, and opened from the real main window
// over a copy of the sample project with a configuration file of its own.
#include "window_fixture.h"

#include "app/related_topics_dialog.h"
#include "app/topic_grid.h"
#include "core/ini_file.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

using namespace qw;
using namespace qw::test;

namespace {

using Mode = TfrmRelatedTopics::Mode;

QString cell(const TfrmRelatedTopics& dialog, int row, int column) {
    const QTableWidgetItem* item = dialog.table()->item(row, column);
    return item ? item->text() : QString();
}

void setCell(TfrmRelatedTopics& dialog, int row, int column, const QString& text) {
    dialog.table()->item(row, column)->setText(text);
}

/// Answers the next modal editor once it shows.
void answerEditor(std::function<void(TfrmRelatedTopics*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<TfrmRelatedTopics*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(dialog);
        }
    });
    poll->start(20);
}

} // namespace

class RelatedTopicsDialogTest : public QObject {
    Q_OBJECT

private:
    MessageRecorder messages;
    MessageRoutine routine;
    const std::string separator = std::string(50, '-');

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
    }
    void init() { messages.clear(); }

    void keywordsFillRowsAndJoinBack() {
        TfrmRelatedTopics dialog(Mode::KeyWords, separator, routine);
        QCOMPARE(dialog.windowTitle(), QString("KeyWords"));
        QCOMPARE(dialog.table()->rowCount(), 25);
        QCOMPARE(dialog.table()->horizontalHeaderItem(0)->text(), QString("KeyWords"));
        QCOMPARE(dialog.table()->horizontalHeaderItem(1)->text(), QString("KeyWords"));
        dialog.load("alpha, beta,,gamma, ");
        QCOMPARE(cell(dialog, 0, 0), QString("alpha"));
        QCOMPARE(cell(dialog, 0, 1), QString("beta"));
        QCOMPARE(cell(dialog, 1, 0), QString("gamma"));
        QCOMPARE(cell(dialog, 1, 1), QString());
        QCOMPARE(dialog.result(), std::string("alpha, beta, gamma"));
        // Both columns are typed freely; blanks around a keyword go.
        setCell(dialog, 3, 1, "  delta ");
        QCOMPARE(dialog.result(), std::string("alpha, beta, gamma, delta"));
        for (int r = 0; r < 25; ++r)
            for (int c = 0; c < 2; ++c)
                setCell(dialog, r, c, "");
        QCOMPARE(dialog.result(), std::string());
    }

    void relatedEntryWithoutDescriptionIsDroppedOnOk() {
        TfrmRelatedTopics dialog(Mode::RelatedTopics, separator, routine);
        QCOMPARE(dialog.windowTitle(), QString("Related Topics"));
        QCOMPARE(dialog.table()->horizontalHeaderItem(0)->text(),
                 QString("Related Topic Description"));
        QCOMPARE(dialog.table()->horizontalHeaderItem(1)->text(),
                 QString("Related Topic FileName"));
        dialog.load("tour.htm, Installing ; install.htm");
        QCOMPARE(cell(dialog, 0, 0), QString());
        QCOMPARE(cell(dialog, 0, 1), QString("tour.htm"));
        QCOMPARE(cell(dialog, 1, 0), QString("Installing"));
        QCOMPARE(dialog.result(), std::string("Installing;install.htm"));
    }

    void draggedRowsGiveTheStoredOrder() {
        TfrmRelatedTopics dialog(Mode::KeyWords, separator, routine);
        dialog.load("a, b, c, d, e");
        dialog.table()->verticalHeader()->moveSection(1, 0);
        QCOMPARE(dialog.result(), std::string("c, d, a, b, e"));
        TfrmRelatedTopics related(Mode::RelatedTopics, separator, routine);
        related.load("A;a.htm, B;b.htm");
        related.table()->verticalHeader()->moveSection(0, 1);
        QCOMPARE(related.result(), std::string("B;b.htm, A;a.htm"));
    }

    void fileNamesComeFromTheListOverTheCell() {
        TfrmRelatedTopics dialog(Mode::RelatedTopics, separator, routine);
        dialog.setChoices({"intro.htm", "sub/tour.htm"});
        dialog.load("A;sub/tour.htm, ;orphan.htm");
        dialog.resize(400, 300);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTableWidget* table = dialog.table();
        QComboBox* list = dialog.choices();
        // The two columns share the table's width.
        QCOMPARE(table->verticalHeader()->width(), 18);
        QCOMPARE(table->columnWidth(0), table->viewport()->width() / 2 - 1);
        QCOMPARE(table->columnWidth(1), table->columnWidth(0));
        dialog.resize(500, 300);
        QTRY_COMPARE(table->columnWidth(1), table->viewport()->width() / 2 - 1);

        table->setCurrentCell(0, 1);
        QVERIFY(list->isVisible());
        QCOMPARE(list->currentText(), QString("sub/tour.htm"));
        const QRect rect = table->visualRect(table->model()->index(0, 1));
        QCOMPARE(list->geometry(), QRect(rect.topLeft() + QPoint(2, 1), rect.size()));
        // Typed keys do not reach the file name.
        QTest::keyClicks(table, "xyz");
        QCOMPARE(cell(dialog, 0, 1), QString("sub/tour.htm"));
        list->setCurrentIndex(0);
        emit list->activated(0);
        QCOMPARE(cell(dialog, 0, 1), QString("intro.htm"));
        table->setCurrentCell(0, 0);
        QVERIFY(!list->isVisible());

        // Without a description the file-name cell cannot be selected.
        table->setCurrentCell(1, 1);
        QVERIFY(table->currentColumn() != 1);
        QVERIFY(!list->isVisible());
        // A file name not in the list selects no entry.
        setCell(dialog, 1, 0, "Orphan");
        table->setCurrentCell(1, 1);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(dialog.result(), std::string("A;intro.htm, Orphan;orphan.htm"));
        table->verticalScrollBar()->setValue(3);
        QVERIFY(!list->isVisible());
    }

    void entriesBeyondTheTableAreKept() {
        std::string keywords;
        for (int i = 1; i <= 53; ++i)
            keywords += (i > 1 ? ", k" : "k") + std::to_string(i);
        TfrmRelatedTopics dialog(Mode::KeyWords, separator, routine);
        dialog.load(keywords);
        QCOMPARE(cell(dialog, 24, 1), QString("k50"));
        QVERIFY(!dialog.findChild<QLabel*>("lblOverflow")->isHidden());
        QCOMPARE(dialog.result(), keywords);

        std::string related;
        for (int i = 1; i <= 27; ++i)
            related +=
                (i > 1 ? ", " : "") + ("T" + std::to_string(i)) + ";t" + std::to_string(i) + ".htm";
        related += ", bare.htm";
        TfrmRelatedTopics topics(Mode::RelatedTopics, separator, routine);
        topics.load(related);
        QCOMPARE(cell(topics, 24, 0), QString("T25"));
        setCell(topics, 0, 0, "First");
        QCOMPARE(topics.result(), "First" + related.substr(2));
    }

    void valueTheChapterCannotHoldIsRefused() {
        TfrmRelatedTopics dialog(Mode::KeyWords, separator, routine);
        dialog.load("fine");
        dialog.show();
        setCell(dialog, 0, 1, "it's");
        dialog.accept();
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].kind, MessageKind::Error);
        QVERIFY(messages.shown[0].text.find("cannot be stored") != std::string::npos);
        QVERIFY(dialog.isVisible()); // still open, the edit kept for mending
        QCOMPARE(cell(dialog, 0, 1), QString("it's"));
        setCell(dialog, 0, 1, "its");
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.QDialog::result(), int(QDialog::Accepted));
    }

    void editorFromTheWindowKeepsSizeAndMarksOnlyRealChanges() {
        WindowFixture f("[RT_KW_SIZES]\r\nRT_KW_Height=333\r\nRT_KW_Width=444\r\n");
        f.window->openProjectFile(f.project);
        TopicTable& table = f.window->session().table();
        table.setCell(4, ColKeyWords, "alpha, beta,,gamma, ");
        f.window->session().setModified(false);

        // OK without a change: the cell takes the cleaned form only when it differs.
        QSize shown;
        answerEditor([&shown](TfrmRelatedTopics* dialog) {
            shown = dialog->size();
            dialog->resize(520, 380);
            dialog->accept();
        });
        emit f.window->grid().keywordsEditorRequested(4);
        QCOMPARE(shown, QSize(444, 333));
        QCOMPARE(table.cell(4, ColKeyWords), std::string("alpha, beta, gamma"));
        QVERIFY(f.window->session().modified());
        const IniFile config(f.config.toStdString());
        QCOMPARE(config.readInteger("RT_KW_SIZES", "RT_KW_Width", 0), 520);
        QCOMPARE(config.readInteger("RT_KW_SIZES", "RT_KW_Height", 0), 380);

        f.window->session().setModified(false);
        answerEditor([](TfrmRelatedTopics* dialog) { dialog->accept(); });
        emit f.window->grid().keywordsEditorRequested(4);
        QVERIFY(!f.window->session().modified());

        // Cancel leaves the cell; the size is stored all the same.
        answerEditor([](TfrmRelatedTopics* dialog) {
            dialog->table()->item(0, 0)->setText("");
            dialog->resize(400, 310);
            dialog->reject();
        });
        emit f.window->grid().keywordsEditorRequested(4);
        QCOMPARE(table.cell(4, ColKeyWords), std::string("alpha, beta, gamma"));
        QVERIFY(!f.window->session().modified());
        QCOMPARE(IniFile(f.config.toStdString()).readInteger("RT_KW_SIZES", "RT_KW_Width", 0), 400);

        // Related topics: the list offers the project's pages seen from the chapter.
        QStringList offered;
        answerEditor([&offered](TfrmRelatedTopics* dialog) {
            for (int i = 0; i < dialog->choices()->count(); ++i)
                offered << dialog->choices()->itemText(i);
            dialog->table()->item(0, 0)->setText("");
            dialog->table()->item(1, 0)->setText("");
            dialog->accept();
        });
        emit f.window->grid().relatedTopicsEditorRequested(4);
        QVERIFY(offered.contains("welcome.htm"));
        QVERIFY(offered.contains("reference/record.htm"));
        QVERIFY2(!offered.join(",").contains("example.org"), "web topics are not offered");
        QCOMPARE(table.cell(4, ColRelated), std::string());
        QVERIFY(f.window->session().modified());
        f.window->session().setModified(false);
    }
};

QTEST_MAIN(RelatedTopicsDialogTest)
#include "related_topics_dialog_test.moc"
