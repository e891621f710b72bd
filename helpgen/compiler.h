#pragma once

#include <functional>
#include <string>

namespace qw {

/// The help compiler the build runs.
struct HelpCompiler {
    enum class Kind { None, Chmcmd, Workshop };
    Kind kind = Kind::None;
    std::string program; ///< full path of the program; empty when none was found
    bool found() const { return kind != Kind::None; }
};

/// Finds the compiler: the environment's Workshop setting names a Workshop folder or its
/// editor "hhw.exe" (then "hhc.exe" beside it), or the chmcmd program itself; when that
/// is empty or names nothing runnable, chmcmd is looked up on PATH. Kind::None when
/// neither exists.
HelpCompiler findHelpCompiler(const std::string& workshopPath);

/// The Workshop editor "hhw.exe" named by the setting, or empty when it names none.
std::string findWorkshopEditor(const std::string& workshopPath);

/// What a compile did.
struct CompileResult {
    bool started = false;
    int exitCode = -1;
    bool documentWritten = false; ///< "<base>.chm" was written by this run
    std::string error;            ///< why the compiler did not start
    bool succeeded() const { return started && exitCode == 0 && documentWritten; }
};

/// Compiles "<base>.hhp" with the project directory as working directory, the
/// compiler's messages going to "<base>_log.txt". idle is called while it runs.
CompileResult compileHelpProject(const HelpCompiler& compiler, const std::string& base,
                                 const std::function<void()>& idle = {});

} // namespace qw
