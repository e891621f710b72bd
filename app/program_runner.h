#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace qw {

/// One program start as the main program asks for it.
struct Launch {
    enum Kind { Run, ShellOpen };
    Kind kind = Run;
    QString program; ///< the program, or the document for ShellOpen
    QStringList arguments;
    QString workingFolder;
    bool wait = false;
};

/// Starting programs and documents: always an argument vector, never a shell string, so
/// paths with blanks, quotes or "$" pass intact.
class ProgramRunner {
public:
    /// Starts the program; with wait, polls it every 10 ms and handles window events in
    /// between until it ends. Returns whether it started.
    static bool run(const QString& program, const QStringList& arguments, bool wait,
                    const QString& workingFolder = {});
    /// Opens a document with the desktop's handler; false when there is none or the
    /// document does not exist.
    static bool shellOpen(const QString& document, const QString& workingFolder = {});
    /// The author's browser (HTMLBrowserPath) when set, else the desktop's handler.
    static bool viewInBrowser(const std::string& browserPath, const QString& file);

    /// The companion tools program beside this one (or on PATH); empty when missing.
    static QString toolsProgram();
    /// Starts the tools program with the given mode arguments; false when missing.
    static bool startTools(const QStringList& arguments);
    /// The per-user local socket on which a toolbar of the tools program listens.
    static QString toolSocketName(const QString& windowTitle);
    /// True when a toolbar with that title runs (its socket answers).
    static bool isToolRunning(const QString& windowTitle);
    /// Asks a running toolbar to close, as if the author closed it; nothing when none runs.
    static void sendCloseRequest(const QString& windowTitle);

    /// Tests see every start here first; returning a value answers the start without
    /// running anything, nullopt lets it run for real.
    using Observer = std::function<std::optional<bool>(const Launch&)>;
    static void setTestObserver(Observer observer);
    /// Shows a start to the test observer; nullopt when there is none or it lets it run.
    static std::optional<bool> observe(const Launch& launch);
};

} // namespace qw
