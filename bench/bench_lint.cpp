// Measures the link check on a synthetic project of 100 chapters x 99 topics, whose pages
// link to a page that exists only beside the first chapter of each ten; also the time of
// the command-line program's whole run when its path is given.
#include "bench_util.h"
#include "core/progress.h"
#include "core/project_session.h"
#include "lint/project_linter.h"
#include "synthetic_project.h"

#include <iostream>
#include <sys/wait.h>

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
    const fs::path dir = fs::temp_directory_path() / "qw-bench-lint";
    fs::remove_all(dir);
    const auto project = writeSyntheticProject(dir / "proj", 100, 99);
    fs::create_directories(dir / "data");
    fs::create_directory_symlink(fs::path(QW_DATA_DIR) / "xFiles", dir / "data" / "xFiles");

    QuietHost host;
    qw::ProjectSession session(host, dir / "data", dir / "quirew.cfg");
    const double load = timed([&] { session.openProject(project.projectFile.string()); });
    std::vector<qw::LintFinding> findings;
    const double cpu = cpuSeconds();
    const double lint = timed([&] { findings = qw::lintSession(session); });
    const double lintCpu = cpuSeconds() - cpu;
    std::cout << "project: " << session.table().statusText() << "\n"
              << "load:  " << load << " s\n"
              << "lint:  " << lint << " s wall, " << lintCpu << " s CPU, " << findings.size()
              << " findings (" << qw::errorCount(findings) << " errors)\n";
    if (argc > 1) {
        const std::string command = "QUIREW_DATA_DIR='" + (dir / "data").string() + "' '" +
                                    argv[1] + "' lint '" + project.projectFile.string() +
                                    "' > /dev/null 2>&1";
        const auto start = Clock::now();
        const int status = std::system(command.c_str());
        std::cout << "quirew-cli lint (load, check, print): " << seconds(start) << " s, status "
                  << WEXITSTATUS(status) << "\n";
    }
    fs::remove_all(dir);
    return 0;
}
