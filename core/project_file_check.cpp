#include "core/project_file_check.h"

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/project_settings.h"
#include "core/text_util.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace qw {

namespace {

[[noreturn]] void refuse(const std::string& path, const std::string& reason) {
    throw FileError(path + " is not a project file: " + reason);
}

bool isBinary(std::string_view bytes) {
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != '\v')
            return true;
    }
    return false;
}

/// The first line that is neither blank nor a comment.
std::string firstMeaningfulLine(std::string_view text) {
    for (const std::string_view line : splitLineViews(text)) {
        const std::string trimmed = trim(line);
        if (!trimmed.empty() && trimmed[0] != ';' && trimmed[0] != '#')
            return trimmed;
    }
    return {};
}

} // namespace

void checkProjectFile(const std::string& path) {
    if (!endsWithNoCase(path, ".qwr"))
        refuse(path, "its name does not end in .qwr");
    std::error_code ec;
    if (fs::is_directory(path, ec))
        refuse(path, "it is a folder");
    std::string bytes = readFileBytes(path);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        refuse(path, "it is UTF-16 text; save it as UTF-8 or ANSI text");
    if (isBinary(bytes))
        refuse(path, "it holds binary data");
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const std::string first = firstMeaningfulLine(text);
    if (!first.empty() && first[0] != '[')
        refuse(path, "it does not begin with a [section] line");
    const IniFile project(path, text);
    if (!project.hasKey(kChapterSection, "NumOfChapters"))
        return;
    const int count = project.readInteger(kChapterSection, "NumOfChapters", -1);
    if (count != project.readInteger(kChapterSection, "NumOfChapters", -2) || count < 0)
        throw FileError(
            path + ": NumOfChapters=" + project.readString(kChapterSection, "NumOfChapters", "") +
            " is not a number of chapters");
}

} // namespace qw
