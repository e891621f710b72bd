// Measures loading and writing back a synthetic project of 100 chapters x 99 topics, with
// peak memory, against cat and cp over the same files.
#include "core/progress.h"
#include "core/project_session.h"
#include "bench_util.h"
#include "synthetic_project.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sys/resource.h>

namespace fs = std::filesystem;
using namespace qw::bench;

namespace {

class QuietHost : public qw::SessionHost {
public:
    qw::Answer showMessage(const std::string&, qw::MessageKind, qw::MessageButtons) override {
        return qw::Answer::Ok;
    }
    qw::ProgressReporter& progress() override { return m_progress; }

private:
    qw::RecordingProgress m_progress;
};

} // namespace

int main(int argc, char** argv) {
    const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "qw-bench-core";
    fs::remove_all(dir);
    const auto project = qw::bench::writeSyntheticProject(dir / "proj", 100, 99);
    const double mb = double(project.bytes) / (1024.0 * 1024.0);
    const long baseKiB = peakKiB();

    QuietHost host;
    qw::ProjectSession session(host, dir, dir / "quirew.cfg");
    auto start = std::chrono::steady_clock::now();
    double cpu = cpuSeconds();
    session.openProject(project.projectFile.string());
    const double load = seconds(start);
    const double loadCpu = cpuSeconds() - cpu;
    const long afterLoadKiB = peakKiB();

    session.setChaptersInSync(false);
    start = std::chrono::steady_clock::now();
    cpu = cpuSeconds();
    session.saveProject(false);
    const double save = seconds(start);
    const double saveCpu = cpuSeconds() - cpu;
    const long afterSaveKiB = peakKiB();

    const std::string files = "find '" + (dir / "proj").string() + "' -name '*.htm'";
    const double cat = shell(files + " -print0 | xargs -0 cat > /dev/null");
    const double cp = shell("cp -r '" + (dir / "proj").string() + "' '" + (dir / "copy").string() + "'");

    std::cout << "project: " << session.table().statusText() << ", " << mb << " MB of chapters\n"
              << "load:       " << load << " s wall, " << loadCpu << " s CPU (cat " << cat
              << " s)\n"
              << "write-back: " << save << " s wall, " << saveCpu << " s CPU (cp -r " << cp
              << " s)\n"
              << "peak memory: " << afterSaveKiB / 1024.0 << " MiB in all, "
              << (afterSaveKiB - baseKiB) / 1024.0 << " MiB above the start ("
              << double(afterSaveKiB - baseKiB) / 1024.0 / mb << "x the project), after load "
              << (afterLoadKiB - baseKiB) / 1024.0 << " MiB\n";
    fs::remove_all(dir);
    return 0;
}
