#include "app/gui_tree_host.h"

#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/topic_grid.h"
#include "app/tree_options_dialog.h"

#include <QApplication>

namespace qw {

Answer GuiTreeHost::showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) {
    return m_window.messages().showMessage(text, kind, buttons);
}

ProgressReporter& GuiTreeHost::progress() {
    return m_window.progressWindow();
}

bool GuiTreeHost::askTreeOptions(TreeOptions& options) {
    ProjectSession& session = m_window.session();
    TfrmTreeOptions dialog(options, session.projectDir(), session.dataDir().string(),
                           m_window.messages(), &m_window);
    QObject::connect(&dialog, &TfrmTreeOptions::helpRequested, &m_window,
                     &TfrmVIRedivuv::contextHelp);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

void GuiTreeHost::viewInBrowser(const std::filesystem::path& page) {
    m_window.showInBrowser(QString::fromStdString(page.string()));
}

void GuiTreeHost::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void GuiTreeHost::processEvents() {
    QCoreApplication::processEvents();
}

void GuiTreeHost::beep() {
    m_window.messages().beep();
}

void GuiTreeHost::showCheckFinding(const std::string& message, size_t row, int column) {
    m_window.grid().selectCell(int(row), column);
    showMessage(message, MessageKind::Warning, MessageButtons::Ok);
}

} // namespace qw
