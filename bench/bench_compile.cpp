// Compiles a help project already generated (its "<base>.hhp" and pages present, e.g. by
// quirew-cli build --no-clean-up) with the built-in compiler and, when it is installed,
// with chmcmd; prints time, peak memory and document size of each side by side.
// Usage: bench_compile BASE [--built-in-only]   (BASE = the project's path without ".hhp")
#include "helpgen/builtin_compiler.h"
#include "helpgen/process_runner.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Run {
    double seconds = -1;
    long peakKiB = 0;
    uintmax_t bytes = 0;
    bool ok = false;
};

/// Runs fn in a child process so that its peak memory is its own.
template <typename Fn> Run measured(Fn fn) {
    Run run;
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(fn() ? 0 : 1);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

uintmax_t pagesSize(const fs::path& dir) {
    uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file() &&
            (entry.path().extension() == ".htm" || entry.path().extension() == ".html"))
            total += entry.file_size();
    return total;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_compile BASE\n");
        return 2;
    }
    const std::string base = argv[1];
    const fs::path chm = base + ".chm";
    const fs::path dir = fs::path(base).parent_path();
    std::printf("pages: %.1f MB\n", double(pagesSize(dir)) / 1048576.0);

    Run builtIn = measured([&] {
        std::string error;
        return qw::compileBuiltIn(base, error);
    });
    builtIn.bytes = builtIn.ok ? fs::file_size(chm) : 0;
    std::printf("built-in  %7.2f s  peak %7ld KiB  document %10ju bytes  %s\n", builtIn.seconds,
                builtIn.peakKiB, builtIn.bytes, builtIn.ok ? "ok" : "FAILED");

    const bool withChmcmd = !(argc > 2 && std::string(argv[2]) == "--built-in-only");
    const std::string chmcmd = withChmcmd ? qw::findExecutable("chmcmd") : std::string();
    if (chmcmd.empty()) {
        std::printf("chmcmd    not measured\n");
        return builtIn.ok ? 0 : 1;
    }
    fs::remove(chm);
    Run outside = measured([&] {
        if (chdir(dir.c_str()) != 0)
            return false;
        const std::string hhp = "./" + fs::path(base).filename().string() + ".hhp";
        if (!freopen("/dev/null", "w", stdout))
            return false;
        execl(chmcmd.c_str(), chmcmd.c_str(), hhp.c_str(), static_cast<char*>(nullptr));
        return false;
    });
    outside.bytes = fs::exists(chm) ? fs::file_size(chm) : 0;
    std::printf("chmcmd    %7.2f s  peak %7ld KiB  document %10ju bytes  %s\n", outside.seconds,
                outside.peakKiB, outside.bytes, outside.bytes > 0 ? "ok" : "FAILED");
    if (outside.bytes > 0 && builtIn.bytes > 0)
        std::printf("size ratio built-in / chmcmd: %.3f, time ratio chmcmd / built-in: %.1f\n",
                    double(builtIn.bytes) / double(outside.bytes),
                    outside.seconds / builtIn.seconds);
    return builtIn.ok ? 0 : 1;
}
