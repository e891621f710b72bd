// Measures the search index of the browser document on a synthetic project of 100
// chapters x 99 topics with twenty lines of text each: the topic pages are generated once
// as the tree command writes them, then the index is built and written (best of five
// runs, or as many as the fourth argument says). Prints the time (wall clock and
// processor), the pages' size and the index's share of it.
#include "core/progress.h"
#include "core/project_session.h"
#include "core/safe_output.h"
#include "helpgen/page_generator.h"
#include "synthetic_project.h"
#include "treegen/tree_search.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

} // namespace

int main(int argc, char** argv) {
    const int chapters = argc > 1 ? std::atoi(argv[1]) : 100;
    const int topics = argc > 2 ? std::atoi(argv[2]) : 99;
    const fs::path dir = fs::temp_directory_path() / "qw-bench-search";
    fs::remove_all(dir);
    const auto project = qw::bench::writeSyntheticProject(dir, chapters, topics);
    const fs::path data =
        argc > 3 ? fs::path(argv[3]) : fs::path(__FILE__).parent_path().parent_path() / "data";

    QuietHost host;
    qw::ProjectSession session(host, data, dir / "quirew.cfg");
    if (!session.openProject(project.projectFile.string())) {
        std::cerr << "cannot open the synthetic project\n";
        return 1;
    }
    qw::OutputGuard guard(session.table(), project.projectFile);
    qw::PageContext pages{session.table(), session.settings(), session.environment(), data,
                          false};
    pages.readerAids = true;
    qw::generateTopicPages(pages, &guard);

    qw::TreeOptions options;
    const qw::TreeContext context{session.table(),
                                  session.settings(),
                                  qw::FileNameOptions::from(session.environment()),
                                  options,
                                  qw::TreeValues::derive(options, dir, data),
                                  {}};
    qw::SearchIndexStats stats;
    double best = 1e18, bestCpu = 1e18;
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        stats = qw::writeSearchIndex(context, guard);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        bestCpu = std::min(bestCpu, 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    }
    std::printf("search index of %zu pages: %.1f ms (%.1f ms of processor time); pages %.1f MB, "
                "index %.2f MB (%.1f %%)\n",
                stats.pages, best, bestCpu, double(stats.textBytes) / 1e6,
                double(stats.indexBytes) / 1e6,
                100.0 * double(stats.indexBytes) / double(stats.textBytes));
    fs::remove_all(dir);
    return 0;
}
