// File, Help, Options and Tools commands of the main window.
#include "app/main_window.h"

#include "app/file_dialogs.h"
#include "app/gui_tree_host.h"
#include "app/options_dialog.h"
#include "app/program_runner.h"
#include "app/progress_window.h"
#include "app/topic_grid.h"
#include "app/wizard.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "helpgen/project_options.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace qw {

namespace {

const char* const kProjectFilter = "HTMLHelp Quirewright file (*.qwr)";
const char* const kSaveQuestion = "Save Changes to Project?";

/// Shows the hourglass until the scope ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void TfrmVIRedivuv::mniNewClick() {
    if (!m_session->askToSave(kSaveQuestion))
        return;
    const QString name = FileDialogs::chooseOne(this, {FileRequest::Save, "Save New Project As",
                                                       QString::fromStdString(m_dataDir.string()),
                                                       kProjectFilter, "qwr"});
    if (!name.isEmpty())
        createProjectFile(name);
}

void TfrmVIRedivuv::createProjectFile(const QString& path) {
    m_session->newProject(path.toStdString());
    forgetFindings();
    m_grid->applyEnvironment();
    updateRecentMenu();
}

void TfrmVIRedivuv::mniNewPrjWizardClick() {
    if (!m_session->askToSave(kSaveQuestion))
        return;
    TfrmWizard wizard(QString::fromStdString(m_dataDir.string()), m_messages, this);
    connect(&wizard, &TfrmWizard::helpRequested, this,
            [this] { contextHelp("tbr_toolbar_commands.htm", "fol_tbrtbar__menu_commands.htm"); });
    if (wizard.exec() != QDialog::Accepted)
        return;
    createProjectFile(wizard.fileName());
    QStringList files;
    for (const QString& name : wizard.files())
        files << QString::fromStdString(m_session->projectDir()) + name;
    if (!files.isEmpty())
        addChapterFiles(files);
    IniFile project(m_session->projectPath());
    project.writeString("PROJECT_PROPERTIES", "TitleBarText",
                        wizard.projectTitle().trimmed().toStdString());
    m_session->loadProjectSettings();
}

void TfrmVIRedivuv::mniOpenClick() {
    if (!m_session->askToSave(kSaveQuestion))
        return;
    const QString name = FileDialogs::chooseOne(
        this, {FileRequest::OpenOne, "Open Existing Project",
               QString::fromStdString(m_dataDir.string()), kProjectFilter, "qwr"});
    if (!name.isEmpty())
        openProjectFile(name);
}

void TfrmVIRedivuv::openProjectFile(const QString& path) {
    QCoreApplication::processEvents();
    m_session->openProject(path.toStdString());
    forgetFindings();
    m_grid->applyEnvironment();
    updateRecentMenu();
    updateCounts();
}

void TfrmVIRedivuv::mniSaveClick() {
    WaitCursor hourglass;
    m_session->saveProject(true);
}

void TfrmVIRedivuv::mniReloadProjectClick() {
    if (!m_session->askToSave(kSaveQuestion))
        return;
    m_session->reloadProject(400);
    forgetFindings();
}

void TfrmVIRedivuv::mniMRU1Click(int index) {
    if (!m_session->askToSave(kSaveQuestion))
        return;
    const QString name = QString::fromStdString(m_session->recent().entries()[size_t(index)]);
    if (RecentList::isEmptyEntry(name.toStdString()) || !QFileInfo(name).isFile()) {
        m_messages.showMessage("Error: File has Moved or is Invalid", MessageKind::Error,
                               MessageButtons::Ok);
        return;
    }
    openProjectFile(name);
}

void TfrmVIRedivuv::mniClearMRUClick() {
    m_session->recent().clear();
    updateRecentMenu();
}

void TfrmVIRedivuv::mniExitClick() {
    close();
}

// --- help -------------------------------------------------------------------------------

void TfrmVIRedivuv::mniQuireWHelpClick() {
    setHelpFormat(true);
    iebtnHelpClick();
}

void TfrmVIRedivuv::mniQuireWHelpHTMLClick() {
    setHelpFormat(false);
    iebtnHelpClick();
}

void TfrmVIRedivuv::iebtnHelpClick() {
    const QDir dir = helpFolder();
    bool shown = false;
    if (action("mniQuireWHelp")->isChecked())
        shown = QFileInfo::exists(dir.filePath("quirew.chm")) &&
                ProgramRunner::shellOpen("quirew.chm", dir.path());
    else if (QFileInfo::exists(dir.filePath("help/index.htm")))
        shown = ProgramRunner::viewInBrowser(m_session->environment().htmlBrowserPath,
                                             dir.filePath("help/index.htm"));
    if (!shown)
        helpNotInstalled();
}

QDir TfrmVIRedivuv::helpFolder() const {
    // The installed help lies among the support files; a build tree has its own, made
    // by the build from the help project.
    const QDir data(QString::fromStdString(m_dataDir.string()));
#if defined(QW_BUILD_HELP_DIR) && defined(QW_SOURCE_DATA_DIR)
    const QDir built(QStringLiteral(QW_BUILD_HELP_DIR));
    if (QFileInfo(data.path()).canonicalFilePath() ==
            QFileInfo(QStringLiteral(QW_SOURCE_DATA_DIR)).canonicalFilePath() &&
        !QFileInfo::exists(data.filePath("help/index.htm")) &&
        QFileInfo::exists(built.filePath("help/index.htm")))
        return built;
#endif
    return data;
}

namespace {

/// Opens the compiled help at a page where the viewer can be told one (kchmviewer's
/// -showPage), else at its start page: the viewer QUIREW_CHM_VIEWER names, else
/// kchmviewer or xchm when installed, else the desktop's handler.
bool openHelpDocument(const QString& chm, const QString& page) {
    QString viewer = qEnvironmentVariable("QUIREW_CHM_VIEWER").trimmed();
    if (!qEnvironmentVariableIsSet("QUIREW_CHM_VIEWER")) {
        viewer = QStandardPaths::findExecutable("kchmviewer");
        if (viewer.isEmpty())
            viewer = QStandardPaths::findExecutable("xchm");
    }
    if (viewer.isEmpty())
        return ProgramRunner::shellOpen(chm);
    if (QFileInfo(viewer).fileName() == "kchmviewer")
        return ProgramRunner::run(viewer, {"-showPage", page, chm}, false);
    return ProgramRunner::run(viewer, {chm}, false);
}

} // namespace

void TfrmVIRedivuv::contextHelp(const QString& page, const QString& treePage) {
    const QDir dir = helpFolder();
    if (action("mniQuireWHelp")->isChecked()) {
        if (!QFileInfo::exists(dir.filePath("quirew.chm")) ||
            !openHelpDocument(dir.filePath("quirew.chm"), page))
            helpNotInstalled();
        return;
    }
    if (!QFileInfo::exists(dir.filePath("help/" + page))) {
        helpNotInstalled();
        return;
    }
    // The frame set goes where the author may write (the help folder may be read-only)
    // and names the help's pages by their full addresses.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(cache);
    const std::string frames = QDir(cache).filePath("tmpindex.htm").toStdString();
    const std::string p =
        QUrl::fromLocalFile(dir.filePath("help/" + page)).toString().toStdString();
    const std::string tree =
        QUrl::fromLocalFile(dir.filePath("help/treehtml/" + treePage)).toString().toStdString();
    writeLines(frames,
               {"<HTML><HEAD><TITLE>HTMLHelp Quirewright Help</TITLE></HEAD>",
                "<FRAMESET COLS=\"230px,*\" FrameBorder=\"Yes\" Border=\"5\"><FRAME SRC=\"" + tree +
                    "\" scrolling=\"auto\">",
                "<FRAME name=\"frmtopic\" src=\"" + p + "\"></FRAMESET>",
                "<NOFRAMES><BODY><A href=\"" + p +
                    "\">No Frames; Click here</A></BODY></NOFRAMES></HTML>"});
    if (!ProgramRunner::viewInBrowser(m_session->environment().htmlBrowserPath,
                                      QString::fromStdString(frames)))
        helpNotInstalled();
}

void TfrmVIRedivuv::helpNotInstalled() {
    m_messages.showMessage("The help of HTMLHelp Quirewright is not installed.",
                           MessageKind::Information, MessageButtons::Ok);
}

void TfrmVIRedivuv::workshopHelp(const QString& file) {
    // The Workshop's own help files do not exist on this platform.
    (void)file;
    m_messages.showMessage("Help file not found.\r\nHTML Help Workshop must be installed.",
                           MessageKind::Error, MessageButtons::Ok);
}

void TfrmVIRedivuv::mniProjectOptionsClick() {
    TfrmOptions dialog(OptionsMode::Project, *m_session, m_messages, &m_grid->icons(), this);
    connect(&dialog, &TfrmOptions::helpRequested, this, &TfrmVIRedivuv::contextHelp);
    const bool folders = m_session->settings().userFolders;
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The dialog has written the project file and the help project, and handed the
    // additional files and the special pages (with their role letters) to the session.
    if (m_session->settings().userFolders != folders)
        m_grid->applyEnvironment();
    m_grid->viewport()->update();
    m_optionsChanged = true;
}

void TfrmVIRedivuv::mniEnviromentOptionsClick() {
    TfrmOptions dialog(OptionsMode::Environment, *m_session, m_messages, &m_grid->icons(), this);
    connect(&dialog, &TfrmOptions::helpRequested, this, &TfrmVIRedivuv::contextHelp);
    const EnvironmentSettings before = m_session->environment();
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_optionsChanged = true;
    m_session->loadProjectSettings();
    const EnvironmentSettings& now = m_session->environment();
    if (now.showGraphics != before.showGraphics || now.centerTextInList != before.centerTextInList)
        m_grid->applyEnvironment();
}

// --- the browser document ---------------------------------------------------------------

void TfrmVIRedivuv::mniCreateDOVAZazeClick() {
    struct Restore {
        TfrmProgress& progress;
        ~Restore() {
            // A write that failed part-way must not leave the bar showing for good.
            if (progress.isVisible() && !progress.finished() && !progress.hasErrors())
                progress.finish(0);
        }
    } restore{*m_progress};
    GuiTreeHost host(*this);
    createTreeDocument(*m_session, host);
}

void TfrmVIRedivuv::mniViewDOVAZazeClick() {
    GuiTreeHost host(*this);
    viewTreeDocument(*m_session, host);
}

void TfrmVIRedivuv::applyProjectOptionsSilently() {
    qw::applyProjectOptionsSilently(*m_session);
    m_optionsChanged = true;
}

void TfrmVIRedivuv::toolsClick(const QStringList& arguments) {
    if (!ProgramRunner::startTools(arguments))
        m_messages.showMessage("The companion program qwrtools could not be started.",
                               MessageKind::Error, MessageButtons::Ok);
}

} // namespace qw
