#include "treegen/tree_command.h"

#include "core/configuration.h"

#include "core/file_io.h"
#include "core/file_names.h"
#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_lock.h"
#include "core/project_session.h"
#include "core/safe_output.h"
#include "core/text_util.h"
#include "helpgen/about_page.h"
#include "helpgen/help_project.h"
#include "helpgen/output_check.h"
#include "helpgen/page_generator.h"
#include "helpgen/support_files.h"
#include "treegen/standard_tree.h"
#include "treegen/template_tree.h"
#include "treegen/tree_rows.h"
#include "treegen/search_index.h"
#include "treegen/tree_search.h"

#include <memory>

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

void writeHelpProjectWhenMissing(ProjectSession& session, const OutputGuard& guard) {
    const std::string helpProject = helpProjectBase(session.projectPath()) + ".hhp";
    if (fileExists(helpProject))
        return;
    // Written beside its old copy first, then renamed over it.
    guard.check(helpProject, Replace::Named);
    guard.check(helpProject + ".qw-new", Replace::Named);
    const IniFile project(session.projectPath());
    writeHelpProjectDefault(project, session.settings().titleBarText, "",
                            session.settings().createContextIds);
}

/// The furniture of the standard tree's own pages, by which the guard knows them also
/// from before the record of written files: the contents pages begin with the link style
/// block, and the frame set ends with its no-frames link.
void addTreeMarks(OutputGuard& guard) {
    for (const bool style1 : {true, false}) {
        TreeOptions options;
        options.style1 = style1;
        const TreeValues values = TreeValues::derive(options, {}, {});
        guard.addMark("<HTML><HEAD>\r\n" + values.linkStyleBlock + "\r\n",
                      "<TITLE>Contents</TITLE></HEAD>");
    }
    guard.addMark(kSearchIndexMark);
    guard.addMark("<HTML><HEAD><TITLE>",
                  "expand.htm\">No Frames- Click here for contents</A></BODY></NOFRAMES></HTML>");
}

/// The search index and the scripts the search needs, where a tree with a search box
/// writes them.
void addSearchFiles(std::vector<PlannedOutput>& files, const TreeValues& values) {
    const fs::path shared = values.dataDir / "TScripts" / "Shared";
    files.push_back({values.treeDir / kSearchIndexFile, Replace::Own});
    files.push_back({values.treeDir / kSearchScript, Replace::Own, shared / kSearchScript});
    files.push_back({values.treeDir / kFrameScript, Replace::Own, shared / kFrameScript});
    files.push_back(
        {values.projectDir / kFindScript, Replace::Own, values.dataDir / "xFiles" / kFindScript});
}

/// The files of the tree that the check before writing can name: the About page and its
/// logo, index.htm, and the contents pages of the standard format or the contents page and
/// tree file a template asks for. Icons and a template's support files are checked as
/// they are copied.
std::vector<PlannedOutput> plannedTreeFiles(const ProjectSession& session,
                                            const TreeOptions& options) {
    const fs::path projectDir = session.projectDir();
    const TreeValues values = TreeValues::derive(options, projectDir, session.dataDir());
    std::vector<PlannedOutput> files = {
        {projectDir / "aboutjmp.htm", Replace::Own},
        {projectDir / "quirew.gif", Replace::Own, session.dataDir() / "quirew.gif"}};
    if (options.format != TreeFormat::Standard) {
        const fs::path templatePath =
            values.templateDir / std::string(templateName(options.format));
        if (!fileExists(templatePath))
            return files;
        // A template's files carry no mark of their own: here only chapters, links and
        // folders are refused; whether an existing file is the program's own (recorded, or
        // holding the very bytes to be written) is asked as it is written.
        const IniFile templateFile(templatePath);
        const TreeTemplateSettings settings = TreeTemplateSettings::read(templateFile);
        if (templateHasSearchBox(templateFile))
            addSearchFiles(files, values);
        if (settings.createIndex)
            files.push_back({projectDir / "index.htm", Replace::Named});
        if (settings.createContents)
            files.push_back({values.treeDir / "contents.htm", Replace::Named});
        if (settings.createTreeFile)
            files.push_back({values.treeDir / toSlashes(settings.treeFileName), Replace::Named});
        return files;
    }
    addSearchFiles(files, values);
    files.push_back({projectDir / "index.htm", Replace::Own});
    for (const char* name : {"unexpand.htm", "expand.htm"})
        files.push_back({values.treeDir / name, Replace::Own});
    for (const std::string& name :
         chapterPageNames(session.table(), FileNameOptions::from(session.environment())))
        files.push_back({values.treeDir / name, Replace::Own});
    return files;
}

/// The search index and the scripts of the search box, the fold button and the marking
/// of found words.
void addSearch(const TreeContext& context, OutputGuard& guard, TreeResult& result) {
    copySearchScripts(context, guard);
    writeSearchIndex(context, guard);
    result.treeFiles.push_back(context.values.treeDir / kSearchIndexFile);
}

} // namespace

std::string missingTemplateMessage(std::string_view templateName) {
    return "Cannot find required file, '" + std::string(templateName) +
           "'.\r\nReinstall HTMLHelp Quirewright to restore this file.";
}

TreeResult generateTree(ProjectSession& session, TreeHost& host, const TreeOptions& options,
                        OutputGuard* guard) {
    TreeResult result;
    result.options = options;
    const fs::path projectDir = session.projectDir();
    result.indexPath = projectDir / "index.htm";
    session.markRoles();
    TreeContext context{session.table(),
                              session.settings(),
                              FileNameOptions::from(session.environment()),
                              options,
                              TreeValues::derive(options, projectDir, session.dataDir()),
                              [&host, &result] {
                                  host.beep();
                                  ++result.copyFailures;
                              }};
    context.readerAids = true;
    std::unique_ptr<OutputGuard> ownGuard;
    if (guard == nullptr) {
        ownGuard = std::make_unique<OutputGuard>(session.table());
        guard = ownGuard.get();
    }
    if (options.format == TreeFormat::Standard) {
        result.treeFiles = StandardTreeWriter(context, guard).write();
        addSearch(context, *guard, result);
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
    TemplateTreeResult written = TemplateTreeWriter(context, host, templatePath, guard).write();
    result.treeFiles = std::move(written.written);
    result.message = written.error;
    if (written.searchBox && written.error.empty())
        addSearch(context, *guard, result);
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
    // Held from here to the end: another program saving the chapters meanwhile would give
    // pages cut at the wrong lines. (The save above takes it for itself.)
    const ProjectLock lock(session.projectPath());
    OutputGuard guard(session.table(), session.projectPath());
    addTreeMarks(guard);
    const CheckFinding outputs = checkOutputs(
        session.table(), guard, plannedTreeFiles(session, options), "DOVAZaze eDocument");
    if (!outputs.ok) {
        host.showCheckFinding(outputs.message, outputs.row, outputs.column);
        stopped.outcome = TreeOutcome::CheckFailed;
        stopped.message = outputs.message;
        return stopped;
    }
    OutputRecordScope record(guard);

    BusyCursor busy(host);
    ProgressReporter& progress = host.progress();
    progress.begin("Creating HTML Tree. Please Wait...", 4, true);
    copySupportFiles(guard, session.dataDir(), session.settings().useStyleSheet,
                     session.environment().searchForEffects);
    writeHelpProjectWhenMissing(session, guard);
    progress.step();

    PageContext pages{session.table(), session.settings(), session.environment(),
                      session.dataDir(), false};
    pages.readerAids = true;
    const std::vector<std::string> written = generateTopicPages(pages, &guard);
    progress.step();
    writeAboutPage(guard, session.dataDir());
    progress.step();
    TreeResult result = generateTree(session, host, options, &guard);
    result.pages.assign(written.begin(), written.end());
    progress.step();

    record.save();
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
