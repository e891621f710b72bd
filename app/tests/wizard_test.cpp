// The new-project wizard alone, and a whole first session from the real main window:
// wizard, new chapter, new topic, keywords and a related topic, save, and a build by
// quirew-cli whose pages, contents and index must hold what was entered.
#include "window_fixture.h"

#include "app/new_chapter_dialog.h"
#include "app/related_topics_dialog.h"
#include "app/topic_grid.h"
#include "app/wizard.h"
#include "core/ini_file.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using namespace qw;
using namespace qw::test;

namespace {

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

QStringList listed(const TfrmWizard& wizard) {
    QStringList result;
    auto* list = wizard.findChild<QListWidget*>("lstAddedFiles");
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

QString nextText(const TfrmWizard& wizard) {
    return wizard.findChild<QPushButton*>("btnNext")->text();
}

bool backEnabled(const TfrmWizard& wizard) {
    return wizard.findChild<QPushButton*>("btnBack")->isEnabled();
}

} // namespace

class WizardTest : public QObject {
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
    }

    void pagesGoOnlyForwardWithAFileName() {
        const QTemporaryDir dir;
        MessageRoutine routine;
        TfrmWizard wizard("/opt/quirew", routine);
        QCOMPARE(wizard.windowTitle(), QString("New HTMLHelp Quirewright Project Wizard"));
        QCOMPARE(wizard.page(), 0);
        QVERIFY(!backEnabled(wizard));
        wizard.nextClick();
        QCOMPARE(wizard.page(), 1);
        QVERIFY(backEnabled(wizard));

        const int beeps = MessageRoutine::beepCount();
        wizard.nextClick();
        QCOMPARE(wizard.page(), 1);
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Please specify a name for the project."});
        QCOMPARE(messages.shown[0].buttons, MessageButtons::Ok);
        QCOMPARE(MessageRoutine::beepCount(), beeps); // a plain message, without beep

        dialogs.answers.push_back({dir.filePath("manual.qwr")});
        wizard.browseClick();
        QCOMPARE(dialogs.requests.back().title,
                 QString("Specify Name and Directory for new HTMLHelp Quirewright file"));
        QCOMPARE(dialogs.requests.back().folder, QString("/opt/quirew"));
        QCOMPARE(dialogs.requests.back().defaultSuffix, QString("qwr"));
        QCOMPARE(wizard.fileName(), dir.filePath("manual.qwr"));
        for (int page = 2; page <= 4; ++page) {
            QCOMPARE(nextText(wizard), QString("&Next >"));
            wizard.nextClick();
            QCOMPARE(wizard.page(), page);
        }
        QCOMPARE(nextText(wizard), QString("&Finish"));
        wizard.backClick();
        QCOMPARE(wizard.page(), 3);
        QCOMPARE(nextText(wizard), QString("&Next >"));
        for (int i = 0; i < 5; ++i)
            wizard.backClick();
        QCOMPARE(wizard.page(), 0);
        QVERIFY(!backEnabled(wizard));
        QCOMPARE(wizard.result(), int(QDialog::Rejected));
        for (int i = 0; i < 5; ++i)
            wizard.nextClick();
        QCOMPARE(wizard.result(), int(QDialog::Accepted)); // Finish
    }

    void fileListTakesOnlyFilesBesideTheProject() {
        const QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        MessageRoutine routine;
        TfrmWizard wizard(dir.path(), routine);
        dialogs.answers.push_back({folder + "manual.qwr"});
        wizard.browseClick();
        dialogs.answers.push_back({folder + "a.htm", folder + "sub/b.htm", folder + "a.htm"});
        wizard.addFilesClick();
        QCOMPARE(dialogs.requests.back().title, QString("Add HTML Chapter(s)"));
        QCOMPARE(dialogs.requests.back().folder, folder);
        QCOMPARE(listed(wizard), (QStringList{"a.htm", "sub/b.htm"}));
        QVERIFY(messages.shown.empty());

        dialogs.answers.push_back({folder + "c.htm", "/elsewhere/d.htm", folder + "e.htm"});
        wizard.addFilesClick();
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Error: Chapter Files must be in the same directory,\r\n"
                                          "or a sub-directory of the Project file."});
        QCOMPARE(listed(wizard), (QStringList{"a.htm", "sub/b.htm", "c.htm"}));

        auto* list = wizard.findChild<QListWidget*>("lstAddedFiles");
        list->setCurrentRow(2);
        wizard.moveUpClick();
        QCOMPARE(listed(wizard), (QStringList{"a.htm", "c.htm", "sub/b.htm"}));
        QCOMPARE(list->currentRow(), 1);
        wizard.moveDownClick();
        wizard.moveDownClick();
        QCOMPARE(listed(wizard), (QStringList{"a.htm", "sub/b.htm", "c.htm"}));
        QCOMPARE(list->currentRow(), 2);
        list->setCurrentRow(0);
        wizard.removeFileClick();
        QCOMPARE(listed(wizard), (QStringList{"sub/b.htm", "c.htm"}));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(wizard.files(), (QStringList{"sub/b.htm", "c.htm"}));

        // Another name in the same folder keeps the list; another folder empties it.
        dialogs.answers.push_back({folder + "other.qwr"});
        wizard.browseClick();
        QCOMPARE(wizard.files().size(), 2);
        dialogs.answers.push_back({folder + "sub/other.qwr"});
        wizard.browseClick();
        QVERIFY(wizard.files().isEmpty());
        QVERIFY(listed(wizard).isEmpty());
    }

    void fromWizardToBuiltDocument() {
        WindowFixture f;
        const QString folder = f.dir.filePath("manual") + "/";
        QDir().mkpath(folder);
        // An existing chapter the author adds in the wizard.
        writeAll(folder + "start.htm",
                 "<html><body>\r\n" + QByteArray(50, '-') +
                     "<font size=\"-2\"><br>\r\nTitle='Start here' FileName='start_here.htm'\r\n"
                     "<br></font>" +
                     QByteArray(50, '-') + "\r\n<p>Hello</p>\r\n</body></html>\r\n");
        answerModal<TfrmWizard>([this, folder](TfrmWizard* wizard) {
            wizard->nextClick();
            dialogs.answers.push_back({folder + "manual.qwr"});
            wizard->browseClick();
            wizard->nextClick();
            wizard->findChild<QLineEdit*>("edtProjectTitle")->setText("  Harbour Guide ");
            wizard->nextClick();
            dialogs.answers.push_back({folder + "start.htm"});
            wizard->addFilesClick();
            wizard->nextClick();
            wizard->nextClick(); // Finish
        });
        f.trigger("mniNewPrjWizard");
        ProjectSession& session = f.window->session();
        TopicTable& table = session.table();
        QCOMPARE(QString::fromStdString(session.projectPath()), folder + "manual.qwr");
        QCOMPARE(IniFile((folder + "manual.qwr").toStdString())
                     .readString("PROJECT_PROPERTIES", "TitleBarText", ""),
                 std::string("Harbour Guide"));
        QCOMPARE(session.settings().titleBarText, std::string("Harbour Guide"));
        QCOMPARE(table.chapterCount(), 1);

        // A new chapter with two topics after it.
        f.window->grid().selectCell(2, ColTitle);
        answerModal<TfrmNewChapter>([this, folder](TfrmNewChapter* dialog) {
            dialog->findChild<QLineEdit*>("edtNewChapName")->setText("Moorings");
            dialogs.answers.push_back({folder + "moorings.htm"});
            dialog->chooseFile();
            dialog->findChild<QLineEdit*>("edtNumOfTopics")->setText("2");
            dialog->findChild<QPushButton*>("btnAdd")->click();
        });
        f.trigger("mniNewChapter");
        QCOMPARE(table.cell(3, ColTitle), std::string("Moorings"));
        // And a topic of its own after the first one.
        f.window->grid().selectCell(4, ColTitle);
        answerModal<QInputDialog>([](QInputDialog* box) {
            box->setTextValue("Tide Tables");
            box->accept();
        });
        f.trigger("mniNewTopic");
        QCOMPARE(table.cell(5, ColTitle), std::string("Tide Tables"));
        const std::string tidePage = table.cell(5, ColFileName);
        QCOMPARE(tidePage, std::string("moo_tide_tables.htm"));

        // Keywords and a related topic through the editor.
        answerModal<TfrmRelatedTopics>([](TfrmRelatedTopics* dialog) {
            dialog->table()->item(0, 0)->setText("anchorage");
            dialog->table()->item(0, 1)->setText("buoy");
            dialog->accept();
        });
        emit f.window->grid().keywordsEditorRequested(5);
        QStringList offered;
        answerModal<TfrmRelatedTopics>([&offered](TfrmRelatedTopics* dialog) {
            QComboBox* list = dialog->choices();
            for (int i = 0; i < list->count(); ++i)
                offered << list->itemText(i);
            dialog->table()->item(0, 0)->setText("Where to start");
            dialog->table()->setCurrentCell(0, 1);
            const int index = list->findText("start_here.htm");
            list->setCurrentIndex(index);
            emit list->activated(index);
            dialog->accept();
        });
        emit f.window->grid().relatedTopicsEditorRequested(5);
        QVERIFY(offered.contains("moo_moorings_1.htm"));
        QCOMPARE(table.cell(5, ColKeyWords), std::string("anchorage, buoy"));
        QCOMPARE(table.cell(5, ColRelated), std::string("Where to start;start_here.htm"));

        f.trigger("mniSave");
        QVERIFY(!session.modified());

        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        copyTree(QW_DATA_DIR, f.dir.filePath("data")); // the program's own configuration
        env.insert("QUIREW_DATA_DIR", f.dir.filePath("data"));
        env.insert("XDG_CONFIG_HOME", f.dir.filePath("xdg"));
        cli.setProcessEnvironment(env);
        cli.start(QW_CLI_PATH, {"build", folder + "manual.qwr", "--no-compile"});
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());

        const QByteArray page = readAll(folder + QString::fromStdString(tidePage));
        QVERIFY2(page.contains("[[TOPIC HERE]]"), page.constData());
        QVERIFY(page.contains("anchorage"));
        QVERIFY(page.contains("start_here.htm"));
        const QByteArray contents = readAll(folder + "manual_toc.hhc");
        for (const char* text :
             {"Start here", "Moorings", "Moorings_1", "Tide Tables", "Moorings_2"})
            QVERIFY2(contents.contains(text), text);
        QVERIFY(contents.indexOf("Moorings_1") < contents.indexOf("Tide Tables"));
        QVERIFY(contents.indexOf("Tide Tables") < contents.indexOf("Moorings_2"));
        const QByteArray index = readAll(folder + "manual_indx.hhk");
        QVERIFY2(index.contains("anchorage") && index.contains("buoy"), index.constData());
        QVERIFY(readAll(folder + "manual.hhp").contains("Harbour Guide"));
    }
};

QTEST_MAIN(WizardTest)
#include "wizard_test.moc"
