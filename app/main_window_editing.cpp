// Chapter commands of the main window: adding chapter files, editing a chapter in the
// author's editor, viewing it, recalculating file names and the topic filenames list.
#include "app/main_window.h"

#include "app/file_dialogs.h"
#include "app/preview_window.h"
#include "app/program_runner.h"
#include "app/progress_window.h"
#include "app/topic_grid.h"
#include "core/chapter_parser.h"
#include "core/file_io.h"
#include "core/file_names.h"
#include "core/ini_file.h"
#include "core/printout_file.h"
#include "core/project_lock.h"
#include "core/safe_output.h"
#include "core/text_util.h"
#include "core/topic_list_file.h"
#include "helpgen/page_generator.h"
#include "helpgen/preview_pages.h"
#include "helpgen/support_files.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>

namespace qw {

namespace {

const char* const kEditorMissing =
    "Editor not available.\r\nPlease set Editor FileName and Path in 'Environment Options'.";
const char* const kSfxTitle = "SFX Toolbar";
const char* const kTflTitle = "TFL Toolbar";

/// Sets the session's editing flag for the scope, whatever way the scope ends.
class EditingGuard {
public:
    explicit EditingGuard(ProjectSession& session) : m_session(session) {
        m_session.setEditing(true);
    }
    ~EditingGuard() { m_session.setEditing(false); }
    EditingGuard(const EditingGuard&) = delete;
    EditingGuard& operator=(const EditingGuard&) = delete;

private:
    ProjectSession& m_session;
};

} // namespace

void TfrmVIRedivuv::mniAddFilesClick() {
    const QString projectDir = QString::fromStdString(m_session->projectDir());
    const QStringList files =
        FileDialogs::choose(this, {FileRequest::OpenMany, "Add HTML Chapter(s)", projectDir,
                                   "HTML Files(*.htm, *.html) (*.htm *.html)", ""});
    if (!files.isEmpty())
        addChapterFiles(files);
}

void TfrmVIRedivuv::addChapterFiles(const QStringList& files) {
    TopicTable& table = m_session->table();
    const ParseOptions options =
        ParseOptions::from(m_session->environment(), m_session->maxIconIndex());
    m_progress->begin("Adding Files. Please Wait...", int(files.size()), true);
    int topicsAdded = 0;
    int chaptersAdded = 0;
    for (const QString& file : files) {
        const std::string path = QFileInfo(file).absoluteFilePath().toStdString();
        if (!startsWith(path, m_session->projectDir())) {
            m_messages.showMessage("Error: Chapter Files must be in the same directory,\r\nor a "
                                   "sub-directory of the Project file.",
                                   MessageKind::Error, MessageButtons::Ok);
            m_progress->finish(0);
            break;
        }
        const int topics = loadChapter(path, table, options, *m_progress);
        if (topics <= 0)
            continue;
        topicsAdded += topics;
        ++chaptersAdded;
        m_session->setModified(true); // only the chapter list changed
    }
    m_session->markRoles();
    if (table.topicCount() > 0)
        m_session->updateCommandState();
    if (chaptersAdded > 0)
        m_grid->selectCell(int(table.rowCount()) - topicsAdded - chaptersAdded - 1, ColTitle);
}

void TfrmVIRedivuv::mniViewInHTMLEdClick() {
    editInEditor(false);
}
void TfrmVIRedivuv::mniViewInWYSIWYGEdClick() {
    editInEditor(true);
}

void TfrmVIRedivuv::editInEditor(bool wysiwyg) {
    if (!m_session->askToSave("Save Changes to Project, before Editing?", true))
        return;
    EditingGuard editing(*m_session);
    const int column = m_grid->currentColumn();
    const int row = m_grid->currentRow();
    const EnvironmentSettings& env = m_session->environment();
    QString editor =
        QString::fromStdString(wysiwyg ? env.wysiwygEdPath : env.htmlEditorPath).trimmed();
    if (editor.isEmpty())
        editor = "Dummmy"; // a name whose start fails
    const TopicTable& table = m_session->table();
    if (row <= 0 || size_t(row) >= table.rowCount())
        return;
    const QString file = QString::fromStdString(trim(table.cell(size_t(row), ColMainFileName)));
    if (file.isEmpty())
        return;
    if (table.isTopicRow(size_t(row)) &&
        m_messages.showMessage("Cannot edit individual Topics.\r\nDo you wish to edit the main "
                               "chapter file?",
                               MessageKind::Confirmation, MessageButtons::YesNo) != Answer::Yes)
        return;
    QCoreApplication::processEvents();
    m_session->chapterTimes().record(table);
    startToolbarsForEditing();

    if (env.asyncEditing) {
        m_session->setEditing(false);
        setEnabled(false);
        const bool started = ProgramRunner::run(editor, {file}, false);
        setEnabled(true);
        if (!started)
            m_messages.showMessage(kEditorMissing, MessageKind::Error, MessageButtons::Ok);
        return;
    }
    const QString caption = windowTitle();
    setWindowTitle(
        "HTMLHelp Quirewright is DISABLED while editing Chapters. Close Editor to continue.");
    setEnabled(false);
    const bool started = ProgramRunner::run(editor, {file}, true);
    setEnabled(true);
    if (!started) {
        m_messages.showMessage(kEditorMissing, MessageKind::Error, MessageButtons::Ok);
    } else if (m_session->chapterTimes().changed()) {
        m_messages.showMessage(
            "One or more HTML Chapter files have changed.\r\nThe Project must be "
            "reloaded to reflect these changes.",
            MessageKind::Information, MessageButtons::Ok);
        QCoreApplication::processEvents();
        m_session->reloadProject(400);
        forgetFindings();
        m_grid->selectCell(std::min(row, int(m_session->table().rowCount()) - 1), column);
    }
    stopToolbars();
    setWindowTitle(caption);
}

void TfrmVIRedivuv::startToolbarsForEditing() {
    const EnvironmentSettings& env = m_session->environment();
    if (env.autoLaunchSfx && !ProgramRunner::isToolRunning(kSfxTitle))
        ProgramRunner::startTools({"SFX"});
    if (!env.autoLaunchTfl)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ProgramRunner::sendCloseRequest(kTflTitle);
    const bool written = writeTopicList(false);
    QApplication::restoreOverrideCursor();
    if (written)
        ProgramRunner::startTools(
            {"TFL", QString::fromStdString(m_session->projectDir() + "TopicLst.tfl")});
}

void TfrmVIRedivuv::stopToolbars() {
    const EnvironmentSettings& env = m_session->environment();
    if (env.autoLaunchSfx)
        ProgramRunner::sendCloseRequest(kSfxTitle);
    if (env.autoLaunchTfl)
        ProgramRunner::sendCloseRequest(kTflTitle);
}

void TfrmVIRedivuv::viewOrPreview(bool rightButton) {
    const int row = m_grid->currentRow();
    const TopicTable& table = m_session->table();
    if (row <= 0 || size_t(row) >= table.rowCount())
        return;
    const std::string file = trim(table.cell(size_t(row), ColMainFileName));
    if (file.empty())
        return;
    if (table.isChapterRow(size_t(row))) {
        showInBrowser(QString::fromStdString(file));
        return;
    }
    // The topic's page, as it will be generated, written beside its chapter.
    const std::string preview = directoryOf(file) + "TmpTopic.htm";
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    const ProjectSettings& project = m_session->settings();
    const EnvironmentSettings& env = m_session->environment();
    const PreviewSettings place = PreviewSettings::read(IniFile(m_session->projectPath()));
    std::filesystem::path frames;
    {
        // The preview writes only over the program's own files, as a build does.
        const ProjectLock lock(m_session->projectPath());
        OutputGuard guard(table, m_session->projectPath());
        OutputRecordScope record(guard);
        copySupportFiles(guard, m_dataDir, project.useStyleSheet, env.searchForEffects);
        generateTopicPage(PageContext{table, project, env, m_dataDir, false}, size_t(row), preview,
                          &guard);
        const std::string topicPage = std::filesystem::path(preview).is_absolute()
                                          ? preview
                                          : m_session->projectDir() + preview;
        frames = writePreviewPages(guard, topicPage, place.frameWidth());
        record.save();
    }
    if (rightButton) {
        showInBrowser(QString::fromStdString(preview));
        return;
    }
    // The framed page stands in for the help window, at its place and size. (An hour is
    // the longest wait: a larger setting must not overflow into none.)
    const int timeoutMs = std::clamp(env.viewHHTimeout, 0, 3600) * 1000;
    if (PreviewWindow::show(
            env.htmlBrowserPath, QString::fromStdString(frames.string()),
            {place.windowLeft, place.windowTop, place.windowWidth, place.windowHeight}, timeoutMs))
        return;
    QApplication::restoreOverrideCursor();
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    m_messages.showMessage("The page could not be shown: no web browser is available.",
                           MessageKind::Error, MessageButtons::Ok);
}

void TfrmVIRedivuv::showInBrowser(const QString& file) {
    if (!ProgramRunner::viewInBrowser(m_session->environment().htmlBrowserPath, file))
        m_messages.showMessage("The page could not be shown: no web browser is available.",
                               MessageKind::Error, MessageButtons::Ok);
}

void TfrmVIRedivuv::mniViewInBrowserClick() {
    viewOrPreview(false);
}

void TfrmVIRedivuv::mniRecalcTopicFilenamesClick() {
    if (m_messages.showMessage("N.B. This may cause some links in your Main Chapter\r\nfiles and "
                               "links to Related Topics to become invaid.\r\nAre you sure you want "
                               "to continue?",
                               MessageKind::Information, MessageButtons::YesNo) != Answer::Yes)
        return;
    recalculateTopicFileNames(m_session->table(), FileNameOptions::from(m_session->environment()));
    m_session->markEdited();
    projectEdited();
}

bool TfrmVIRedivuv::writeTopicList(bool asking) {
    CheckFinding finding;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        finding = checkProject(m_session->table(), FileNameOptions::from(m_session->environment()));
        QApplication::restoreOverrideCursor();
    }
    if (!finding.ok) {
        m_grid->selectCell(int(finding.row), finding.column);
        m_messages.showMessage(finding.message, MessageKind::Warning, MessageButtons::Ok);
        return false;
    }
    const std::string path = writeTopicListFile(m_session->table());
    if (!asking)
        return true;
    const Answer answer =
        m_messages.showMessage("Topic Filenames List Has Been Saved In The Current Project's "
                               "Directory.\r\nThis Can Now Be "
                               "Opened With The 'Topic Filenames List Toolbar'.\r\n\r\nDo You Wish "
                               "To Start The TFL Toolbar Now?",
                               MessageKind::Information, MessageButtons::YesNo);
    if (answer != Answer::Yes)
        return true;
    QCoreApplication::processEvents();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ProgramRunner::sendCloseRequest(kTflTitle);
    const bool started = ProgramRunner::startTools({"TFL", QString::fromStdString(path)});
    QApplication::restoreOverrideCursor();
    if (!started)
        m_messages.showMessage("The companion program qwrtools could not be started.",
                               MessageKind::Error, MessageButtons::Ok);
    return true;
}

void TfrmVIRedivuv::mniCreateTopicFileListClick() {
    writeTopicList(true);
}

void TfrmVIRedivuv::mniPrintClick() {
    const CheckFinding finding =
        checkProject(m_session->table(), FileNameOptions::from(m_session->environment()));
    if (!finding.ok) {
        m_grid->selectCell(int(finding.row), finding.column);
        m_messages.showMessage(finding.message, MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    // The outline is written beside the project and printed through the print dialog.
    const std::string path = writePrintoutFile(m_session->table());
    QTextDocument outline(QString::fromStdString(readFileBytes(path)));
    outline.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print " + QString::fromStdString(path));
    if (dialog.exec() == QDialog::Accepted)
        outline.print(&printer);
}

} // namespace qw
