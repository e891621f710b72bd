#pragma once

#include "core/messages.h"
#include "treegen/tree_options.h"

#include <filesystem>
#include <string>
#include <vector>

namespace qw {

class OutputGuard;
class ProgressReporter;
class ProjectSession;

/// What the tree commands need from the program that runs them: questions, the options
/// dialog, the progress window, the busy cursor, the browser and the beep. The main
/// window implements it with widgets, the command-line program on the console, tests
/// with fakes that record every call.
class TreeHost : public Messenger {
public:
    virtual ProgressReporter& progress() = 0;
    /// Shows "DOVAZaze Options" filled with options; true when the author chose Create,
    /// with options holding the dialog's values.
    virtual bool askTreeOptions(TreeOptions& options) = 0;
    /// Opens a page in the author's browser.
    virtual void viewInBrowser(const std::filesystem::path& /*page*/) {}
    /// Hourglass cursor on or off.
    virtual void setBusy(bool /*busy*/) {}
    /// Lets pending window messages run.
    virtual void processEvents() {}
    /// The sound of a silent copy that failed.
    virtual void beep() {}
    /// The project check refused the project: shows the finding (a warning with OK).
    virtual void showCheckFinding(const std::string& message, size_t /*row*/, int /*column*/) {
        showMessage(message, MessageKind::Warning, MessageButtons::Ok);
    }
};

enum class TreeOutcome {
    Created,         ///< the tree was written
    Cancelled,       ///< Cancel at the save prompt or in the options dialog
    CheckFailed,     ///< the project check found a problem: nothing written
    TemplateMissing, ///< the template file is missing: pages written, no tree
    TreeFileFailed,  ///< contents.htm or the tree file could not be written (reported)
};

struct TreeResult {
    TreeOutcome outcome = TreeOutcome::Cancelled;
    TreeOptions options;                      ///< the options the run used
    std::filesystem::path indexPath;          ///< project directory + "index.htm"
    std::vector<std::filesystem::path> pages; ///< topic pages written
    std::vector<std::filesystem::path> treeFiles;
    std::string message; ///< the reason when no tree was written
    int copyFailures = 0; ///< icon and template files that could not be copied (a beep each)
    bool succeeded() const { return outcome == TreeOutcome::Created; }
};

/// "Create DOVAZaze eDocument": save prompt, project check, options dialog, a check that
/// every file to be written may be (see OutputGuard), then under the progress window
/// support files, the help project file when missing, every topic page without keyword
/// objects, the About page and the tree of the chosen format; the options are saved into
/// the project file and the result is viewed when asked. The project lock is held for the
/// whole run. Errors of the file layer propagate as FileError; the options are then not
/// saved and files already written stay.
TreeResult createTreeDocument(ProjectSession& session, TreeHost& host);

/// Writes the tree of the options' format with pages, About page and support files
/// already in place (step four of the create command), through guard when given.
/// Throws FileError.
TreeResult generateTree(ProjectSession& session, TreeHost& host, const TreeOptions& options,
                        OutputGuard* guard = nullptr);

/// "View DOVAZaze eDocument": opens "index.htm" of the project directory (any case) in
/// the browser; false after telling the author when there is none.
bool viewTreeDocument(const ProjectSession& session, TreeHost& host);

/// The message for a template that is not installed.
std::string missingTemplateMessage(std::string_view templateName);

} // namespace qw
