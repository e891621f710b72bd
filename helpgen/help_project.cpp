#include "helpgen/help_project.h"

#include "core/ini_file.h"
#include "core/text_util.h"
#include "core/topic_table.h"
#include "helpgen/project_options.h"

namespace qw {

namespace {

constexpr const char* kDefaultLanguage = "0x809 English (United Kingdom)";

/// [OPTIONS] up to the "Default Font=" line, which is left out when no font is chosen.
Lines optionsHead(std::string_view name, std::string_view fontSpec) {
    const std::string n(name);
    Lines lines = {"[OPTIONS]",
                   "Auto Index=Yes",
                   "Compatibility=1.1 or later",
                   "Default Window=Main",
                   "Full-text search=Yes",
                   "Display compile progress=Yes",
                   "Error log file=" + n + "_log.txt",
                   "Compiled file=" + n + ".chm",
                   "Contents file=" + n + "_toc.hhc",
                   "Index file=" + n + "_indx.hhk"};
    if (fontSpec.find("DEFAULT_FONT") == std::string_view::npos)
        lines.push_back("Default Font=" + std::string(fontSpec));
    return lines;
}

void appendTail(Lines& lines, std::string_view name, bool createContextIds) {
    const std::string n(name);
    if (createContextIds) {
        lines.insert(lines.end(), {"", "[ALIAS]", "#include " + n + ".ali", "", "[MAP]",
                                   "#include " + n + ".h"});
    }
    lines.insert(lines.end(), {"", "[FILES]"});
}

std::string builtInWindow(std::string_view title, std::string_view name) {
    const std::string n(name);
    return "\"" + std::string(title) + "\",\"" + n + "_toc.hhc\",\"" + n +
           "_indx.hhk\",,,,,\"AboutJmp.htm\",\"About\",0x1520,220,0x83006,[0,0,640,480],,,,,,,0";
}

bool isSectionLine(const std::string& line) {
    return startsWith(line, "[");
}

} // namespace

std::string helpProjectName(std::string_view projectPath) {
    return baseNameOf(projectPath);
}

std::string helpProjectBase(std::string_view projectPath) {
    return changeExtension(projectPath, "");
}

Lines helpProjectDefaultLines(const IniFile& project, std::string_view titleBarText,
                              std::string_view navigatorFontSpec, bool createContextIds) {
    const std::string name = helpProjectName(project.path().string());
    Lines lines = optionsHead(name, navigatorFontSpec);
    lines.push_back("Default topic=" + project.readString("OPTIONS", "Default topic", ""));
    lines.push_back("Language=" + project.readString("OPTIONS", "Language", kDefaultLanguage));
    lines.insert(lines.end(), {"", "[WINDOWS]"});
    lines.push_back("Main=" +
                    project.readString("WINDOWS", "Main", builtInWindow(titleBarText, name)));
    appendTail(lines, name, createContextIds);
    return lines;
}

Lines helpProjectDialogLines(std::string_view name, const ProjectOptions& options) {
    Lines lines = optionsHead(name, options.fontSpec());
    lines.push_back("Default topic=" + options.defaultPage);
    lines.push_back(std::string("Language=") + kDefaultLanguage);
    if (options.createBinaryToc)
        lines.push_back("Binary TOC=Yes");
    lines.insert(lines.end(), {"", "[WINDOWS]"});
    lines.push_back("Main=" + options.windowDefinition(name));
    appendTail(lines, name, options.createContextIds);
    return lines;
}

void writeHelpProjectDefault(const IniFile& project, std::string& titleBarText,
                             std::string_view navigatorFontSpec, bool createContextIds) {
    const std::string path = project.path().string();
    if (trim(titleBarText).empty())
        titleBarText = helpProjectName(path);
    writeLines(helpProjectBase(path) + ".hhp",
               helpProjectDefaultLines(project, titleBarText, navigatorFontSpec, createContextIds));
}

void writeHelpProjectDialog(std::string_view projectPath, const ProjectOptions& options) {
    writeLines(helpProjectBase(projectPath) + ".hhp",
               helpProjectDialogLines(helpProjectName(projectPath), options));
}

Lines replaceFileList(const Lines& helpProject, const TopicTable& table,
                      const std::vector<std::string>& additionalFiles) {
    Lines lines = helpProject;
    size_t start = 0;
    while (start < lines.size() && !equalsNoCase(trim(lines[start]), "[FILES]"))
        ++start;
    if (start == lines.size())
        lines.push_back("[FILES]");
    ++start;
    size_t next = start;
    while (next < lines.size() && !isSectionLine(lines[next]))
        ++next;
    const Lines kept(lines.begin() + long(next), lines.end());
    lines.resize(start);
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isTopicRow(r) && !table.isWebTopic(r))
            lines.push_back(table.topicLinkPath(r));
    // Stored names may use either separator; the compiler here wants "/".
    for (const std::string& file : additionalFiles)
        lines.push_back(toSlashes(file));
    lines.push_back("");
    lines.insert(lines.end(), kept.begin(), kept.end());
    return lines;
}

void updateFileList(const std::string& helpProjectPath, const TopicTable& table,
                    const std::vector<std::string>& additionalFiles) {
    writeLines(helpProjectPath,
               replaceFileList(readLines(helpProjectPath), table, additionalFiles));
}

ContextIdFiles contextIdLines(const TopicTable& table) {
    ContextIdFiles files;
    int number = 1000;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (!table.isTopicRow(r) || table.isWebTopic(r))
            continue;
        const std::string& fileName = table.cell(r, ColFileName);
        const std::string id = "IDH_" + toUpper(changeExtension(fileName, ""));
        const std::string value = std::to_string(++number);
        files.aliases.push_back(id + "=" + table.topicLinkPath(r));
        files.header.push_back("#define " + id + " " + value);
        files.pascal.push_back("const " + id + "=" + value + ";");
    }
    return files;
}

void writeContextIdFiles(const std::string& base, const TopicTable& table) {
    const ContextIdFiles files = contextIdLines(table);
    std::string firstError;
    const std::pair<const char*, const Lines*> outputs[] = {
        {".ali", &files.aliases}, {".h", &files.header}, {".pas", &files.pascal}};
    for (const auto& [extension, lines] : outputs) {
        try {
            writeLines(base + extension, *lines);
        } catch (const FileError& e) {
            if (firstError.empty())
                firstError = e.what();
        }
    }
    if (!firstError.empty())
        throw FileError(firstError);
}

} // namespace qw
