// Measures the help build on a synthetic project of 100 chapters x 99 topics: pages,
// contents, index and project files step by step, the whole build sequence without the
// compiler, the compiler run on its own, and peak memory; against cp -r of the pages.
#include "core/configuration.h"
#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_session.h"
#include "helpgen/build_pipeline.h"
#include "helpgen/compiled_document.h"
#include "helpgen/compiler.h"
#include "helpgen/contents_file.h"
#include "helpgen/help_project.h"
#include "helpgen/page_generator.h"
#include "bench_util.h"
#include "synthetic_project.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sys/resource.h>

namespace fs = std::filesystem;
using namespace qw::bench;

namespace {

class QuietHost : public qw::SessionHost, public qw::BuildHost {
public:
    qw::Answer showMessage(const std::string& text, qw::MessageKind, qw::MessageButtons) override {
        std::cerr << text << '\n';
        return qw::Answer::Ok;
    }
    qw::ProgressReporter& progress() override { return m_progress; }
    bool askBuildOptions(qw::CompileOptions& choices, bool&) override {
        choices.cleanUpFiles = false;
        return true;
    }

private:
    qw::RecordingProgress m_progress;
};

} // namespace

int main(int argc, char** argv) {
    const fs::path dir =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "qw-bench-helpgen";
    const fs::path dataDir =
        argc > 2 ? fs::path(argv[2]) : qw::findDataDirectory(fs::read_symlink("/proc/self/exe"));
    fs::remove_all(dir);
    const auto project = qw::bench::writeSyntheticProject(dir / "proj", 100, 99);
    QuietHost host;
    qw::ProjectSession session(host, dataDir, dir / "quirew.cfg");
    session.openProject(project.projectFile.string());
    const long loadedKiB = peakKiB();
    const std::string base = session.basePath();
    qw::TopicTable& table = session.table();

    std::vector<std::string> pages;
    double cpu = cpuSeconds();
    const qw::PageContext context{table, session.settings(), session.environment(), dataDir, true};
    const double tPages = timed([&] { pages = qw::generateTopicPages(context); });
    const double tContents =
        timed([&] { qw::writeContentsFile(table, session.settings(), base + "_toc.hhc"); });
    const double tIndex = timed([&] { qw::writeIndexFile(table, base + "_indx.hhk", true); });
    const double tProject = timed([&] {
        std::string title = session.settings().titleBarText;
        qw::writeHelpProjectDefault(qw::IniFile(session.projectPath()), title, "", false);
        qw::updateFileList(base + ".hhp", table, session.settings().additionalFiles);
        qw::writeContextIdFiles(base, table);
    });
    const double steps = tPages + tContents + tIndex + tProject;
    const double stepsCpu = cpuSeconds() - cpu;
    const long stepsKiB = peakKiB();

    qw::BuildRequest request;
    request.compile = false;
    request.askOptions = true;
    qw::BuildResult result;
    cpu = cpuSeconds();
    const double tSequence =
        timed([&] { result = qw::createHelpDocument(session, host, request); });
    const double sequenceCpu = cpuSeconds() - cpu;
    if (!result.succeeded())
        std::cerr << "build sequence failed: " << result.message << '\n';

    // The same pages on their own, copied by cp -r.
    size_t pageBytes = 0;
    for (const fs::path page : pages) {
        const fs::path target = dir / "pages" / fs::relative(page, dir / "proj");
        fs::create_directories(target.parent_path());
        fs::copy_file(page, target, fs::copy_options::overwrite_existing);
        pageBytes += fs::file_size(page);
    }
    shell("sync");
    const double tCopy =
        shell("cp -r '" + (dir / "pages").string() + "' '" + (dir / "pages-copy").string() + "'");

    // bench_helpgen [DIR [DATA_DIR [--no-compile]]]
    const bool measureCompile = !(argc > 3 && std::string(argv[3]) == "--no-compile");
    const qw::HelpCompiler compiler =
        measureCompile ? qw::findHelpCompiler("") : qw::HelpCompiler{};
    double tCompile = -1;
    qw::CompileResult compile;
    if (compiler.found())
        tCompile = timed([&] { compile = qw::compileHelpProject(compiler, base); });
    const bool compiled = compile.succeeded();
    // The check the build runs after the compiler: directory header and file list.
    double tCheck = -1;
    std::string unsound;
    if (compiled)
        tCheck = timed([&] { unsound = qw::checkCompiledDocument(base); });

    std::printf(
        "project: 100 chapters x 99 topics, %zu pages, %.1f MB of chapters, %.1f MB of pages\n",
        pages.size(), double(project.bytes) / 1048576.0, double(pageBytes) / 1048576.0);
    std::printf("pages            %7.3f s\n", tPages);
    std::printf("contents         %7.3f s\n", tContents);
    std::printf("index (full)     %7.3f s\n", tIndex);
    std::printf("project files    %7.3f s (help project, file list, context IDs)\n", tProject);
    std::printf("steps together   %7.3f s, %.3f s CPU (target <= 1 s)\n", steps, stepsCpu);
    std::printf("build sequence   %7.3f s, %.3f s CPU (check, support files, all steps, pages "
                "overwritten)\n",
                tSequence, sequenceCpu);
    std::printf("cp -r of pages   %7.3f s (ratio %.2f, target <= 3)\n", tCopy, tSequence / tCopy);
    if (compiler.found())
        std::printf("compile          %7.3f s (%s, %s)\n", tCompile, compiler.program.c_str(),
                    compiled ? "document written" : "FAILED");
    else
        std::printf("compile          not measured\n");
    if (tCheck >= 0)
        std::printf("document check   %7.3f s (%s)\n", tCheck,
                    unsound.empty() ? "sound" : unsound.c_str());
    std::printf(
        "peak memory      %ld KiB after loading, %ld KiB after the steps, %ld KiB at the end\n",
        loadedKiB, stepsKiB, peakKiB());
    if (compiler.found() && !compiled) {
        std::printf("compiler exit status %d, document %s; files kept in %s\n", compile.exitCode,
                    compile.documentWritten ? "written" : "not written", dir.c_str());
        return 1;
    }
    fs::remove_all(dir);
    return 0;
}
