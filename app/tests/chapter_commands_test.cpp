// Drives the real main window's chapter and topic commands: Insert New Chapter with its
// dialog, Insert New Topic, and deleting topics and chapters. Each test has its own copy
// of the data directory (so the new-topic template can be missing) and its own
// configuration file; saved projects are read back with quirew-cli.
#include "window_fixture.h"

#include "app/new_chapter_dialog.h"
#include "app/topic_grid.h"
#include "core/file_io.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <optional>

using namespace qw;
using namespace qw::test;

namespace {

/// A window whose data directory is a copy of its own, over a copy of the sample.
struct ChapterFixture {
    QTemporaryDir dir;
    QString data;
    QString project;
    std::unique_ptr<TfrmVIRedivuv> window;

    explicit ChapterFixture(bool withTemplate = true) {
        data = dir.filePath("data");
        copyTree(QW_DATA_DIR, data);
        if (!withTemplate)
            QFile::remove(data + "/xFiles/newtopic.tem");
        copyTree(QW_SOURCE_DIR "/examples/sample", dir.filePath("sample"));
        project = dir.filePath("sample/sample.qwr");
        window = std::make_unique<TfrmVIRedivuv>(data.toStdString(),
                                                 dir.filePath("quirew.cfg").toStdString());
        window->resize(1000, 600);
    }
    ProjectSession& session() { return window->session(); }
    TopicTable& table() { return window->session().table(); }
    std::string cell(int row, int column) { return table().cell(size_t(row), column); }
    QString templatePath() const { return data + "/xFiles/newtopic.tem"; }
    void trigger(const char* name) { window->action(name)->trigger(); }
    /// Saves without questions and leaves the project unmodified.
    void save() {
        trigger("mniSave");
        QVERIFY(!session().modified());
    }
    /// The rows quirew-cli reads from the saved project, one list of cells per row.
    QList<QStringList> readBack(const QString& projectPath) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUIREW_DATA_DIR", data);
        cli.setProcessEnvironment(env);
        cli.start(QW_CLI_PATH, {"topics", projectPath});
        if (!cli.waitForFinished(30000) || cli.exitCode() != 0)
            qWarning() << "quirew-cli failed:" << cli.readAllStandardError();
        QList<QStringList> rows;
        for (const QString& line : QString::fromUtf8(cli.readAllStandardOutput()).split('\n'))
            if (!line.isEmpty())
                rows << line.split('\t');
        return rows;
    }
};

/// Answers the next modal dialog of type T once it shows.
template <typename T> void answerModal(std::function<void(T*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(dialog);
        }
    });
    poll->start(20);
}

/// Answers the input boxes that show, in order, with these texts; nullopt cancels.
void answerInputs(std::deque<std::optional<QString>> answers) {
    auto* poll = new QTimer;
    auto queue = std::make_shared<std::deque<std::optional<QString>>>(std::move(answers));
    QObject::connect(poll, &QTimer::timeout, [poll, queue] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        const std::optional<QString> answer = queue->front();
        queue->pop_front();
        if (queue->empty()) {
            poll->stop();
            poll->deleteLater();
        }
        if (answer) {
            box->setTextValue(*answer);
            box->accept();
        } else {
            box->reject();
        }
    });
    poll->start(20);
}

/// Fills the new-chapter dialog: the file through its file button, then Add.
void fillNewChapter(DialogRecorder& dialogs, const QString& name, const QString& file,
                    const QString& topics, bool edit = false) {
    answerModal<TfrmNewChapter>([&dialogs, name, file, topics, edit](TfrmNewChapter* dialog) {
        dialog->findChild<QLineEdit*>("edtNewChapName")->setText(name);
        dialogs.answers.push_back({file});
        dialog->findChild<QToolButton*>("sbtnSetFilename")->click();
        dialog->findChild<QLineEdit*>("edtNumOfTopics")->setText(topics);
        dialog->findChild<QCheckBox*>("chkEditInWYSIWYG")->setChecked(edit);
        dialog->findChild<QPushButton*>("btnAdd")->click();
    });
}

QStringList titles(const TopicTable& table) {
    QStringList result;
    for (size_t r = 1; r < table.rowCount(); ++r)
        result << QString::fromStdString(table.cell(r, ColTitle));
    return result;
}

} // namespace

class ChapterCommandsTest : public QObject {
    Q_OBJECT

private:
    MessageRecorder messages;
    DialogRecorder dialogs;
    LaunchRecorder launches;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        messages.install();
        dialogs.install();
        launches.install();
    }
    void init() {
        messages.clear();
        dialogs.requests.clear();
        dialogs.answers.clear();
        launches.launches.clear();
    }

    void newChapterWithThreeTopicsInAnEmptyProject() {
        ChapterFixture f(false);
        const QString projectPath = f.dir.filePath("fresh/fresh.qwr");
        QDir().mkpath(f.dir.filePath("fresh"));
        f.session().newProject(projectPath.toStdString());
        QVERIFY(!f.window->action("mniNewTopic")->isEnabled());
        fillNewChapter(dialogs, "New Chapter", f.dir.filePath("fresh/Basics.htm"), "3");
        f.trigger("mniNewChapter");
        QCOMPARE(messages.shown.size(), size_t(0));
        QCOMPARE(dialogs.requests.back().title, QString("Save New Chapter File As..."));
        QCOMPARE(dialogs.requests.back().folder, f.dir.filePath("fresh") + "/");
        // The name came from the file, as the name field still read "New Chapter".
        QCOMPARE(titles(f.table()),
                 (QStringList{"Basics", "Basics_1", "Basics_2", "Basics_3", "// End Of List //"}));
        QCOMPARE(f.window->grid().currentRow(), 1);
        QVERIFY(f.table().isChapterRow(1));
        QCOMPARE(f.cell(1, ColMainFileName), f.dir.filePath("fresh/Basics.htm").toStdString());
        // The missing template was made with its three lines.
        QVERIFY(QFileInfo::exists(f.templatePath()));
        for (int r = 2; r <= 4; ++r) {
            QCOMPARE(f.cell(r, ColMainFileName), f.templatePath().toStdString());
            QCOMPARE(f.cell(r, ColEndLine), std::string("2"));
            QCOMPARE(f.cell(r, ColIcon), std::string("10"));
        }
        QCOMPARE(f.cell(2, ColFileName), std::string("bas_basics_1.htm"));
        QCOMPARE(readAll(f.dir.filePath("fresh/Basics.htm")),
                 QByteArray("<HTML>\r\n<HEAD>\r\n<TITLE>_Title_</TITLE>\r\n<!-- VELUM_HeadVar "
                            "-->\r\n</HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\" BACKGROUND=\"_BgImage_\" "
                            "QUIREW_BODY=\"\">\r\n\r\n</BODY></HTML>\r\n"));
        QCOMPARE(f.table().topicCount(), 3);
        QCOMPARE(f.table().chapterCount(), 1);
        QVERIFY(f.session().modified());
        QVERIFY(f.window->action("mniNewTopic")->isEnabled());

        f.save();
        const QList<QStringList> rows = f.readBack(projectPath);
        QCOMPARE(rows.size(), 5); // header, chapter, three topics
        QCOMPARE(rows[1][ColTitle], QString("Basics"));
        const QByteArray saved = readAll(f.dir.filePath("fresh/Basics.htm"));
        QCOMPARE(saved.count("[[TOPIC HERE]]<BR>"), 3);
        for (int r = 2; r <= 4; ++r) {
            QCOMPARE(rows[r][ColTitle], QString("Basics_%1").arg(r - 1));
            QCOMPARE(rows[r][ColFileName], QString("bas_basics_%1.htm").arg(r - 1));
            const int start = rows[r][ColStartLine].toInt();
            QCOMPARE(rows[r][ColEndLine].toInt(), start + 2);
            QCOMPARE(QString(saved).split("\r\n")[start + 1], QString("[[TOPIC HERE]]<BR>"));
        }
    }

    void newChapterLandsAfterTheCurrentChapterAndRefusesDuplicates() {
        ChapterFixture f;
        f.window->openProjectFile(f.project);
        const int topicsBefore = f.table().topicCount();
        f.window->grid().selectCell(3, ColTitle); // a topic in the middle of Introduction
        QDir().mkpath(f.dir.filePath("sample/sub"));
        fillNewChapter(dialogs, "Extra", f.dir.filePath("sample/sub/extra.htm"), "2");
        f.trigger("mniNewChapter");
        QCOMPARE(f.cell(6, ColTitle), std::string("Extra"));
        QCOMPARE(f.cell(7, ColTitle), std::string("Extra_1"));
        QCOMPARE(f.cell(8, ColTitle), std::string("Extra_2"));
        QCOMPARE(f.cell(9, ColTitle), std::string("Using Tidewater Notes"));
        QCOMPARE(f.window->grid().currentRow(), 6);
        // A folder part of the chapter's name gives the prefix.
        QCOMPARE(f.cell(7, ColFileName), std::string("sub_extra_1.htm"));
        QCOMPARE(f.table().topicCount(), topicsBefore + 2);

        // The same file again, spelled in other case: refused, nothing inserted.
        const QStringList before = titles(f.table());
        fillNewChapter(dialogs, "Again", f.dir.filePath("sample/SUB/EXTRA.htm"), "1");
        f.trigger("mniNewChapter");
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Error: Duplicate Filename.\r\nA Chapter With The Same "
                                          "Filename Already Exists."});
        QCOMPARE(titles(f.table()), before);
        QVERIFY(!QFileInfo::exists(f.dir.filePath("sample/SUB/EXTRA.htm")));

        // On the end-of-list row: a beep, no dialog.
        const int beeps = MessageRoutine::beepCount();
        f.window->grid().selectCell(int(f.table().endRow()), ColTitle);
        f.trigger("mniNewChapter");
        QCOMPARE(MessageRoutine::beepCount(), beeps + 1);
        QCOMPARE(titles(f.table()), before);

        f.save();
        const QList<QStringList> rows = f.readBack(f.project);
        QCOMPARE(rows[6][ColTitle], QString("Extra"));
        QCOMPARE(rows[7][ColMainFileName], f.dir.filePath("sample/sub/extra.htm"));
        QVERIFY(readAll(f.dir.filePath("sample/sub/extra.htm")).contains("[[TOPIC HERE]]"));
        f.session().setModified(false);
    }

    void newChapterWithTheEditSwitchSavesAndOpensTheEditor() {
        ChapterFixture f;
        f.window->openProjectFile(f.project);
        f.window->grid().selectCell(2, ColTitle);
        fillNewChapter(dialogs, "Extra", f.dir.filePath("sample/extra.htm"), "1", true);
        f.trigger("mniNewChapter");
        QVERIFY(!f.session().modified());
        QVERIFY(readAll(f.project).contains("ChapterFileName1=extra.htm"));
        QVERIFY(readAll(f.dir.filePath("sample/extra.htm")).contains("[[TOPIC HERE]]"));
        // No WYSIWYG editor is set in this configuration: the editor's own message.
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Editor not available.\r\nPlease set Editor FileName "
                                          "and Path in 'Environment Options'."});
    }

    void newChapterDialogRules() {
        const QTemporaryDir dir;
        MessageRoutine routine;
        TfrmNewChapter dialog(dir.path() + "/", routine);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* name = dialog.findChild<QLineEdit*>("edtNewChapName");
        auto* file = dialog.findChild<QLineEdit*>("edtNewChapFilename");
        auto* topics = dialog.findChild<QLineEdit*>("edtNumOfTopics");
        auto* add = dialog.findChild<QPushButton*>("btnAdd");
        QCOMPARE(dialog.windowTitle(), QString("Add New Chapter And Topics"));
        QCOMPARE(name->text(), QString("New Chapter"));
        QCOMPARE(topics->text(), QString("1"));
        QVERIFY(!add->isEnabled());
        QVERIFY(file->isReadOnly());

        // Only digits can be typed, at most two; a value outside 1..90 becomes 1.
        for (const auto& [typed, left] : std::vector<std::pair<QString, QString>>{
                 {"0", "1"}, {"91", "1"}, {"90", "90"}, {"7x", "7"}, {"123", "12"}}) {
            topics->setFocus();
            topics->clear();
            const int beeps = MessageRoutine::beepCount();
            QTest::keyClicks(topics, typed);
            if (typed.contains('x'))
                QCOMPARE(MessageRoutine::beepCount(), beeps + 1);
            name->setFocus();
            QCOMPARE(topics->text(), left);
        }
        QCOMPARE(dialog.numberOfTopics(), 12);
        topics->setText("89");
        dialog.stepTopics(1);
        dialog.stepTopics(1);
        QCOMPARE(topics->text(), QString("90"));
        topics->setText("2");
        dialog.stepTopics(-1);
        dialog.stepTopics(-1);
        QCOMPARE(topics->text(), QString("1"));

        // An emptied name comes back as "New Chapter".
        name->setFocus();
        name->setText("  ");
        topics->setFocus();
        QCOMPARE(name->text(), QString("New Chapter"));

        // A file outside the project directory is refused with the message.
        messages.clear();
        dialogs.answers.push_back({QDir::tempPath() + "/elsewhere.htm"});
        dialog.chooseFile();
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Error: Chapter Files must be in the same directory,\r\n"
                                          "or a sub-directory of the Project file."});
        QVERIFY(file->text().isEmpty());
        QVERIFY(!add->isEnabled());
        // Nor is a file that is not HTML (the project file itself, say).
        messages.clear();
        dialogs.answers.push_back({dir.path() + "/manual.qwr"});
        dialog.chooseFile();
        QCOMPARE(messages.texts(), std::vector<std::string>{"Error: A Chapter File must be an "
                                                            "HTML file (*.htm, *.html)."});
        QVERIFY(file->text().isEmpty());
        // A typed name is kept when a file is chosen.
        name->setText("Mine");
        dialogs.answers.push_back({dir.path() + "/docs/First Steps.htm"});
        dialog.chooseFile();
        QCOMPARE(file->text(), QString("docs/First Steps.htm"));
        QCOMPARE(name->text(), QString("Mine"));
        QVERIFY(add->isEnabled());
        QVERIFY(add->isDefault());
    }

    void insertTopicAsksAgainWhileBlankAndKeepsSpaces() {
        ChapterFixture f;
        f.window->openProjectFile(f.project);
        const int topics = f.table().topicCount();
        f.window->grid().selectCell(3, ColTitle);
        answerInputs({QString("   "), QString("  Tides  ")});
        f.trigger("mniNewTopic");
        QCOMPARE(f.cell(4, ColTitle), std::string("  Tides  "));
        QCOMPARE(f.window->grid().currentRow(), 4);
        QCOMPARE(f.cell(4, ColFileName).substr(0, 4), std::string("int_"));
        QCOMPARE(f.cell(4, ColMainFileName), f.templatePath().toStdString());
        QCOMPARE(f.table().topicCount(), topics + 1);
        QVERIFY(f.session().modified());

        // Cancel inserts nothing; on the end-of-list row nobody is asked.
        const QStringList before = titles(f.table());
        answerInputs({std::nullopt});
        f.trigger("mniNewTopic");
        QCOMPARE(titles(f.table()), before);
        f.window->grid().selectCell(int(f.table().endRow()), ColTitle);
        const int beeps = MessageRoutine::beepCount();
        f.trigger("mniNewTopic");
        QCOMPARE(MessageRoutine::beepCount(), beeps + 1);
        QCOMPARE(titles(f.table()), before);

        f.save();
        const QList<QStringList> rows = f.readBack(f.project);
        QCOMPARE(rows[4][ColTitle].trimmed(), QString("Tides"));
        QCOMPARE(rows[4][ColMainFileName], f.dir.filePath("sample/intro.htm"));
        const QStringList lines =
            QString(readAll(f.dir.filePath("sample/intro.htm"))).split("\r\n");
        QCOMPARE(lines[rows[4][ColStartLine].toInt() + 1], QString("[[TOPIC HERE]]<BR>"));
        QCOMPARE(rows.size(), int(f.table().endRow()));
    }

    void deletingTopicsAndChapters() {
        ChapterFixture f;
        f.window->openProjectFile(f.project);
        const int topics = f.table().topicCount();
        const std::string third = f.cell(3, ColTitle);
        // No keeps the topic, Yes removes it.
        f.window->grid().selectCell(3, ColTitle);
        messages.answers = {Answer::No};
        f.trigger("mniDeleteSelectedTopic");
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Warning: The selected Topic will be deleted from\r\nthe "
                                          "Project and the Main Chapter HTML file.\r\n\r\nAre you "
                                          "sure you want to continue?"});
        QCOMPARE(f.cell(3, ColTitle), third);
        f.trigger("iebtnDeleteTopic");
        QVERIFY(f.cell(3, ColTitle) != third);
        QCOMPARE(f.window->grid().currentRow(), 3);
        QCOMPARE(f.table().topicCount(), topics - 1);
        QVERIFY(f.session().modified());

        // The Appendix chapter goes with its topics; its file stays.
        int appendix = 1;
        while (f.cell(appendix, ColTitle) != "Appendix")
            ++appendix;
        const int rowsBefore = int(f.table().rowCount());
        f.window->grid().selectCell(appendix, ColTitle);
        messages.clear();
        f.trigger("mniDeleteSelectedTopic");
        QCOMPARE(messages.texts(), std::vector<std::string>{
                                       "Warning: The selected Chapter will be\r\ndeleted from "
                                       "the Project.\r\n\r\nAre you sure you want to continue?"});
        QCOMPARE(int(f.table().rowCount()), rowsBefore - 3);
        QCOMPARE(f.cell(appendix, ColTitle), std::string("Special effects tour"));
        QCOMPARE(f.table().chapterCount(), 4);
        QCOMPARE(f.table().topicCount(), topics - 3);
        QVERIFY(QFileInfo::exists(f.dir.filePath("sample/appendix.htm")));

        f.save();
        QVERIFY(!readAll(f.project).contains("appendix.htm"));
        const QList<QStringList> rows = f.readBack(f.project);
        QCOMPARE(rows.size(), int(f.table().endRow()));
        for (const QStringList& row : rows)
            QVERIFY(row[ColTitle] != QString::fromStdString(third));
    }

    void refusedDeletions() {
        ChapterFixture f(false);
        QDir().mkpath(f.dir.filePath("one"));
        writeAll(f.dir.filePath("one/one.htm"),
                 "<body>\r\n" + QByteArray(50, '-') +
                     "<font size=\"-2\"><br>\r\nTitle='Only'\r\n<br></font>" + QByteArray(50, '-') +
                     "\r\ntext\r\n</body>\r\n");
        writeAll(f.dir.filePath("one/one.qwr"),
                 "[CHAPTER_FILES]\r\nNumOfChapters=1\r\nChapterTitle0=One\r\nChapterFileName0=one."
                 "htm\r\n");
        f.window->openProjectFile(f.dir.filePath("one/one.qwr"));
        QCOMPARE(f.table().topicCount(), 1);
        // The only topic of its chapter: nothing happens after Yes.
        f.window->grid().selectCell(2, ColTitle);
        f.trigger("mniDeleteSelectedTopic");
        QCOMPARE(f.cell(2, ColTitle), std::string("Only"));
        QVERIFY(!f.session().modified());
        // The only chapter of the project.
        messages.clear();
        f.window->grid().selectCell(1, ColTitle);
        f.trigger("mniDeleteSelectedTopic");
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Can not delete this Chapter, because there\r\nmust be "
                                          "at least one chapter in a project."});
        QCOMPARE(f.table().rowCount(), size_t(4));
        // The end-of-list row: a beep only.
        messages.clear();
        const int beeps = MessageRoutine::beepCount();
        f.window->grid().selectCell(3, ColTitle);
        f.trigger("mniDeleteSelectedTopic");
        QCOMPARE(MessageRoutine::beepCount(), beeps + 1);
        QVERIFY(messages.shown.empty());
    }
};

QTEST_MAIN(ChapterCommandsTest)
#include "chapter_commands_test.moc"
