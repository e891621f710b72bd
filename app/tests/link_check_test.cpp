// The link check before a build: its box in the build options, remembered as a default;
// the findings in their window, a double-click selecting the topic's row; errors asking
// whether to build anyway.
#include "window_fixture.h"

#include "app/build_options_dialog.h"
#include "app/link_check_window.h"
#include "app/topic_grid.h"
#include "app/topic_table_model.h"
#include "core/configuration.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSignalSpy>
#include <QTimer>

using namespace qw;
using namespace qw::test;

class LinkCheckTest : public QObject {
    Q_OBJECT

private:
    MessageRecorder messages;
    LaunchRecorder launches;

    /// Answers the next build options dialog once it shows; gives up after ten seconds, so
    /// that a dialog that never comes fails the test instead of hanging it.
    static void answerOptions(std::function<void(TfrmCompileOptions*)> answer) {
        auto* poll = new QTimer;
        auto* deadline = new QElapsedTimer;
        deadline->start();
        QObject::connect(poll, &QTimer::timeout, [poll, deadline, answer] {
            auto* dialog = qobject_cast<TfrmCompileOptions*>(QApplication::activeModalWidget());
            if (dialog == nullptr && deadline->elapsed() < 10000)
                return;
            poll->stop();
            poll->deleteLater();
            delete deadline;
            if (dialog != nullptr)
                answer(dialog);
        });
        poll->start(20);
    }

    /// A double-click as a reader makes it: the first click selects, the second activates.
    static void doubleClick(QListWidget* list, int item) {
        const QPoint at = list->visualItemRect(list->item(item)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    static QCheckBox* box(TfrmCompileOptions* dialog, const char* name) {
        return dialog->findChild<QCheckBox*>(name);
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setApplicationName("HTMLHelp Quirewright");
        messages.install();
        launches.install();
        qputenv("QUIREW_CHM_VIEWER", "fake-chm-viewer");
    }
    void init() {
        messages.clear();
        launches.launches.clear();
    }

    void theBoxIsRememberedAndErrorsAskBeforeBuilding() {
        WindowFixture f;
        const QString using_ = f.dir.filePath("sample/using.htm");
        QByteArray bytes = readAll(using_);
        const qsizetype at = bytes.indexOf("<h1>Stations and tides</h1>");
        QVERIFY(at > 0);
        bytes.insert(at, "<p><a href=\"nowhere.htm\">gone</a></p>");
        writeAll(using_, bytes);
        f.window->openProjectFile(f.project);
        QVERIFY(!f.window->session().modified());
        const QStringList before = QDir(f.dir.filePath("sample")).entryList(QDir::Files);

        // Unticked by default; ticked and set as default it is stored.
        bool asked = false;
        answerOptions([&](TfrmCompileOptions* dialog) {
            asked = true;
            QVERIFY(!box(dialog, "chkCheckLinks")->isChecked());
            box(dialog, "chkCheckLinks")->setChecked(true);
            box(dialog, "chkDefault")->setChecked(true);
            dialog->accept();
        });
        messages.answers.push_back(Answer::No);
        f.trigger("mniCompile");
        QVERIFY(asked);
        QVERIFY(Configuration(f.config.toStdString()).readCompileOptions().checkLinks);
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{
                     "The link check found 1 error(s); they are listed in the Link Check "
                     "window.\r\nCreate the HTMLHelp eDocument anyway?"});
        QCOMPARE(messages.shown[0].buttons, MessageButtons::YesNo);
        // No: nothing was written.
        QCOMPARE(QDir(f.dir.filePath("sample")).entryList(QDir::Files), before);
        QVERIFY(f.window->isEnabled());

        auto* window = f.window->findChild<TfrmLinkCheck*>();
        QVERIFY(window != nullptr);
        QVERIFY(window->isVisible());
        QCOMPARE(window->list()->count(), 1);
        const QString finding = window->list()->item(0)->text();
        QVERIFY2(finding.startsWith("using.htm:") &&
                     finding.endsWith(": error: link to \"nowhere.htm\", which is no topic page "
                                      "and no file"),
                 qPrintable(finding));

        // A double-click selects the row of the topic that holds the link.
        const TopicTable& table = f.window->session().table();
        size_t topic = 0;
        for (size_t r = 1; r < table.endRow(); ++r)
            if (table.displayTitle(r) == "Stations and tides")
                topic = r;
        QVERIFY(topic > 0);
        f.window->grid().selectCell(1, ColTitle);
        QListWidget* list = window->list();
        doubleClick(list, 0);
        QCOMPARE(f.window->grid().currentIndex().row(), TopicTableModel::modelRow(topic));
        QCOMPARE(f.window->grid().currentIndex().column(), int(ColTitle));

        // Opening the project again empties the list: its rows were the old table's.
        f.window->openProjectFile(f.project);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->list()->count(), 0);

        // The next dialog shows the box ticked; a clean project builds without asking.
        messages.clear();
        writeAll(using_, readAll(using_).replace("<p><a href=\"nowhere.htm\">gone</a></p>", ""));
        f.window->openProjectFile(f.project);
        asked = false;
        answerOptions([&](TfrmCompileOptions* dialog) {
            asked = true;
            QVERIFY(box(dialog, "chkCheckLinks")->isChecked());
            box(dialog, "chkViewLog")->setChecked(false);
            box(dialog, "chkViewCHM")->setChecked(false);
            dialog->accept();
        });
        f.trigger("mniCompile");
        QVERIFY(asked);
        QVERIFY(messages.texts().empty());
        QVERIFY(QFileInfo(f.dir.filePath("sample/sample.chm")).size() > 0);
        QVERIFY(!window->isVisible()); // nothing to list
    }

    void theListCountsFindingsAndOnlyTopicFindingsAskForARow() {
        TfrmLinkCheck window;
        QSignalSpy rows(&window, &TfrmLinkCheck::rowActivated);
        window.setFindings({{"TxPopups.js", 3, LintSeverity::Warning, "first", 0},
                            {"effects.htm", 12, LintSeverity::Error, "second", 7},
                            {"effects.htm", 14, LintSeverity::Error, "third", 8}});
        window.show();
        QCOMPARE(window.summary(), QString("2 error(s), 1 warning(s)"));
        QCOMPARE(window.list()->item(1)->text(), QString("effects.htm:12: error: second"));
        QListWidget* list = window.list();
        for (int i : {0, 2})
            doubleClick(list, i);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toInt(), 8);
        window.setFindings({});
        QCOMPARE(window.list()->count(), 0);
        QCOMPARE(window.summary(), QString("0 error(s), 0 warning(s)"));
    }
};

QTEST_MAIN(LinkCheckTest)
#include "link_check_test.moc"
