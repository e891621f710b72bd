#pragma once

#include "treegen/tree_command.h"

namespace qw {

class TfrmVIRedivuv;

/// The browser document's questions, options dialog, progress, cursor and browser, shown
/// by the main window.
class GuiTreeHost : public TreeHost {
public:
    explicit GuiTreeHost(TfrmVIRedivuv& window) : m_window(window) {}

    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override;
    ProgressReporter& progress() override;
    /// "DOVAZaze Options"; its Help button opens the program's help at the dialog's page.
    bool askTreeOptions(TreeOptions& options) override;
    /// The author's browser (HTMLBrowserPath), else the desktop's; a browser that cannot be
    /// started is said.
    void viewInBrowser(const std::filesystem::path& page) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    void beep() override;
    void showCheckFinding(const std::string& message, size_t row, int column) override;

private:
    TfrmVIRedivuv& m_window;
};

} // namespace qw
