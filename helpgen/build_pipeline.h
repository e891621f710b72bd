#pragma once

#include "core/configuration.h"
#include "core/messages.h"

#include <string>
#include <vector>

namespace qw {

class ProgressReporter;
class ProjectSession;

/// What the build needs from the program that runs it: questions, the build options
/// dialog, the progress window, the busy cursor and caption, waiting while the program
/// stays responsive, and the viewers. The main window implements it with widgets, the
/// command-line program on the console, tests with fakes that record every call.
class BuildHost : public Messenger {
public:
    /// The progress window for the generation steps.
    virtual ProgressReporter& progress() = 0;
    /// Shows "Create HTMLHelp eDocument Options" with choices ticked; false on Cancel.
    /// On OK the dialog has updated choices and says whether "Set Options As Default"
    /// was ticked.
    virtual bool askBuildOptions(CompileOptions& choices, bool& setAsDefault) = 0;
    /// Runs after the build options were chosen, before anything is written: false stops
    /// the build as cancelled (the program's link check found errors and the author chose
    /// not to build).
    virtual bool checkBeforeGenerating(const CompileOptions& /*choices*/) { return true; }
    /// Hourglass cursor on or off.
    virtual void setBusy(bool /*busy*/) {}
    /// The main window's caption while a child program runs; empty restores the old one.
    /// The window is disabled while a busy caption is shown.
    virtual void setBusyCaption(const std::string& /*caption*/) {}
    /// Called about every 10 ms while a child program runs, and by pause().
    virtual void processEvents() {}
    /// Waits the given time while the program stays responsive.
    virtual void pause(int /*milliseconds*/) {}
    /// Closes the help viewers the program opened itself.
    virtual void closeHelpViewers() {}
    /// The project's options now count as built (clears the main window's mark).
    virtual void optionsBuilt() {}
    /// Opens the contents file for editing and waits until the editor ends; false when
    /// no editor could be started.
    virtual bool editContents(const std::string& /*contentsPath*/) { return false; }
    /// Shows the compiler's log and waits until the author closes it.
    virtual void showLog(const std::string& /*logPath*/) {}
    /// Opens the compiled document in the help viewer; false when that failed.
    virtual bool viewDocument(const std::string& /*chmPath*/) { return false; }
    /// The project check refused the project: shows the finding (a warning with OK) and
    /// may select the cell at row, column.
    virtual void showCheckFinding(const std::string& message, size_t /*row*/, int /*column*/) {
        showMessage(message, MessageKind::Warning, MessageButtons::Ok);
    }
    /// Brings the program to the foreground after a child program ended.
    virtual void raiseWindow() {}
    /// Opens the compiler's log for reading (not waiting); false when that failed.
    virtual bool openLog(const std::string& /*logPath*/) { return false; }
    /// Asks where to save a copy of the compiled document ("Save HTMLHelp eDocument As");
    /// empty on Cancel.
    virtual std::string askDocumentCopyPath() { return {}; }
};

/// How a build ended.
enum class BuildOutcome {
    Compiled,        ///< the compiler wrote the document
    ProjectWritten,  ///< stopped after the help project file, as asked
    Cancelled,       ///< the author said Cancel to a question
    CompilerMissing, ///< no compiler found: nothing written
    CheckFailed,     ///< the project check found a problem: nothing written
    CompileFailed,   ///< the compiler ran and reported failure, or did not start
};

/// Choices of a run that the program, not the author, makes.
struct BuildRequest {
    /// Run the compiler; false stops after the project file and its file list.
    bool compile = true;
    /// Ask the build options dialog; false takes the stored choices as they are.
    bool askOptions = true;
    /// The navigator font text held in memory while the program runs (empty
    /// until the options dialog has loaded a project); used when the help project file
    /// is written in default mode.
    std::string navigatorFontSpec;
    /// Headless runs: never edit the contents, show the log or view the document,
    /// whatever the stored choices say.
    bool neverView = false;
};

/// What a build did: the outcome, the choices it ran with, the files it wrote and
/// deleted, and the paths of its results.
struct BuildResult {
    BuildOutcome outcome = BuildOutcome::Cancelled;
    CompileOptions choices;
    std::string message;                   ///< the reason when the build failed
    std::vector<std::string> pagesWritten; ///< topic pages of this run, full paths
    std::vector<std::string> deleted;      ///< files removed by the clean-up, full paths
    /// Things the author should know that did not stop the build: characters the
    /// document's code page cannot hold, references to files that do not exist. They are
    /// also appended to the compiler's log.
    std::vector<std::string> warnings;
    std::string chmPath;
    std::string logPath;
    int compilerStatus = -1; ///< the compiler's exit status, -1 when not run
    bool succeeded() const {
        return outcome == BuildOutcome::Compiled || outcome == BuildOutcome::ProjectWritten;
    }
};

/// "Create HTMLHelp eDocument": save prompt, compiler check, project check, build
/// options, support files, pages, index, contents, About page, context IDs, project file
/// and its file list, then compile, clean up and view as chosen. Errors of the file
/// layer propagate as FileError; files already written stay.
BuildResult createHelpDocument(ProjectSession& session, BuildHost& host,
                               const BuildRequest& request = {});

/// "View HTMLHelp eDocument": asks to rebuild when the project or its options changed
/// (optionsChanged); returns true when the author chose to rebuild instead (the caller
/// then runs createHelpDocument), false when the document was opened or reported missing.
bool viewHelpDocument(ProjectSession& session, BuildHost& host, bool optionsChanged);

/// "View HTMLHelp Creation Log": opens "<base>_log.txt" or reports that there is none.
void viewHelpLog(ProjectSession& session, BuildHost& host);

/// "Save HTMLHelp eDocument As": copies "<base>.chm" to the path the author picks;
/// reports a missing document. Returns the path written, empty when nothing was.
/// Throws FileError when the copy cannot be written.
std::string saveHelpDocumentAs(ProjectSession& session, BuildHost& host);

/// The message shown when no compiler can be found.
std::string compilerNotSetMessage();

} // namespace qw
