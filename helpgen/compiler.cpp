#include "helpgen/compiler.h"

#include "core/file_io.h"
#include "core/text_util.h"
#include "helpgen/builtin_compiler.h"
#include "helpgen/process_runner.h"
#include "helpgen/token_replace.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace qw {

namespace {

bool isChmcmdName(const std::string& name) {
    return startsWith(name, "chmcmd");
}

/// The folder a Workshop setting points at: the folder itself or the program's folder.
std::string workshopFolder(const std::string& setting) {
    std::error_code ec;
    if (fs::is_directory(setting, ec))
        return setting.back() == '/' ? setting : setting + "/";
    return directoryOf(setting);
}

} // namespace

HelpCompiler findHelpCompiler(const std::string& workshopPath) {
    const std::string setting = trim(workshopPath);
    // Nothing chosen: the compiler of our own, which needs no outside program.
    if (setting.empty() || equalsNoCase(setting, kBuiltInCompilerSetting))
        return {HelpCompiler::Kind::BuiltIn, {}};
    std::error_code ec;
    const bool folder = fs::is_directory(setting, ec);
    if (!folder && isChmcmdName(fileNameOf(setting))) {
        if (std::string program = findExecutable(setting); !program.empty())
            return {HelpCompiler::Kind::Chmcmd, program};
    } else if (std::string program = findExecutable(workshopFolder(setting) + "hhc.exe");
               !program.empty()) {
        return {HelpCompiler::Kind::Workshop, program};
    }
    return {};
}

std::string findWorkshopEditor(const std::string& workshopPath) {
    const std::string setting = trim(workshopPath);
    if (setting.empty() || isChmcmdName(fileNameOf(setting)) ||
        equalsNoCase(setting, kBuiltInCompilerSetting))
        return {};
    return findExecutable(workshopFolder(setting) + "hhw.exe");
}

CompileResult compileHelpProject(const HelpCompiler& compiler, const std::string& base,
                                 const std::function<void()>& idle,
                                 const std::function<void(const std::string&)>& step) {
    CompileResult result;
    if (!compiler.found()) {
        result.error = "no compiler";
        return result;
    }
    const std::string chm = base + ".chm";
    const bool existedBefore = fileExists(chm);
    const int64_t before = fileStamp(chm);
    if (compiler.kind == HelpCompiler::Kind::BuiltIn) {
        result.started = true;
        result.exitCode = compileBuiltIn(base, result.error, step) ? 0 : 1;
        result.documentWritten = fileExists(chm) && (!existedBefore || fileStamp(chm) != before);
        return result;
    }
    ProcessSpec spec;
    spec.workingDir = directoryOf(base);
    // chmcmd writes the document into its working folder and its messages on its
    // output only; the Workshop compiler writes its own log as the project file says.
    if (compiler.kind == HelpCompiler::Kind::Chmcmd) {
        // "./" keeps a name that begins with "-" from reading as an option.
        spec.argv = {compiler.program, "./" + fileNameOf(base) + ".hhp"};
        spec.outputFile = base + "_log.txt";
    } else {
        spec.argv = {compiler.program, base + ".hhp"};
    }
    const ProcessResult run = runProcess(spec, idle);
    result.started = run.started;
    result.exitCode = run.exitCode;
    result.error = run.error;
    // Stamps may be negative (the file clock's epoch lies in the future): compare only.
    result.documentWritten = fileExists(chm) && (!existedBefore || fileStamp(chm) != before);
    return result;
}

Lines splitLargeKeywordEntries(const Lines& index, size_t maxTopics) {
    static const TokenFinder objectOpen("<OBJECT type=\"text/sitemap\">");
    static const TokenFinder objectClose("</OBJECT>");
    static const TokenFinder nameParam("<param name=\"Name\"");
    static const TokenFinder localParam("<param name=\"Local\"");
    Lines out;
    out.reserve(index.size() + index.size() / (maxTopics + 1) * 3);
    std::string opening, keyword;
    size_t topics = 0;
    bool inEntry = false;
    // Where the closing lines of the parts split off the open entry stand in out: each
    // gets the entry's own closing line when that comes, so one pass suffices.
    std::vector<size_t> partCloses;
    for (const std::string& line : index) {
        const auto holds = [&line](const TokenFinder& token) {
            return token.find(line) != std::string::npos;
        };
        if (!inEntry && holds(objectOpen)) {
            inEntry = true;
            opening = line;
            keyword.clear();
            topics = 0;
        } else if (inEntry && holds(objectClose)) {
            inEntry = false;
            for (size_t at : partCloses)
                out[at] = line;
            partCloses.clear();
        } else if (inEntry && keyword.empty() && holds(nameParam)) {
            keyword = line;
        } else if (inEntry && holds(localParam) && ++topics > maxTopics) {
            // Close this part and go on in a new one of the same keyword. Until the
            // entry's closing line is met, the part ends with one of the form the writer
            // uses, indented like this line; an entry never closed keeps that one.
            partCloses.push_back(out.size());
            out.push_back(line.substr(0, line.find('<')) + "</OBJECT>");
            out.push_back(opening);
            out.push_back(keyword);
            topics = 1;
        }
        out.push_back(line);
    }
    return out;
}

void adaptIndexFile(const HelpCompiler& compiler, const std::string& indexPath) {
    if (compiler.kind != HelpCompiler::Kind::Chmcmd)
        return;
    const Lines lines = readLines(indexPath);
    const Lines split = splitLargeKeywordEntries(lines, kChmcmdTopicsPerKeyword);
    if (split != lines)
        writeLines(indexPath, split);
}

} // namespace qw
