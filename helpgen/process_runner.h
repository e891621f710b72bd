#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qw {

/// One child program to run: the program and its arguments as separate items (never a
/// shell command line, so blanks, quotes and "$" pass intact), the folder it runs in
/// (empty: the current one) and the file its output goes to (empty: inherited).
struct ProcessSpec {
    std::vector<std::string> argv;
    std::string workingDir;
    /// Standard output and standard error both go to this file, replacing it.
    std::string outputFile;
};

/// How a child program ended.
struct ProcessResult {
    bool started = false; ///< false when the program could not be run at all
    int exitCode = -1;    ///< the exit status, or 128 + signal number
    std::string error;    ///< why it did not start
};

/// Runs a program and waits for it, calling idle about every 10 ms while it runs so the
/// caller's window stays responsive. Looks the program up on PATH when it has no "/".
ProcessResult runProcess(const ProcessSpec& spec, const std::function<void()>& idle = {});

/// The full path of an executable program file, found as given when it contains "/",
/// else on PATH; empty when there is none.
std::string findExecutable(const std::string& program);

} // namespace qw
