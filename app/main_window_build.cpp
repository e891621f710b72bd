// Create HTMLHelp eDocument from the window, and the commands that view its results.
#include "app/main_window.h"

#include "app/gui_build_host.h"
#include "app/gui_session_host.h"

#include "app/file_dialogs.h"
#include "app/log_window.h"
#include "app/program_runner.h"
#include "app/progress_window.h"
#include "app/topic_grid.h"
#include "core/file_io.h"
#include "helpgen/build_pipeline.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace qw {

// Defined here, where the build host is a complete type.
TfrmVIRedivuv::~TfrmVIRedivuv() {
    // The grid follows the session's table; it must go before the session does.
    delete m_grid;
    m_grid = nullptr;
}

void TfrmVIRedivuv::runBuild() {
    if (!m_buildHost)
        m_buildHost = std::make_unique<GuiBuildHost>(*this);
    struct Restore {
        TfrmVIRedivuv& window;
        QString caption;
        ~Restore() {
            // An error part-way must not leave the window disabled or the bar showing.
            window.setEnabled(true);
            window.setWindowTitle(caption);
            if (window.m_progress->isVisible() && !window.m_progress->hasErrors())
                window.m_progress->finish(0);
        }
    } restore{*this, windowTitle()};
    const BuildResult result = createHelpDocument(*m_session, *m_buildHost);
    if (result.outcome == BuildOutcome::CompileFailed && !result.choices.viewLog)
        m_messages.showMessage("The HTMLHelp eDocument could not be created.\r\nSee the "
                               "HTMLHelp Creation Log for the compiler's messages.",
                               MessageKind::Error, MessageButtons::Ok);
}

void TfrmVIRedivuv::mniCompileClick() {
    runBuild();
}

void TfrmVIRedivuv::mniViewCHMClick() {
    if (!m_buildHost)
        m_buildHost = std::make_unique<GuiBuildHost>(*this);
    if (viewHelpDocument(*m_session, *m_buildHost, m_optionsChanged))
        runBuild();
}

void TfrmVIRedivuv::mniViewLogClick() {
    const QString log = QString::fromStdString(m_session->basePath() + "_log.txt");
    if (!QFileInfo(log).isFile()) {
        m_messages.showMessage(
            "No 'HTML Help' log file exists, please create HTMLHelp eDocument first.",
            MessageKind::Information, MessageButtons::Ok);
        return;
    }
    TfrmLogWindow window(this);
    window.loadFile(log);
    window.exec();
}

void TfrmVIRedivuv::mniSaveHTMLHelpFileAsClick() {
    const QString chm = QString::fromStdString(m_session->basePath() + ".chm");
    if (!QFileInfo(chm).isFile()) {
        m_messages.showMessage(
            "No HTML Help file found.\r\nPlease create HTMLHelp eDocument first.",
            MessageKind::Information, MessageButtons::Ok);
        return;
    }
    const QString target = FileDialogs::chooseOne(
        this, {FileRequest::Save, "Save HTMLHelp eDocument As",
               QString::fromStdString(m_dataDir.string()), "HTMLHelp eDocument (*.chm)", "chm"});
    if (target.isEmpty() ||
        QFileInfo(target).absoluteFilePath() == QFileInfo(chm).absoluteFilePath())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The copy goes beside the target first, so a failed copy never destroys an old file.
    const QString partial = target + ".part";
    QFile::remove(partial);
    bool copied = QFile::copy(chm, partial);
    if (copied) {
        QFile::remove(target);
        copied = QFile::rename(partial, target);
    }
    QFile::remove(partial);
    QApplication::restoreOverrideCursor();
    if (!copied)
        throw FileError("Unable to write to " + target.toStdString());
}

void TfrmVIRedivuv::forgetFindings() {
    if (m_buildHost)
        m_buildHost->forgetFindings();
}

} // namespace qw
