#include "helpgen/build_pipeline.h"

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
#include "helpgen/compiled_document.h"
#include "helpgen/compiler.h"
#include "helpgen/contents_file.h"
#include "helpgen/help_project.h"
#include "helpgen/output_check.h"
#include "helpgen/page_generator.h"
#include "helpgen/support_files.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace qw {

namespace {

/// Everything one run wrote that the clean-up may take away again.
struct Intermediates {
    std::vector<std::string> pages; ///< full paths
    std::vector<fs::path> supportFiles;
    fs::path aboutPage;
    std::vector<std::string> warnings;
};

/// Keeps the progress window and the cursor right when generation ends early.
class BusyScope {
public:
    explicit BusyScope(BuildHost& host) : m_host(host) { m_host.setBusy(true); }
    ~BusyScope() {
        if (m_active)
            end(0);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    void end(int pauseMs) {
        m_active = false;
        m_host.progress().finish(pauseMs);
        m_host.setBusy(false);
    }

private:
    BuildHost& m_host;
    bool m_active = true;
};

/// The files named after the project that are written whole beside their old copy and
/// then put in its place: both names must be plain files of the project.
std::vector<fs::path> rewrittenFiles(const std::string& path) {
    return {path, path + ".qw-new"};
}

/// Checks a file of the project that is written beside its old copy and renamed over it.
void checkRewrite(const OutputGuard& guard, const std::string& path) {
    for (const fs::path& file : rewrittenFiles(path))
        guard.check(file, Replace::Named);
}

/// Every file of the run besides the topic pages, and what it may replace: the About page
/// and the logo only the program's own files, the rest (named after the project) any plain
/// file that is no chapter and no link.
std::vector<PlannedOutput> plannedOutputs(const ProjectSession& session, bool compile) {
    const fs::path dir = session.projectDir();
    const std::string base = session.basePath();
    std::vector<PlannedOutput> files = {
        {dir / "aboutjmp.htm", Replace::Own},
        {dir / "quirew.gif", Replace::Own, session.dataDir() / "quirew.gif"}};
    std::vector<std::string> rewritten = {base + "_indx.hhk", base + "_toc.hhc", base + ".hhp"};
    if (session.settings().createContextIds)
        for (const char* extension : {".ali", ".h", ".pas"})
            rewritten.push_back(base + extension);
    for (const std::string& path : rewritten)
        for (const fs::path& file : rewrittenFiles(path))
            files.push_back({file, Replace::Named});
    if (compile)
        for (const char* suffix : {".chm", "_log.txt"})
            files.push_back({base + suffix, Replace::Named});
    return files;
}

BuildResult stopped(BuildOutcome outcome, std::string message = {}) {
    BuildResult result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

/// The additional files, and the About page when it is not among them: the window's
/// About button and the contents' About entry open it, and a compiler that takes only
/// listed and linked files would otherwise leave it out of the document.
std::vector<std::string> filesBesideTopics(const ProjectSession& session,
                                           const fs::path& aboutPage) {
    std::vector<std::string> files = session.settings().additionalFiles;
    if (aboutPage.empty())
        return files;
    const std::string name = aboutPage.filename().string();
    for (const std::string& file : files)
        if (equalsNoCase(toSlashes(file), name))
            return files;
    files.push_back(name);
    return files;
}

/// Steps 1 to 4 of the run: writes pages, index, contents, About page, IDs and project.
Intermediates generateFiles(ProjectSession& session, BuildHost& host, const BuildRequest& request,
                            const HelpCompiler& compiler, OutputGuard& guard) {
    // chmcmd builds its index only from the index file, never from the pages.
    const bool fullIndex = compiler.kind != HelpCompiler::Kind::Workshop;
    Intermediates made;
    const std::string base = session.basePath();
    ProgressReporter& progress = host.progress();

    CompiledPageFixes fixes = compiledPageFixes(session.projectDir(), base, session.projectPath(),
                                                compiler.kind == HelpCompiler::Kind::Chmcmd);
    fixes.references().setListed(listedPages(session.table()));
    PageContext context{session.table(), session.settings(), session.environment(),
                        session.dataDir(), true};
    context.compiledPages = &fixes;
    made.pages = generateTopicPages(context, &guard);
    progress.step();

    checkRewrite(guard, base + "_indx.hhk");
    writeIndexFile(session.table(), base + "_indx.hhk", fullIndex);
    adaptIndexFile(compiler, base + "_indx.hhk");
    progress.step();

    session.markRoles();
    checkRewrite(guard, base + "_toc.hhc");
    writeContentsFile(session.table(), session.settings(), base + "_toc.hhc");
    for (const fs::path& file : writeAboutPage(guard, session.dataDir()))
        if (file.extension() != ".gif")
            made.aboutPage = file;
    progress.step();

    if (session.settings().createContextIds) {
        for (const char* extension : {".ali", ".h", ".pas"})
            checkRewrite(guard, base + extension);
        writeContextIdFiles(base, session.table());
    }
    const std::string helpProject = base + ".hhp";
    checkRewrite(guard, helpProject);
    if (!fileExists(helpProject)) {
        const IniFile project(session.projectPath());
        writeHelpProjectDefault(project, session.settings().titleBarText, request.navigatorFontSpec,
                                session.settings().createContextIds);
    }
    updateFileList(helpProject, session.table(),
                   filesToList(session.table(), filesBesideTopics(session, made.aboutPage),
                               fixes.references()));
    made.warnings = finishHelpFiles(base, session.table(), session.settings(), fixes);
    progress.step();
    return made;
}

/// Deletes what this run wrote: its pages, the About page, the index and contents
/// files, the support files it copied, and the preview's page when it is the program's
/// own. Every deletion goes through the guard, so never a chapter, a file the program did
/// not write or anything outside the project directory. Tries every file, then throws
/// FileError naming the first that could not be deleted.
std::vector<std::string> cleanUp(const ProjectSession& session, const Intermediates& made,
                                 OutputGuard& guard) {
    const fs::path projectDir = session.projectDir();
    const std::string base = session.basePath();
    std::vector<std::pair<fs::path, Replace>> doomed;
    for (const std::string& page : made.pages)
        doomed.emplace_back(page, Replace::Own);
    if (!made.aboutPage.empty())
        doomed.emplace_back(made.aboutPage, Replace::Own);
    doomed.emplace_back(base + "_indx.hhk", Replace::Named);
    doomed.emplace_back(base + "_toc.hhc", Replace::Named);
    // Left by other commands: only what the program wrote itself goes.
    for (const char* name : {"TempCont.htm", "TempFram.htm", "TmpTopic.htm"})
        if (guard.isOwn(projectDir / name))
            doomed.emplace_back(projectDir / name, Replace::Own);
    for (const fs::path& file : made.supportFiles)
        doomed.emplace_back(file, Replace::Own);

    std::vector<std::string> deleted;
    std::string firstFailure;
    size_t failures = 0;
    for (const auto& [path, how] : doomed) {
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(path, ec)))
            continue;
        try {
            guard.remove(path, how);
            deleted.push_back(path.string());
        } catch (const FileError& error) {
            if (failures++ == 0)
                firstFailure = error.what();
        }
    }
    if (failures > 1)
        firstFailure += " (and " + std::to_string(failures - 1) + " more)";
    if (failures > 0)
        throw FileError(firstFailure);
    return deleted;
}

/// Runs a child program under a caption that names it, then puts the window back.
template <typename Run> void underCaption(BuildHost& host, const std::string& caption, Run run) {
    host.setBusyCaption(caption);
    run();
    host.setBusyCaption("");
    host.raiseWindow();
}

void compileAndFinish(ProjectSession& session, BuildHost& host, const HelpCompiler& compiler,
                      const Intermediates& made, BuildResult& result, OutputGuard& guard) {
    const std::string base = session.basePath();
    const CompileOptions& choices = result.choices;
    if (choices.editContents)
        underCaption(host,
                     "HTMLHelp Quirewright is DISABLED while editing Contents Tree. Close "
                     "HTMLHelp Workshop to continue.",
                     [&] { host.editContents(base + "_toc.hhc"); });
    // The compiler writes both files in place: never through a link or over a chapter.
    guard.check(result.chmPath, Replace::Named);
    guard.check(result.logPath, Replace::Named);
    CompileResult compiled;
    underCaption(
        host, "HTMLHelp Quirewright is DISABLED while Compiling the Project. Please Wait...", [&] {
            // The built-in compiler reports its steps in the progress window.
            const bool builtIn = compiler.kind == HelpCompiler::Kind::BuiltIn;
            if (builtIn)
                host.progress().begin("Compiling HTMLHelp eDocument. Please Wait...", 3, true);
            int steps = 0;
            compiled = compileHelpProject(
                compiler, base, [&] { host.processEvents(); },
                [&](const std::string&) {
                    if (steps++ > 0)
                        host.progress().step();
                    host.processEvents();
                });
            if (builtIn) {
                host.progress().step();
                host.progress().finish(0);
            }
            host.processEvents();
        });
    result.compilerStatus = compiled.exitCode;
    // chmcmd may write a directory that enumerating readers see only in part.
    const std::string unsound = compiled.succeeded() ? checkCompiledDocument(base) : "";
    appendWarningsToLog(result.logPath, result.warnings, unsound);
    if (choices.cleanUpFiles) {
        host.setBusy(true);
        struct NotBusy {
            BuildHost& host;
            ~NotBusy() { host.setBusy(false); }
        } notBusy{host};
        result.deleted = cleanUp(session, made, guard);
    }
    if (choices.viewLog)
        underCaption(host,
                     "HTMLHelp Quirewright is DISABLED while viewing Compile Log. Close Notepad "
                     "to continue.",
                     [&] { host.showLog(result.logPath); });
    if (choices.viewChm && compiled.succeeded() && unsound.empty())
        host.viewDocument(result.chmPath);
    if (compiled.succeeded() && unsound.empty()) {
        result.outcome = BuildOutcome::Compiled;
        return;
    }
    result.outcome = BuildOutcome::CompileFailed;
    result.message = !unsound.empty() ? unsound
                     : !compiled.started
                         ? "The help compiler could not be started: " + compiled.error
                         : "The help compiler reported a failure (exit status " +
                               std::to_string(compiled.exitCode) + "); see " + result.logPath;
}

} // namespace

std::string compilerNotSetMessage() {
    return "HTML Help WorkShop Path not Set.\r\nPlease set Path in 'Environment Options'.";
}

BuildResult createHelpDocument(ProjectSession& session, BuildHost& host,
                               const BuildRequest& request) {
    // Without the script, style sheet and effect definitions every page would be wrong.
    requireSupportFiles(session.dataDir());
    if (session.modified()) {
        const Answer answer =
            host.showMessage("Save Changes to Project before creating HTMLHelp eDocument?",
                             MessageKind::Confirmation, MessageButtons::OkCancel);
        if (answer != Answer::Ok)
            return stopped(BuildOutcome::Cancelled);
        session.saveProject(true);
    }
    const HelpCompiler compiler = findHelpCompiler(session.environment().hhWorkShopPath);
    if (request.compile && !compiler.found()) {
        host.showMessage(compilerNotSetMessage(), MessageKind::Error, MessageButtons::Ok);
        return stopped(BuildOutcome::CompilerMissing, compilerNotSetMessage());
    }
    host.setBusy(true);
    const CheckFinding finding =
        checkProject(session.table(), FileNameOptions::from(session.environment()));
    host.setBusy(false);
    if (!finding.ok) {
        host.showCheckFinding(finding.message, finding.row, finding.column);
        return stopped(BuildOutcome::CheckFailed, finding.message);
    }

    BuildResult result;
    result.choices = session.configuration().readCompileOptions();
    bool setAsDefault = false;
    if (request.askOptions && !host.askBuildOptions(result.choices, setAsDefault))
        return stopped(BuildOutcome::Cancelled);
    if (setAsDefault)
        session.configuration().writeCompileOptions(result.choices);
    if (!host.checkBeforeGenerating(result.choices))
        return stopped(BuildOutcome::Cancelled);
    if (request.neverView) {
        result.choices.editContents = false;
        result.choices.viewLog = false;
        result.choices.viewChm = false;
    }
    const std::string base = session.basePath();
    result.chmPath = base + ".chm";
    result.logPath = base + "_log.txt";
    // Held from here to the end: another program saving the chapters meanwhile would give
    // pages cut at the wrong lines. (The save above takes it for itself.)
    const ProjectLock lock(session.projectPath());
    OutputGuard guard(session.table(), session.projectPath());
    const CheckFinding outputs = checkOutputs(
        session.table(), guard, plannedOutputs(session, request.compile), "HTMLHelp eDocument");
    if (!outputs.ok) {
        host.showCheckFinding(outputs.message, outputs.row, outputs.column);
        BuildResult refused = stopped(BuildOutcome::CheckFailed, outputs.message);
        refused.choices = result.choices;
        return refused;
    }
    OutputRecordScope record(guard);

    const std::vector<fs::path> copied =
        copySupportFiles(guard, session.dataDir(), session.settings().useStyleSheet,
                         session.environment().searchForEffects);
    host.optionsBuilt();

    Intermediates made;
    {
        host.progress().begin("Preparing To Create. Please Wait...", 5, false);
        BusyScope busy(host);
        if (result.choices.closeHHeDocs)
            host.closeHelpViewers();
        made = generateFiles(session, host, request, compiler, guard);
        made.supportFiles = copied;
        host.progress().step();
        busy.end(800);
    }
    result.pagesWritten = made.pages;
    result.warnings = made.warnings;
    if (!request.compile) {
        record.save();
        result.outcome = BuildOutcome::ProjectWritten;
        return result;
    }
    compileAndFinish(session, host, compiler, made, result, guard);
    record.save();
    return result;
}

bool viewHelpDocument(ProjectSession& session, BuildHost& host, bool optionsChanged) {
    if (!findHelpCompiler(session.environment().hhWorkShopPath).found()) {
        host.showMessage(compilerNotSetMessage(), MessageKind::Error, MessageButtons::Ok);
        return false;
    }
    if (session.modified() || optionsChanged) {
        const Answer answer =
            host.showMessage("Project has changed.\r\nRecreate HTMLHelp eDocument before viewing?",
                             MessageKind::Confirmation, MessageButtons::YesNo);
        if (answer == Answer::Yes)
            return true;
    }
    const std::string chm = session.basePath() + ".chm";
    if (!fileExists(chm) || !host.viewDocument(chm))
        host.showMessage("No 'HTML Help' file exists, please create HTMLHelp eDocument first.",
                         MessageKind::Information, MessageButtons::Ok);
    return false;
}

void viewHelpLog(ProjectSession& session, BuildHost& host) {
    const std::string log = session.basePath() + "_log.txt";
    if (fileExists(log) && host.openLog(log))
        return;
    host.showMessage("No 'HTML Help' log file exists, please create HTMLHelp eDocument first.",
                     MessageKind::Information, MessageButtons::Ok);
}

std::string saveHelpDocumentAs(ProjectSession& session, BuildHost& host) {
    const std::string chm = session.basePath() + ".chm";
    if (!fileExists(chm)) {
        host.showMessage("No HTML Help file found.\r\nPlease create HTMLHelp eDocument first.",
                         MessageKind::Information, MessageButtons::Ok);
        return {};
    }
    const std::string target = host.askDocumentCopyPath();
    if (target.empty())
        return {};
    std::error_code ec;
    if (fs::equivalent(chm, target, ec))
        return target;
    host.setBusy(true);
    try {
        writeFileBytes(target, readFileBytes(chm));
    } catch (...) {
        host.setBusy(false);
        throw;
    }
    host.setBusy(false);
    return target;
}

} // namespace qw
