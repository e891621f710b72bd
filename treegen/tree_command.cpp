#include "treegen/tree_command.h"

#include "core/configuration.h"

#include "core/file_io.h"
#include "core/file_names.h"
#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_session.h"
#include "core/text_util.h"
#include "helpgen/about_page.h"
#include "helpgen/help_project.h"
#include "helpgen/page_generator.h"
#include "helpgen/support_files.h"
#include "treegen/standard_tree.h"
#include "treegen/template_tree.h"

namespace qw {

namespace fs = std::filesystem;

namespace {

/// Keeps the hourglass for the life of the generation, also when a write fails.
class BusyCursor {
public:
    explicit BusyCursor(TreeHost& host) : m_host(host) { m_host.setBusy(true); }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void release() {
        if (m_busy)
            m_host.setBusy(false);
        m_busy = false;
    }

private:
    TreeHost& m_host;
    bool m_busy = true;
};

void writeHelpProjectWhenMissing(ProjectSession& session) {
    const std::string helpProject = helpProjectBase(session.projectPath()) + ".hhp";
    if (fileExists(helpProject))
        return;
    const IniFile project(session.projectPath());
    writeHelpProjectDefault(project, session.settings().titleBarText, "",
                            session.settings().createContextIds);
}

} // namespace

std::string missingTemplateMessage(std::string_view templateName) {
    return "Cannot find required file, '" + std::string(templateName) +
           "'.\r\nReinstall HTMLHelp Quirewright to restore this file.";
}

TreeResult generateTree(ProjectSession& session, TreeHost& host, const TreeOptions& options) {
    TreeResult result;
    result.options = options;
    const fs::path projectDir = session.projectDir();
    result.indexPath = projectDir / "index.htm";
    session.markRoles();
    const TreeContext context{session.table(),
                              session.settings(),
                              FileNameOptions::from(session.environment()),
                              options,
                              TreeValues::derive(options, projectDir, session.dataDir()),
                              [&host] { host.beep(); }};
    if (options.format == TreeFormat::Standard) {
        result.treeFiles = StandardTreeWriter(context).write();
        result.outcome = TreeOutcome::Created;
        return result;
    }
    const std::string name(templateName(options.format));
    const fs::path templatePath = context.values.templateDir / name;
    if (!fileExists(templatePath)) {
        result.outcome = TreeOutcome::TemplateMissing;
        result.message = missingTemplateMessage(name);
        host.showMessage(result.message, MessageKind::Error, MessageButtons::Ok);
        return result;
    }
    TemplateTreeResult written = TemplateTreeWriter(context, host, templatePath).write();
    result.treeFiles = std::move(written.written);
    result.message = written.error;
    result.outcome = written.error.empty() ? TreeOutcome::Created : TreeOutcome::TreeFileFailed;
    return result;
}

TreeResult createTreeDocument(ProjectSession& session, TreeHost& host) {
    requireSupportFiles(session.dataDir());
    TreeResult stopped;
    if (!session.askToSave("Save Changes to Project before creating DOVAZaze eDocument?", true))
        return stopped;
    const CheckFinding finding =
        checkProject(session.table(), FileNameOptions::from(session.environment()));
    if (!finding.ok) {
        host.showCheckFinding(finding.message, finding.row, finding.column);
        stopped.outcome = TreeOutcome::CheckFailed;
        stopped.message = finding.message;
        return stopped;
    }
    TreeOptions options = TreeOptions::read(IniFile(session.projectPath()));
    if (!host.askTreeOptions(options))
        return stopped;

    BusyCursor busy(host);
    ProgressReporter& progress = host.progress();
    progress.begin("Creating HTML Tree. Please Wait...", 4, true);
    const fs::path projectDir = session.projectDir();
    copySupportFiles(projectDir, session.dataDir(), session.settings().useStyleSheet,
                     session.environment().searchForEffects);
    writeHelpProjectWhenMissing(session);
    progress.step();

    const PageContext pages{session.table(), session.settings(), session.environment(),
                            session.dataDir(), false};
    std::vector<fs::path> written = generateTopicPages(pages);
    progress.step();
    writeAboutPage(projectDir, session.dataDir());
    progress.step();
    TreeResult result = generateTree(session, host, options);
    result.pages = std::move(written);
    progress.step();

    busy.release();
    host.processEvents();
    IniFile project(session.projectPath());
    options.write(project);
    if (options.viewWhenCreated)
        viewTreeDocument(session, host);
    return result;
}

bool viewTreeDocument(const ProjectSession& session, TreeHost& host) {
    std::error_code ec;
    for (fs::directory_iterator it(session.projectDir(), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (equalsNoCase(it->path().filename().string(), "index.htm") && it->is_regular_file()) {
            host.viewInBrowser(it->path());
            return true;
        }
    }
    host.showMessage("DOVAZaze 'Index' file cannot be found.\r\nPlease create DOVAZaze first.",
                     MessageKind::Information, MessageButtons::Ok);
    return false;
}

} // namespace qw
