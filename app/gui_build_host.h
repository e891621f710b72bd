#pragma once

#include "helpgen/build_pipeline.h"

#include <QPointer>
#include <QString>

#include <vector>

namespace qw {

class TfrmLinkCheck;
class TfrmVIRedivuv;

/// The build's questions, options dialog, progress, waiting and viewers, shown by the
/// main window.
class GuiBuildHost : public BuildHost {
public:
    explicit GuiBuildHost(TfrmVIRedivuv& window) : m_window(window) {}

    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override;
    ProgressReporter& progress() override;
    bool askBuildOptions(CompileOptions& choices, bool& setAsDefault) override;
    /// With "Check Links" ticked: checks the project, lists the findings in the link check
    /// window (a double-click selects the topic's row) and, when there are errors, asks
    /// whether to build anyway.
    bool checkBeforeGenerating(const CompileOptions& choices) override;
    /// Empties and hides the link check window: its rows belong to the project it checked.
    void forgetFindings();
    void setBusy(bool busy) override;
    void setBusyCaption(const std::string& caption) override;
    void processEvents() override;
    void pause(int milliseconds) override;
    /// Closes the CHM viewers this program started itself.
    void closeHelpViewers() override;
    void optionsBuilt() override;
    bool editContents(const std::string& contentsPath) override;
    void showLog(const std::string& logPath) override;
    /// The CHM viewer named by QUIREW_CHM_VIEWER when it is set (set empty: none), else one
    /// found on PATH (xchm, kchmviewer); without one, or when it does not start, the
    /// desktop's handler.
    bool viewDocument(const std::string& chmPath) override;
    void showCheckFinding(const std::string& message, size_t row, int column) override;
    void raiseWindow() override;

private:
    TfrmVIRedivuv& m_window;
    QString m_savedCaption;
    QPointer<TfrmLinkCheck> m_linkCheck;
    struct Viewer {
        QString program;
        qint64 pid;
    };
    std::vector<Viewer> m_viewers;
};

} // namespace qw
