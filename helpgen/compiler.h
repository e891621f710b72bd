#pragma once

#include "core/file_io.h"

#include <functional>
#include <string>

namespace qw {

/// The help compiler the build runs.
struct HelpCompiler {
    enum class Kind { None, Chmcmd, Workshop, BuiltIn };
    Kind kind = Kind::None;
    std::string program; ///< full path of the program; empty when none was found
    bool found() const { return kind != Kind::None; }
};

/// The setting's value that chooses the built-in compiler besides an empty one.
inline constexpr const char* kBuiltInCompilerSetting = "built-in";

/// Finds the compiler: "built-in" and an empty setting choose the compiler of our own;
/// otherwise the environment's Workshop setting names a Workshop folder or its editor
/// "hhw.exe" (then "hhc.exe" beside it), or the chmcmd program itself (a bare "chmcmd"
/// is looked up on PATH). Kind::None when the setting names nothing runnable.
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
/// compiler's messages going to "<base>_log.txt". idle is called while an outside
/// compiler runs; step(text) before each step of the built-in one.
CompileResult compileHelpProject(const HelpCompiler& compiler, const std::string& base,
                                 const std::function<void()>& idle = {},
                                 const std::function<void(const std::string&)>& step = {});

/// chmcmd fails (crashes) on a keyword entry of the index file that points to more than
/// about 250 topics; the largest number of topics one entry is given for it.
inline constexpr size_t kChmcmdTopicsPerKeyword = 200;

/// The index file's lines with every keyword entry of more than maxTopics topics (its
/// "Local" values after the keyword's "Name") split into entries of the same keyword of
/// at most maxTopics topics each, each entry again the keyword's Name followed by its
/// Locals; the compiled index then lists every topic under the keyword as before.
Lines splitLargeKeywordEntries(const Lines& index, size_t maxTopics);

/// Rewrites the index file for the compiler when it needs it (chmcmd); leaves it alone
/// otherwise. Throws FileError.
void adaptIndexFile(const HelpCompiler& compiler, const std::string& indexPath);

} // namespace qw
