#include "helpgen/process_runner.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qw {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

int statusCode(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

/// In the child after fork: only async-signal-safe calls until exec.
[[noreturn]] void execChild(const std::string& program, const std::vector<char*>& argv,
                            const ProcessSpec& spec, int outputFd, int errorPipe) {
    if (!spec.workingDir.empty() && ::chdir(spec.workingDir.c_str()) != 0) {
        const int code = errno;
        (void)!::write(errorPipe, &code, sizeof code);
        ::_exit(127);
    }
    if (outputFd >= 0) {
        ::dup2(outputFd, STDOUT_FILENO);
        ::dup2(outputFd, STDERR_FILENO);
    }
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0)
        ::dup2(devNull, STDIN_FILENO);
    ::execv(program.c_str(), argv.data());
    const int code = errno;
    (void)!::write(errorPipe, &code, sizeof code);
    ::_exit(127);
}

} // namespace

std::string findExecutable(const std::string& program) {
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return isExecutableFile(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + program;
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

ProcessResult runProcess(const ProcessSpec& spec, const std::function<void()>& idle) {
    ProcessResult result;
    if (spec.argv.empty()) {
        result.error = "no program given";
        return result;
    }
    const std::string program = findExecutable(spec.argv[0]);
    if (program.empty()) {
        result.error = "program not found: " + spec.argv[0];
        return result;
    }
    int outputFd = -1;
    if (!spec.outputFile.empty()) {
        // Never through a link planted in the output file's place.
        outputFd = ::open(spec.outputFile.c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (outputFd < 0) {
            result.error = "cannot write " + spec.outputFile + ": " + std::strerror(errno);
            return result;
        }
    }
    // The child reports a failed chdir or exec through this pipe; exec closes it.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.error = std::strerror(errno);
        if (outputFd >= 0)
            ::close(outputFd);
        return result;
    }
    std::vector<char*> argv;
    for (const std::string& arg : spec.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0)
        execChild(program, argv, spec, outputFd, pipeFds[1]);
    ::close(pipeFds[1]);
    if (outputFd >= 0)
        ::close(outputFd);
    if (pid < 0) {
        result.error = std::strerror(errno);
        ::close(pipeFds[0]);
        return result;
    }
    int childErrno = 0;
    ssize_t got;
    do
        got = ::read(pipeFds[0], &childErrno, sizeof childErrno);
    while (got < 0 && errno == EINTR);
    ::close(pipeFds[0]);

    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, idle ? WNOHANG : 0);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            break;
        if (done == 0) {
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (got == sizeof childErrno) {
        result.error = std::strerror(childErrno);
        return result;
    }
    result.started = true;
    result.exitCode = statusCode(status);
    return result;
}

} // namespace qw
