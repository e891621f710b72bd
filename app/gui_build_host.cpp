#include "app/gui_build_host.h"

#include "app/build_options_dialog.h"
#include "app/link_check_window.h"
#include "app/log_window.h"
#include "app/main_window.h"
#include "app/program_runner.h"
#include "app/progress_window.h"
#include "app/topic_grid.h"
#include "app/wait_loop.h"
#include "lint/project_linter.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>

namespace qw {

Answer GuiBuildHost::showMessage(const std::string& text, MessageKind kind,
                                 MessageButtons buttons) {
    return m_window.m_messages.showMessage(text, kind, buttons);
}
ProgressReporter& GuiBuildHost::progress() {
    return *m_window.m_progress;
}

bool GuiBuildHost::askBuildOptions(CompileOptions& choices, bool& setAsDefault) {
    TfrmCompileOptions dialog(choices, &m_window);
    QObject::connect(&dialog, &TfrmCompileOptions::helpRequested, &m_window, [this] {
        m_window.contextHelp("cmp_create_htmlhelp_options.htm", "fol_cmpcreating_htmlhelp.htm");
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choices = dialog.choices();
    setAsDefault = dialog.setAsDefault();
    return true;
}

void GuiBuildHost::forgetFindings() {
    if (!m_linkCheck)
        return;
    m_linkCheck->setFindings({});
    m_linkCheck->hide();
}

bool GuiBuildHost::checkBeforeGenerating(const CompileOptions& choices) {
    if (!choices.checkLinks)
        return true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<LintFinding> findings;
    try {
        findings = lintSession(*m_window.m_session);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    if (!m_linkCheck) {
        m_linkCheck = new TfrmLinkCheck(&m_window);
        QObject::connect(m_linkCheck, &TfrmLinkCheck::rowActivated, &m_window, [this](int row) {
            if (size_t(row) < m_window.m_session->table().endRow())
                m_window.m_grid->selectCell(row, ColTitle);
        });
    }
    m_linkCheck->setFindings(findings);
    if (findings.empty()) {
        m_linkCheck->hide();
        return true;
    }
    m_linkCheck->show();
    m_linkCheck->raise();
    const size_t errors = errorCount(findings);
    if (errors == 0)
        return true;
    const std::string question = "The link check found " + std::to_string(errors) +
                                 " error(s); they are listed in the Link Check window."
                                 "\r\nCreate the HTMLHelp eDocument anyway?";
    return showMessage(question, MessageKind::Confirmation, MessageButtons::YesNo) == Answer::Yes;
}

void GuiBuildHost::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void GuiBuildHost::setBusyCaption(const std::string& caption) {
    if (caption.empty()) {
        m_window.setWindowTitle(m_savedCaption);
        m_window.setEnabled(true);
        return;
    }
    if (m_window.isEnabled())
        m_savedCaption = m_window.windowTitle();
    m_window.setWindowTitle(QString::fromStdString(caption));
    m_window.setEnabled(false);
    QCoreApplication::processEvents();
}

void GuiBuildHost::processEvents() {
    QCoreApplication::processEvents();
}
void GuiBuildHost::pause(int milliseconds) {
    waitProcessingEvents(milliseconds);
}

void GuiBuildHost::closeHelpViewers() {
    // Only viewers this program started, and only while the process still runs that
    // program: a finished viewer's number may belong to someone else by now.
    for (const Viewer& viewer : m_viewers) {
        QFile cmdline(QString("/proc/%1/cmdline").arg(viewer.pid));
        if (cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().startsWith(viewer.program.toLocal8Bit()))
            ::kill(pid_t(viewer.pid), SIGTERM);
    }
    m_viewers.clear();
}

void GuiBuildHost::optionsBuilt() {
    m_window.m_optionsChanged = false;
}

bool GuiBuildHost::editContents(const std::string& contentsPath) {
    const std::string editor = m_window.m_session->environment().htmlEditorPath;
    return ProgramRunner::run(QString::fromStdString(editor).trimmed(),
                              {QString::fromStdString(contentsPath)}, true);
}

void GuiBuildHost::showLog(const std::string& logPath) {
    TfrmLogWindow log(&m_window);
    log.loadFile(QString::fromStdString(logPath));
    log.exec();
}

namespace {

/// The CHM viewers to try: the one QUIREW_CHM_VIEWER names when it is set (none when it is
/// set empty: the desktop's handler then opens the document), else xchm and kchmviewer as
/// found on PATH.
QStringList chmViewers() {
    if (qEnvironmentVariableIsSet("QUIREW_CHM_VIEWER")) {
        const QString chosen = qEnvironmentVariable("QUIREW_CHM_VIEWER").trimmed();
        return chosen.isEmpty() ? QStringList() : QStringList{chosen};
    }
    QStringList found;
    for (const char* name : {"xchm", "kchmviewer"})
        if (const QString program = QStandardPaths::findExecutable(name); !program.isEmpty())
            found << program;
    return found;
}

} // namespace

bool GuiBuildHost::viewDocument(const std::string& chmPath) {
    const QString document = QString::fromStdString(chmPath);
    if (!QFileInfo(document).isFile())
        return false;
    // A viewer this program starts itself can be closed again before the next build.
    for (const QString& program : chmViewers()) {
        Launch launch{Launch::Run, program, {document}, {}, false};
        if (auto answer = ProgramRunner::observe(launch))
            return *answer;
        qint64 pid = 0;
        if (QProcess::startDetached(program, {document}, {}, &pid)) {
            m_viewers.push_back({program, pid});
            return true;
        }
    }
    return ProgramRunner::shellOpen(document, QFileInfo(document).path());
}

void GuiBuildHost::showCheckFinding(const std::string& message, size_t row, int column) {
    m_window.m_grid->selectCell(int(row), column);
    showMessage(message, MessageKind::Warning, MessageButtons::Ok);
}

void GuiBuildHost::raiseWindow() {
    m_window.raise();
    m_window.activateWindow();
}

} // namespace qw
