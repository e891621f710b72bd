// Drives the real main window over a copy of the sample project: opening, the command
// states, the recent-project list, the save prompts, the focus handlers, adding and
// editing chapters, and the exact texts of the messages.
#include "window_fixture.h"

#include "app/build_options_dialog.h"
#include "app/log_window.h"
#include "app/progress_window.h"
#include "app/topic_grid.h"
#include "core/configuration.h"
#include "core/ini_file.h"
#include "core/safe_output.h"

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>

using namespace qw;
using namespace qw::test;

namespace {

const char* const kSave = "Save Changes to Project?";

/// Opens the copied sample and leaves it unmodified.
void openSample(WindowFixture& f) {
    f.window->openProjectFile(f.project);
    QVERIFY(!f.window->session().modified());
}

/// Changes a cell as the grid would: the project becomes modified.
void editSomething(WindowFixture& f) {
    f.window->session().table().setCell(2, ColKeyWords, "edited");
    f.window->session().markEdited();
    f.window->projectEdited();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    MessageRecorder messages;
    DialogRecorder dialogs;
    LaunchRecorder launches;
    /// Stand-ins for the CHM viewers of a desktop, first on PATH, so the tests run the same
    /// with and without viewers installed; the viewer the window starts is the test's own.
    QTemporaryDir fakes;
    QString fakeViewer;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setApplicationName("HTMLHelp Quirewright");
        messages.install();
        dialogs.install();
        launches.install();
        for (const char* name : {"xchm", "kchmviewer", "fake-chm-viewer"}) {
            QFile script(fakes.filePath(name));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nexit 0\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", (fakes.path() + ":" + qEnvironmentVariable("PATH")).toLocal8Bit());
        fakeViewer = fakes.filePath("fake-chm-viewer");
        qputenv("QUIREW_CHM_VIEWER", fakeViewer.toLocal8Bit());
    }
    void init() {
        messages.clear();
        dialogs.requests.clear();
        dialogs.answers.clear();
        launches.launches.clear();
    }

    void startsWithoutProjectAndOnlyFileCommandsEnabled() {
        WindowFixture f;
        QCOMPARE(f.window->windowTitle(), QString("HTMLHelp Quirewright"));
        for (const char* name : {"mniNew", "mniOpen", "mniNewPrjWizard", "mniExit",
                                 "mniEnviromentOptions", "mniAboutQuireW", "SFXToolbar1"})
            QVERIFY2(f.action(name)->isEnabled(), name);
        for (const char* name :
             {"mniSave", "iebtnSavePrj", "mniAddFiles", "iebtnAddFiles", "mniCompile",
              "iebtnCompileHHFile", "mniReloadProject", "mniProjectOptions"})
            QVERIFY2(!f.action(name)->isEnabled(), name);
    }

    void opensProjectWithUpperCaseExtensionFromTheCommandLine() {
        WindowFixture f;
        const QString upper = f.dir.filePath("sample/SAMPLE.QWR");
        QVERIFY(QFile::rename(f.project, upper));
        f.window->openStartArgument("  " + upper + "  ");
        QVERIFY(messages.shown.empty() ||
                messages.shown.front().text.find("Invalid") == std::string::npos);
        QCOMPARE(f.window->windowTitle(), QString("HTMLHelp Quirewright - SAMPLE.QWR"));
        const TopicTable& table = f.window->session().table();
        QCOMPARE(table.chapterCount(),
                 IniFile(upper.toStdString()).readInteger("CHAPTER_FILES", "NumOfChapters", 0));
        QVERIFY(table.topicCount() > table.chapterCount());
        QCOMPARE(
            f.window->countPanelText(),
            QString("Topics: %1 , Chapters: %2").arg(table.topicCount()).arg(table.chapterCount()));
        QVERIFY(f.action("mniCompile")->isEnabled());
        QVERIFY(f.action("iebtnViewInHTMLEd")->isEnabled());
        QVERIFY(!f.action("mniSave")->isEnabled());
    }

    void reportsAnInvalidStartArgumentAndStaysEmpty() {
        WindowFixture f;
        const QString other = f.dir.filePath("sample/intro.htm");
        f.window->openStartArgument(other);
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].text, "Error:\r\nInvalid File - " + other.toStdString());
        QCOMPARE(messages.shown[0].kind, MessageKind::Error);
        f.window->openStartArgument(f.dir.filePath("missing.qwr"));
        QCOMPARE(messages.shown.size(), size_t(2));
        QCOMPARE(f.window->windowTitle(), QString("HTMLHelp Quirewright"));
        QVERIFY(!f.action("mniAddFiles")->isEnabled());
    }

    void projectWithoutChaptersAllowsOnlyAddingAndOptions() {
        WindowFixture f;
        const QString empty = f.dir.filePath("empty.qwr");
        writeAll(empty, "[CHAPTER_FILES]\r\nNumOfChapters=0\r\n");
        f.window->openProjectFile(empty);
        for (const char* name :
             {"mniAddFiles", "iebtnAddFiles", "mniNewChapter", "iebtnProjectOptions"})
            QVERIFY2(f.action(name)->isEnabled(), name);
        for (const char* name : {"mniReloadProject", "mniNewTopic", "mniCompile", "iebtnViewLog",
                                 "mniCreateTopicFileList", "mniSave"})
            QVERIFY2(!f.action(name)->isEnabled(), name);
    }

    void newProjectCreatesAnEmptyProjectFile() {
        WindowFixture f;
        const QString name = f.dir.filePath("fresh.qwr");
        dialogs.answers.push_back({name});
        f.trigger("mniNew");
        QCOMPARE(dialogs.requests.back().title, QString("Save New Project As"));
        QVERIFY(QFileInfo::exists(name));
        QCOMPARE(f.window->windowTitle(), QString("HTMLHelp Quirewright - fresh.qwr"));
        QVERIFY(f.action("mniAddFiles")->isEnabled());
        QVERIFY(!f.action("mniCompile")->isEnabled());
        QCOMPARE(f.action("mniMRU0")->text(), QFileInfo(name).absoluteFilePath());
    }

    void recentListKeepsFourDistinctProjectsMostRecentFirst() {
        WindowFixture f;
        QStringList projects;
        for (int i = 0; i < 5; ++i) {
            projects << f.dir.filePath(QString("p%1.qwr").arg(i));
            QFile::copy(f.project, projects.back());
        }
        for (const QString& p : projects)
            f.window->openProjectFile(p);
        f.window->openProjectFile(projects[2]);
        const QStringList expected = {projects[2], projects[4], projects[3], projects[1]};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f.action(QString("mniMRU%1").arg(i).toUtf8())->text(), expected[i]);
        QVERIFY(f.action("mniLine1")->isVisible());

        // A recent project that was deleted is reported and stays listed.
        QFile::remove(projects[3]);
        f.action("mniMRU2")->trigger();
        QCOMPARE(messages.texts().back(), std::string("Error: File has Moved or is Invalid"));
        QCOMPARE(f.action("mniMRU2")->text(), projects[3]);
        QCOMPARE(f.window->windowTitle(), QString("HTMLHelp Quirewright - p2.qwr"));

        // Choosing one opens it and moves it to the top.
        f.action("mniMRU3")->trigger();
        QCOMPARE(f.window->windowTitle(), QString("HTMLHelp Quirewright - p1.qwr"));
        QCOMPARE(f.action("mniMRU0")->text(), projects[1]);

        f.trigger("puiClearMRUList1");
        QMenu* popup = f.window->recentPopup();
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!f.action(QString("mniMRU%1").arg(i).toUtf8())->isVisible());
            QVERIFY(!f.action(QString("puiMRU%1").arg(i).toUtf8())->isVisible());
        }
        QVERIFY(!f.action("mniLine1")->isVisible());
        QVERIFY(popup->actions().contains(f.action("puiClearMRUList1")));
    }

    void cancelInEachSavePromptAbortsItsCommand() {
        WindowFixture f;
        openSample(f);
        editSomething(f);
        const QString caption = f.window->windowTitle();
        struct Case {
            const char* action;
            std::string question;
            MessageButtons buttons;
        };
        const Case cases[] = {
            {"mniNew", kSave, MessageButtons::YesNoCancel},
            {"mniOpen", kSave, MessageButtons::YesNoCancel},
            {"mniReloadProject", kSave, MessageButtons::YesNoCancel},
            {"mniNewPrjWizard", kSave, MessageButtons::YesNoCancel},
            {"mniMRU0", kSave, MessageButtons::YesNoCancel},
            {"mniViewInHTMLEd", "Save Changes to Project, before Editing?",
             MessageButtons::OkCancel},
            {"mniCompile", "Save Changes to Project before creating HTMLHelp eDocument?",
             MessageButtons::OkCancel},
        };
        f.window->grid().selectCell(1, ColTitle);
        for (const Case& c : cases) {
            messages.clear();
            messages.answers.push_back(Answer::Cancel);
            f.trigger(c.action);
            QVERIFY2(messages.shown.size() == 1, c.action);
            QCOMPARE(messages.shown[0].text, c.question);
            QCOMPARE(messages.shown[0].kind, MessageKind::Confirmation);
            QCOMPARE(messages.shown[0].buttons, c.buttons);
            QVERIFY2(f.window->session().modified(), c.action);
        }
        QVERIFY(dialogs.requests.empty());
        QVERIFY(launches.launches.empty());
        QCOMPARE(f.window->windowTitle(), caption);
        QCOMPARE(f.window->session().table().cell(2, ColKeyWords), std::string("edited"));

        // Closing: Cancel keeps the program running.
        f.window->show();
        messages.clear();
        messages.answers.push_back(Answer::Cancel);
        QVERIFY(!f.window->close());
        QCOMPARE(messages.shown.at(0).text,
                 std::string("Save Changes to Project, before Exiting?"));
        QVERIFY(f.window->isVisible());

        // No goes on without saving.
        messages.answers.push_back(Answer::No);
        dialogs.answers.push_back({});
        f.trigger("mniOpen");
        QCOMPARE(dialogs.requests.size(), size_t(1));
        QCOMPARE(dialogs.requests[0].title, QString("Open Existing Project"));
        QVERIFY(!readAll(f.dir.filePath("sample/intro.htm")).contains("edited"));
        f.window->session().setModified(false);
    }

    void savingWritesTheChaptersAndDisablesSave() {
        WindowFixture f;
        openSample(f);
        editSomething(f);
        QVERIFY(f.action("mniSave")->isEnabled());
        f.trigger("mniSave");
        QVERIFY(!f.action("mniSave")->isEnabled());
        QVERIFY(!f.action("iebtnSavePrj")->isEnabled());
        QVERIFY(readAll(f.dir.filePath("sample/intro.htm")).contains("KeyWords='edited '"));
    }

    void aFailingCommandIsShownAndTheProgramGoesOn() {
        WindowFixture f;
        openSample(f);
        editSomething(f);
        const QString intro = f.dir.filePath("sample/intro.htm");
        QVERIFY(QFile::remove(intro));
        f.trigger("mniSave");
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].kind, MessageKind::Error);
        QCOMPARE(messages.shown[0].buttons, MessageButtons::Ok);
        // The chapter vanished after loading: the save refuses rather than guess.
        QVERIFY(QString::fromStdString(messages.shown[0].text)
                    .startsWith("Not saved: " + intro + " was changed on disk"));
        QVERIFY(f.action("mniSave")->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(QFileInfo::exists(f.dir.filePath("sample/using.htm"))); // nothing else lost
        f.window->session().setModified(false);
    }

    void closingWritesTheConfiguration() {
        WindowFixture f;
        openSample(f);
        f.window->show();
        QVERIFY(f.window->close());
        const Configuration config(f.config.toStdString());
        QCOMPARE(QString::fromStdString(config.readRecent().entries()[0]),
                 QFileInfo(f.project).absoluteFilePath());
        QVERIFY(config.readWindow().width >= 400);
        QVERIFY(messages.shown.empty());
    }

    void reloadsChangedChaptersOnReturnWithoutAskingWhenUnmodified() {
        WindowFixture f;
        openSample(f);
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        changeFirstTitle(f, "Welcome changed outside");
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QVERIFY(messages.shown.empty());
        QCOMPARE(f.window->session().table().cell(2, ColTitle),
                 std::string("Welcome changed outside"));
        QVERIFY(!f.window->session().modified());
    }

    void asksBeforeReloadingWhenAutomaticReloadIsOff() {
        WindowFixture f("[ENVIRONMENT_PROPERTIES]\r\nAutoReloadProj=0\r\nAutoSaveProj=0\r\n");
        openSample(f);
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        changeFirstTitle(f, "Changed once");
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].text,
                 std::string("One or more HTML Chapter files have changed.\r\n"
                             "The Project must be reloaded to reflect these changes."));
        QCOMPARE(messages.shown[0].buttons, MessageButtons::Ok);
        QCOMPARE(f.window->session().table().cell(2, ColTitle), std::string("Changed once"));

        // With unsaved edits the author chooses; No keeps the edits.
        editSomething(f);
        messages.clear();
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(
            !readAll(f.dir.filePath("sample/intro.htm")).contains("edited")); // no automatic save
        changeFirstTitle(f, "Changed twice");
        messages.answers.push_back(Answer::No);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].buttons, MessageButtons::YesNo);
        QVERIFY(messages.shown[0].text.rfind(
                    "One or more HTML Chapter files have changed.The Project must be "
                    "reloaded to reflect these changes.\r\n\r\nHowever",
                    0) == 0);
        QCOMPARE(f.window->session().table().cell(2, ColTitle), std::string("Changed once"));
        QCOMPARE(f.window->session().table().cell(2, ColKeyWords), std::string("edited"));
        f.window->session().setModified(false);
    }

    void savesAutomaticallyWhenTheProgramLosesTheFocus() {
        WindowFixture f;
        openSample(f);
        editSomething(f);
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(!f.window->session().modified());
        QVERIFY(readAll(f.dir.filePath("sample/intro.htm")).contains("KeyWords='edited '"));
        QVERIFY(!f.action("mniSave")->isEnabled());
    }

    void addsChapterFilesFromTheProjectDirectoryOnly() {
        WindowFixture f;
        const QString empty = f.dir.filePath("sample/empty.qwr");
        writeAll(empty, "[CHAPTER_FILES]\r\nNumOfChapters=0\r\n");
        f.window->openProjectFile(empty);
        const QString outside = f.dir.filePath("outside.htm");
        QFile::copy(f.dir.filePath("sample/appendix.htm"), outside);
        dialogs.answers.push_back(
            {f.dir.filePath("sample/intro.htm"), outside, f.dir.filePath("sample/using.htm")});
        f.trigger("mniAddFiles");
        QCOMPARE(dialogs.requests.back().title, QString("Add HTML Chapter(s)"));
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Error: Chapter Files must be in the same "
                                          "directory,\r\nor a sub-directory of the Project file."});
        const TopicTable& table = f.window->session().table();
        QCOMPARE(table.chapterCount(), 1); // the file after the refused one is skipped
        QVERIFY(f.window->session().modified());
        QVERIFY(f.window->session().chaptersInSync());
        QVERIFY(f.action("mniCompile")->isEnabled());
        QCOMPARE(f.window->grid().currentRow(), 1);
        QVERIFY(!f.window->progressWindow().isVisible());
        QVERIFY(f.window->toolBar()->isEnabled());
        QCOMPARE(f.window->countPanelText(),
                 QString("Topics: %1 , Chapters: 1").arg(table.topicCount()));
    }

    void listsDuplicateChaptersInTheProgressWindow() {
        WindowFixture f;
        openSample(f);
        dialogs.answers.push_back({f.dir.filePath("sample/intro.htm")});
        f.trigger("mniAddFiles");
        TfrmProgress& progress = f.window->progressWindow();
        QVERIFY(progress.isVisible());
        QCOMPARE(progress.errors(), QStringList{"Duplicate File: intro.htm"});
        QVERIFY(!f.window->toolBar()->isEnabled());
        QTest::mouseClick(progress.okButton(), Qt::LeftButton);
        QVERIFY(!progress.isVisible());
        QVERIFY(f.window->toolBar()->isEnabled());
        QVERIFY(!f.window->session().modified());
    }

    void synchronousEditorReloadsChangedChapters() {
        const QString script = writeEditorScript();
        WindowFixture f(
            "[ENVIRONMENT_PROPERTIES]\r\nAsyncEditing=0\r\nAutoLaunchSFX=0\r\nHTMLEditorPath=" +
            script.toUtf8() + "\r\n");
        openSample(f);
        f.window->grid().selectCell(1, ColTitle);
        const QString caption = f.window->windowTitle();
        f.trigger("mniViewInHTMLEd");
        QCOMPARE(messages.texts(), std::vector<std::string>{
                                       "One or more HTML Chapter files have changed.\r\n"
                                       "The Project must be reloaded to reflect these changes."});
        QCOMPARE(f.window->session().table().cell(2, ColTitle),
                 std::string("Edited in the editor"));
        QCOMPARE(f.window->windowTitle(), caption);
        QVERIFY(f.window->isEnabled());
        QVERIFY(!f.window->session().editing());
        QCOMPARE(f.window->grid().currentRow(), 1);
    }

    void editorCommandAsksOnTopicRowsAndReportsAMissingEditor() {
        WindowFixture f("[ENVIRONMENT_PROPERTIES]\r\nAsyncEditing=0\r\n");
        openSample(f);
        f.window->grid().selectCell(2, ColTitle);
        messages.answers.push_back(Answer::No);
        f.trigger("mniViewInWYSIWYGEd");
        QCOMPARE(
            messages.texts(),
            std::vector<std::string>{
                "Cannot edit individual Topics.\r\nDo you wish to edit the main chapter file?"});
        QVERIFY(launches.launches.empty());

        messages.clear();
        f.trigger("mniViewInWYSIWYGEd"); // Yes: no editor is set
        QCOMPARE(messages.texts().back(),
                 std::string("Editor not available.\r\nPlease set Editor FileName and "
                             "Path in 'Environment Options'."));
        QCOMPARE(launches.launches.back().program, QString("Dummmy"));
        QVERIFY(!f.window->session().editing());
        // The SFX toolbar was started for the editing and asked to close afterwards.
        QVERIFY(std::any_of(launches.launches.begin(), launches.launches.end(),
                            [](const Launch& l) { return l.arguments == QStringList{"SFX"}; }));

        // The end-of-list row has no chapter: nothing happens, the focus checks still run.
        messages.clear();
        launches.launches.clear();
        f.window->grid().selectCell(int(f.window->session().table().endRow()), ColTitle);
        f.trigger("mniViewInHTMLEd");
        QVERIFY(messages.shown.empty());
        QVERIFY(launches.launches.empty());
        QVERIFY(!f.window->session().editing());
    }

    void asynchronousEditorLeavesTheWindowUsableAndChangesShowOnReturn() {
        const QString script = writeEditorScript();
        WindowFixture f(
            "[ENVIRONMENT_PROPERTIES]\r\nAsyncEditing=1\r\nAutoLaunchSFX=0\r\nHTMLEditorPath=" +
            script.toUtf8() + "\r\n");
        openSample(f);
        f.window->grid().selectCell(1, ColTitle);
        f.trigger("mniViewInHTMLEd");
        QVERIFY(f.window->isEnabled());
        QVERIFY(!f.window->session().editing());
        QVERIFY(messages.shown.empty());
        QTRY_VERIFY_WITH_TIMEOUT(
            readAll(f.dir.filePath("sample/intro.htm")).contains("Edited in the editor"), 5000);
        QVERIFY(f.window->session().table().cell(2, ColTitle) != "Edited in the editor");
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QCOMPARE(f.window->session().table().cell(2, ColTitle),
                 std::string("Edited in the editor"));
        QVERIFY(messages.shown.empty());
    }

    void toolbarButtonsActOnRightPressAndOnRelease() {
        WindowFixture f;
        openSample(f);
        QToolBar* bar = f.window->toolBar();
        // A right press on New bypasses the wizard.
        QTest::mousePress(bar->widgetForAction(f.action("iebtnNew")), Qt::RightButton);
        QCOMPARE(dialogs.requests.size(), size_t(1));
        QCOMPARE(dialogs.requests[0].title, QString("Save New Project As"));

        // A right press on Open shows the recent projects that exist in the list.
        QTest::mousePress(bar->widgetForAction(f.action("iebtnOpenPrj")), Qt::RightButton);
        QMenu* popup = f.window->recentPopup();
        QTRY_VERIFY(popup->isVisible());
        QVERIFY(f.action("puiMRU0")->isVisible());
        QCOMPARE(f.action("puiMRU0")->text(), QFileInfo(f.project).absoluteFilePath());
        QVERIFY(!f.action("puiMRU1")->isVisible());
        popup->close();

        // The View button acts on release: a chapter row opens in the browser.
        f.window->grid().selectCell(1, ColTitle);
        QWidget* view = bar->widgetForAction(f.action("iebtnViewInBrowser"));
        QTest::mouseClick(view, Qt::RightButton);
        QCOMPARE(launches.launches.size(), size_t(1));
        QCOMPARE(launches.launches[0].kind, Launch::ShellOpen);
        QCOMPARE(QFileInfo(launches.launches[0].program).fileName(), QString("intro.htm"));

        // On a topic row the right button shows the topic's page, written beside its
        // chapter (the left button's framed preview has tests of its own).
        f.window->grid().selectCell(2, ColTitle);
        QTest::mouseClick(view, Qt::RightButton);
        const QString preview = f.dir.filePath("sample/TmpTopic.htm");
        QCOMPARE(launches.launches.size(), size_t(2));
        QCOMPARE(launches.launches[1].program, preview);
        QVERIFY(readAll(preview).contains("Tidewater Notes keeps your field observations"));
        QVERIFY(messages.shown.empty());
    }

    void recalculatingFileNamesAsksFirst() {
        WindowFixture f;
        openSample(f);
        f.window->session().table().setCell(2, ColFileName, "odd name.htm");
        messages.answers.push_back(Answer::No);
        f.trigger("mniRecalcTopicFilenames");
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"N.B. This may cause some links in your Main Chapter\r\n"
                                          "files and links to Related Topics to become invaid.\r\n"
                                          "Are you sure you want to continue?"});
        QCOMPARE(f.window->session().table().cell(2, ColFileName), std::string("odd name.htm"));
        QVERIFY(!f.action("mniSave")->isEnabled());
        f.trigger("mniRecalcTopicFilenames");
        QVERIFY(f.window->session().table().cell(2, ColFileName) != "odd name.htm");
        QVERIFY(f.action("mniSave")->isEnabled());
        QVERIFY(!f.window->session().chaptersInSync());
        f.window->session().setModified(false);
    }

    void topicFilenamesListIsWrittenAndOffersTheToolbar() {
        WindowFixture f;
        openSample(f);
        messages.answers.push_back(Answer::Yes);
        f.trigger("mniCreateTopicFileList");
        const QString list = f.dir.filePath("sample/TopicLst.tfl");
        QVERIFY(readAll(list).startsWith("-Introduction\r\nwelcome.htm\r\n"));
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{
                     "Topic Filenames List Has Been Saved In The Current Project's Directory.\r\n"
                     "This Can Now Be Opened With The 'Topic Filenames List Toolbar'.\r\n\r\n"
                     "Do You Wish To Start The TFL Toolbar Now?"});
        QCOMPARE(launches.launches.back().arguments,
                 QStringList({"TFL", QFileInfo(list).absoluteFilePath()}));
    }

    void viewingAMissingLogOrDocumentExplainsWhy() {
        WindowFixture f;
        openSample(f);
        f.trigger("mniViewLog");
        f.trigger("mniSaveHTMLHelpFileAs");
        QCOMPARE(messages.texts(),
                 (std::vector<std::string>{
                     "No 'HTML Help' log file exists, please create HTMLHelp eDocument first.",
                     "No HTML Help file found.\r\nPlease create HTMLHelp eDocument first."}));
        QVERIFY(dialogs.requests.empty());
    }

    void buildsTheDocumentFromTheWindowAndShowsItsResults() {
        WindowFixture f;
        openSample(f);
        const QString caption = f.window->windowTitle();
        bool answered = false;
        answerModal<TfrmCompileOptions>([&](TfrmCompileOptions* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Create HTMLHelp eDocument Options"));
            QVERIFY(dialog->findChild<QCheckBox*>("chkViewLog")->isChecked());
            dialog->findChild<QCheckBox*>("chkViewLog")->setChecked(false);
            dialog->findChild<QCheckBox*>("chkDefault")->setChecked(true);
            answered = true;
            dialog->accept();
        });
        QSignalSpy captions(f.window.get(), &QWidget::windowTitleChanged);
        f.trigger("mniCompile");
        QVERIFY(answered);
        QVERIFY(captions.contains({QString(
            "HTMLHelp Quirewright is DISABLED while Compiling the Project. Please Wait...")}));
        const QString chm = f.dir.filePath("sample/sample.chm");
        QVERIFY(QFileInfo(chm).size() > 0);
        QVERIFY(!QFileInfo::exists(f.dir.filePath("sample/welcome.htm"))); // cleaned up
        QVERIFY(!QFileInfo::exists(f.dir.filePath("sample/sample_toc.hhc")));
        QCOMPARE(f.window->windowTitle(), caption);
        QVERIFY(f.window->isEnabled());
        QVERIFY(!f.window->progressWindow().isVisible());
        QVERIFY(f.window->toolBar()->isEnabled());
        QVERIFY(!Configuration(f.config.toStdString()).readCompileOptions().viewLog);
        // The viewer the configuration names, not whichever is installed.
        QVERIFY(
            std::any_of(launches.launches.begin(), launches.launches.end(), [&](const Launch& l) {
                return l.kind == Launch::Run && l.program == fakeViewer &&
                       l.arguments.size() == 1 && QFileInfo(l.arguments[0]) == QFileInfo(chm);
            }));
        QVERIFY(std::none_of(launches.launches.begin(), launches.launches.end(),
                             [](const Launch& l) { return l.program.startsWith("/usr/"); }));
        QVERIFY(messages.shown.empty());

        // The log in the read-only log window.
        QString logText;
        answerModal<TfrmLogWindow>([&](TfrmLogWindow* log) {
            logText = log->text();
            log->reject();
        });
        f.trigger("mniViewLog");
        QVERIFY(!logText.isEmpty());

        // Save As copies the document.
        const QString copy = f.dir.filePath("copy.chm");
        dialogs.answers.push_back({copy});
        f.trigger("mniSaveHTMLHelpFileAs");
        QCOMPARE(dialogs.requests.back().title, QString("Save HTMLHelp eDocument As"));
        QCOMPARE(readAll(copy), readAll(chm));

        // View opens it without asking, since nothing changed since the build; with the
        // viewer setting empty the desktop's handler opens it, whatever is installed.
        launches.launches.clear();
        qputenv("QUIREW_CHM_VIEWER", "");
        f.trigger("mniViewCHM");
        qputenv("QUIREW_CHM_VIEWER", fakeViewer.toLocal8Bit());
        QVERIFY(messages.shown.empty());
        QCOMPARE(launches.launches.size(), size_t(1));
        QCOMPARE(launches.launches[0].kind, Launch::ShellOpen);
        QCOMPARE(QFileInfo(launches.launches[0].program).fileName(), QString("sample.chm"));

        // After an edit it offers to rebuild first; No views the old document.
        editSomething(f);
        messages.answers.push_back(Answer::No);
        f.trigger("mniViewCHM");
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Project has changed.\r\nRecreate HTMLHelp "
                                          "eDocument before viewing?"});
        QCOMPARE(launches.launches.size(), size_t(2));
        f.window->session().setModified(false);
    }

    void buildFailuresAreShownAndReplaceNothing() {
        WindowFixture f;
        openSample(f);
        const QString own = f.dir.filePath("sample/tour.htm");
        QFile mine(own);
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("<p>the author's own tour</p>");
        mine.close();
        answerModal<TfrmCompileOptions>([](TfrmCompileOptions* dialog) { dialog->accept(); });
        f.trigger("mniCompile");
        QCOMPARE(messages.texts().size(), size_t(1));
        QVERIFY2(QString::fromStdString(messages.texts()[0])
                     .startsWith("Warning: FileName, 'tour.htm', cannot be written to "),
                 messages.texts()[0].c_str());
        QCOMPARE(readAll(own), QByteArray("<p>the author's own tour</p>"));
        QVERIFY(!QFileInfo::exists(f.dir.filePath("sample/sample.chm")));
        QVERIFY(f.window->isEnabled());

        // A step that fails part-way ends the build with the file layer's error.
        QFile::remove(own);
        messages.clear();
        OutputGuard::setFaultForTesting(
            [](std::string_view operation, const std::filesystem::path& path) {
                return operation == "write" && path.filename() == "tour.htm";
            });
        answerModal<TfrmCompileOptions>([](TfrmCompileOptions* dialog) { dialog->accept(); });
        f.trigger("mniCompile");
        OutputGuard::setFaultForTesting({});
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"Unable to write to " + own.toStdString()});
        QVERIFY(!QFileInfo::exists(f.dir.filePath("sample/sample.chm")));
        QVERIFY(f.window->isEnabled());
        QVERIFY(!f.window->progressWindow().isVisible());
    }

    void cancelInTheBuildOptionsLeavesEveryFileUntouched() {
        WindowFixture f;
        openSample(f);
        const QStringList before = QDir(f.dir.filePath("sample")).entryList(QDir::Files);
        answerModal<TfrmCompileOptions>([](TfrmCompileOptions* dialog) {
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == "&Help")
                    button->click();
            dialog->reject();
        });
        f.trigger("mniCompile");
        QCOMPARE(launches.launches.size(), size_t(1)); // the program's help, nothing else
        // The compiled help, in the viewer the test names.
        QVERIFY(launches.launches[0].program.endsWith("fake-chm-viewer"));
        QVERIFY(launches.launches[0].arguments.value(0).endsWith("/quirew.chm"));
        QCOMPARE(QDir(f.dir.filePath("sample")).entryList(QDir::Files), before);
        QVERIFY(f.window->isEnabled());
    }

    void toolbarHasEightGroupsOfButtonsWithTheirOwnPictures() {
        WindowFixture f;
        QList<QImage> pictures;
        int groups = 1;
        for (QAction* item : f.window->toolBar()->actions()) {
            if (item->isSeparator()) {
                ++groups;
                continue;
            }
            QVERIFY2(item->objectName().startsWith("iebtn"), qPrintable(item->objectName()));
            const QImage picture = item->icon().pixmap(24, 24).toImage();
            QVERIFY2(!pictures.contains(picture), qPrintable(item->objectName()));
            pictures << picture;
        }
        QCOMPARE(pictures.size(), 20);
        QCOMPARE(groups, 8);
    }

    void statusPanelFollowsHints() {
        WindowFixture f;
        QStatusTipEvent tip(f.action("mniOpen")->statusTip());
        QApplication::sendEvent(f.window.get(), &tip);
        QCOMPARE(f.window->hintPanelText(), QString("Open Existing Project"));
        QCOMPARE(f.action("iebtnViewInBrowser")->toolTip(),
                 QString("View Chapter In Browser or\nPreview Topic In HTMLHelp Format"));
        QCOMPARE(f.action("mniReloadProject")->toolTip(), QString("Reload Project"));
        QCOMPARE(f.action("mniReloadProject")->statusTip(), QString("Reloads The Current Project"));
    }

private:
    /// Answers the next modal dialog of type T once it shows.
    template <typename T> static void answerModal(std::function<void(T*)> answer) {
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

    static void changeFirstTitle(WindowFixture& f, const QByteArray& title) {
        const QString intro = f.dir.filePath("sample/intro.htm");
        QByteArray bytes = readAll(intro);
        const qsizetype start = bytes.indexOf("Title='") + 7;
        bytes.replace(start, bytes.indexOf('\'', start) - start, title);
        // A new stamp even on file systems with coarse times.
        QTest::qWait(20);
        writeAll(intro, bytes);
    }

    QString writeEditorScript() {
        static QTemporaryDir scripts;
        const QString path = scripts.filePath("editor.sh");
        writeAll(
            path,
            "#!/bin/sh\nsed -i \"0,/Title='[^']*'/s//Title='Edited in the editor'/\" \"$1\"\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
