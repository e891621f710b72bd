// Measures the contents tree on a synthetic project of 100 chapters x 99 topics: the
// standard tree (n + 2 pages, each listing every chapter) and each template tree, written
// into a fresh folder. Prints milliseconds per writer (best of five runs) and the size
// of what was written.
#include "core/progress.h"
#include "core/project_session.h"
#include "core/safe_output.h"
#include "synthetic_project.h"
#include "treegen/standard_tree.h"
#include "treegen/template_tree.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace fs = std::filesystem;

namespace {

class QuietHost : public qw::SessionHost {
public:
    qw::Answer showMessage(const std::string& text, qw::MessageKind, qw::MessageButtons) override {
        std::cerr << text << '\n';
        return qw::Answer::Ok;
    }
    qw::ProgressReporter& progress() override { return m_progress; }

private:
    qw::RecordingProgress m_progress;
};

size_t folderBytes(const fs::path& dir) {
    size_t total = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file())
            total += entry.file_size();
    return total;
}

template <typename Run> double bestOfFive(Run run) {
    double best = 1e18;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const int chapters = argc > 1 ? std::atoi(argv[1]) : 100;
    const int topics = argc > 2 ? std::atoi(argv[2]) : 99;
    const fs::path dir = fs::temp_directory_path() / "qw-bench-treegen";
    fs::remove_all(dir);
    const auto project = qw::bench::writeSyntheticProject(dir, chapters, topics, 2);
    // The support files: the third argument, else the source tree's data folder.
    const fs::path data =
        argc > 3 ? fs::path(argv[3]) : fs::path(__FILE__).parent_path().parent_path() / "data";

    QuietHost host;
    qw::ProjectSession session(host, data, dir / "quirew.cfg");
    if (!session.openProject(project.projectFile.string())) {
        std::cerr << "cannot open the synthetic project\n";
        return 1;
    }
    std::printf("project: %d chapters x %d topics (%d rows)\n", chapters, topics,
                int(session.table().rowCount()));
    // One guard for every run, as one create command has: each run replaces the last.
    qw::OutputGuard guard(session.table(), project.projectFile);

    for (const qw::TreeFormat format :
         {qw::TreeFormat::Standard, qw::TreeFormat::Script, qw::TreeFormat::Applet}) {
        qw::TreeOptions options;
        options.format = format;
        const qw::TreeContext context{session.table(),
                                      session.settings(),
                                      qw::FileNameOptions::from(session.environment()),
                                      options,
                                      qw::TreeValues::derive(options, dir, data),
                                      {}};
        fs::remove_all(context.values.treeDir);
        size_t files = 0;
        const double ms = bestOfFive([&] {
            if (format == qw::TreeFormat::Standard) {
                files = qw::StandardTreeWriter(context, &guard).write().size();
                return;
            }
            const fs::path tmpl =
                context.values.templateDir / std::string(qw::templateName(format));
            files = qw::TemplateTreeWriter(context, host, tmpl, &guard).write().written.size();
        });
        const char* name = format == qw::TreeFormat::Standard ? "standard"
                           : format == qw::TreeFormat::Script ? "script  "
                                                              : "applet  ";
        std::printf("%s tree: %8.1f ms  (%zu files, tree folder %.1f MB)\n", name, ms, files,
                    double(folderBytes(context.values.treeDir)) / 1e6);
    }
    fs::remove_all(dir);
    return 0;
}
