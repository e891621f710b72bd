#include "helpgen/compiled_document.h"

#include "core/ini_file.h"
#include "core/project_settings.h"
#include "core/text_util.h"
#include "core/topic_table.h"
#include "helpgen/body_style.h"
#include "helpgen/chm_directory.h"
#include "helpgen/contents_file.h"
#include "helpgen/page_generator.h"

#include <fstream>
#include <unordered_set>

namespace qw {

namespace {

bool isAsciiFile(const std::string& path) {
    for (char c : readFileBytes(path))
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

constexpr uint32_t kDefaultLanguage = 0x809;

bool isSection(const std::string& line) {
    return startsWith(trim(line), "[");
}

} // namespace

CompiledPageFixes::CompiledPageFixes(std::filesystem::path projectDir, CodePage codePage,
                                     bool bareBody)
    : m_references(std::move(projectDir)), m_codePage(std::move(codePage)), m_bareBody(bareBody) {}

void CompiledPageFixes::apply(Lines& page, std::string_view chapterFolder,
                              std::string_view pageName) {
    m_references.scan(page, chapterFolder, pageName);
    if (m_bareBody)
        moveBodyAttributesToStyle(page);
    encodePage(page, m_codePage, m_encoded);
}

void CompiledPageFixes::apply(std::string& pageText, std::string_view chapterFolder,
                              std::string_view pageName, std::span<const std::string_view> ownPages,
                              size_t skipBegin, size_t skipEnd) {
    m_references.scanText(pageText, chapterFolder, pageName, ownPages, skipBegin, skipEnd);
    // An ASCII page reads the same in every code page; only a page that is not, or a body
    // tag to make bare, needs the page line by line.
    if (!m_bareBody && isAsciiText(pageText))
        return;
    splitPageText(pageText, m_lines);
    if (m_bareBody)
        moveBodyAttributesToStyle(m_lines);
    encodePage(m_lines, m_codePage, m_encoded);
    pageText.clear();
    for (const std::string& line : m_lines)
        addPageLine(pageText, line);
}

CompiledPageFixes compiledPageFixes(const std::string& projectDir, const std::string& base,
                                    const std::string& projectPath, bool forChmcmd) {
    const uint32_t language = documentLanguage(base + ".hhp", projectPath);
    return CompiledPageFixes(projectDir, CodePage::forLanguage(language), forChmcmd);
}

std::unordered_set<std::string> listedPages(const TopicTable& table) {
    std::unordered_set<std::string> listed;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isTopicRow(r) && !table.isWebTopic(r))
            listed.insert(toLower(table.topicLinkPath(r)));
    return listed;
}

std::vector<std::string> filesToList(const TopicTable& table, std::vector<std::string> additional,
                                     PageReferences& references) {
    // The references leave the pages out themselves once they know them.
    if (!references.knowsListed())
        references.setListed(listedPages(table));
    std::unordered_set<std::string> listed;
    for (const std::string& file : additional)
        listed.insert(toLower(toSlashes(file)));
    // Pages and additional files are listed anyway: only the others are looked up.
    references.resolve(listed);
    for (const std::string& file : references.files())
        if (listed.insert(toLower(file)).second)
            additional.push_back(file);
    return additional;
}

std::vector<std::string> finishHelpFiles(const std::string& base, const TopicTable& table,
                                         const ProjectSettings& project,
                                         const CompiledPageFixes& fixes) {
    const CodePage& codePage = fixes.codePage();
    std::vector<std::string> warnings = encodingWarnings("pages", fixes.encoded(), codePage);
    const std::string helpProject = base + ".hhp";
    Lines lines = readLines(helpProject);
    bool changed = fillDefaultTopic(lines, firstContentsTopic(table, project));
    // chmcmd builds its binary index from the index file read as UTF-8, while the
    // viewers read the text index in the document's code page: beyond ASCII only the
    // text index shows right everywhere.
    if (fixes.forChmcmd() && !isAsciiFile(base + "_indx.hhk"))
        changed = addOptionWhenMissing(lines, "Binary Index", "No") || changed;
    if (changed)
        writeLines(helpProject, lines);
    const std::pair<std::string, bool> files[] = {
        {base + "_toc.hhc", true}, {base + "_indx.hhk", true}, {helpProject, false}};
    for (const auto& [path, references] : files) {
        const EncodeReport report = encodeFile(path, codePage, references, !references);
        const char* note = references ? " (xchm does not show them in contents and index)" : "";
        for (std::string& warning : encodingWarnings(fileNameOf(path), report, codePage, note))
            warnings.push_back(std::move(warning));
    }
    for (const std::string& missing : fixes.referencesConst().missing())
        warnings.push_back(missing);
    return warnings;
}

std::string checkCompiledDocument(const std::string& base) {
    const std::string chm = base + ".chm";
    const ChmCheck check = checkAndMendChm(chm, listedFiles(readLines(base + ".hhp")));
    if (!check.error.empty())
        return "The compiled document is unreadable: " + check.error;
    if (check.missing.empty())
        return {};
    std::string message = "The compiled document lacks " + std::to_string(check.missing.size()) +
                          " of the listed files: " + check.missing.front();
    if (check.missing.size() > 1)
        message += ", ...";
    return message;
}

void appendWarningsToLog(const std::string& logPath, const std::vector<std::string>& warnings,
                         const std::string& error) {
    if (warnings.empty() && error.empty())
        return;
    std::ofstream log(logPath, std::ios::binary | std::ios::app);
    for (const std::string& warning : warnings)
        log << "Warning: " << warning << "\r\n";
    if (!error.empty())
        log << "Error: " << error << "\r\n";
}

uint32_t documentLanguage(const std::string& helpProjectPath, const std::string& projectPath) {
    if (fileExists(helpProjectPath))
        return helpProjectLanguage(readLines(helpProjectPath), kDefaultLanguage);
    const std::string value = IniFile(projectPath).readString("OPTIONS", "Language", "");
    return helpProjectLanguage({"[OPTIONS]", "Language=" + value}, kDefaultLanguage);
}

namespace {

/// Where field number (from 0) of a window definition starts and ends; npos when the
/// definition has fewer fields.
std::pair<size_t, size_t> windowField(std::string_view definition, int number) {
    size_t start = 0;
    bool quoted = false;
    int field = 0;
    for (size_t i = 0; i <= definition.size(); ++i) {
        if (i < definition.size() && definition[i] == '"')
            quoted = !quoted;
        if (i < definition.size() && (quoted || definition[i] != ','))
            continue;
        if (field == number)
            return {start, i};
        ++field;
        start = i + 1;
    }
    return {std::string_view::npos, std::string_view::npos};
}

/// Fills the default topic (the fourth field) of a "name=definition" line of [WINDOWS]
/// when it is empty; false when it is not, or the line is no window definition.
bool fillWindowDefaultTopic(std::string& line, const std::string& topic) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || startsWith(trim(line), ";"))
        return false;
    const auto [start, end] = windowField(std::string_view(line).substr(equals + 1), 3);
    if (start == std::string_view::npos)
        return false;
    const std::string value = trim(line.substr(equals + 1 + start, end - start));
    if (!value.empty() && value != "\"\"")
        return false;
    line.replace(equals + 1 + start, end - start, "\"" + topic + "\"");
    return true;
}

/// Fills "Default topic=" of [OPTIONS]; see fillDefaultTopic.
bool fillOptionsDefaultTopic(Lines& helpProject, const std::string& topic) {
    const std::string line = "Default topic=" + topic;
    size_t i = 0;
    while (i < helpProject.size() && !equalsNoCase(trim(helpProject[i]), "[OPTIONS]"))
        ++i;
    if (i == helpProject.size()) {
        helpProject.insert(helpProject.begin(), {"[OPTIONS]", line});
        return true;
    }
    const size_t options = i;
    for (++i; i < helpProject.size() && !isSection(helpProject[i]); ++i) {
        const std::string current = trim(helpProject[i]);
        if (!startsWithNoCase(current, "Default topic="))
            continue;
        if (!trim(current.substr(14)).empty())
            return false;
        helpProject[i] = line;
        return true;
    }
    helpProject.insert(helpProject.begin() + long(options) + 1, line);
    return true;
}

} // namespace

bool addOptionWhenMissing(Lines& helpProject, std::string_view key, std::string_view value) {
    const std::string prefix = std::string(key) + "=";
    size_t i = 0;
    while (i < helpProject.size() && !equalsNoCase(trim(helpProject[i]), "[OPTIONS]"))
        ++i;
    if (i == helpProject.size()) {
        helpProject.insert(helpProject.begin(), "[OPTIONS]");
        i = 0;
    }
    const size_t options = i;
    for (++i; i < helpProject.size() && !isSection(helpProject[i]); ++i)
        if (startsWithNoCase(trim(helpProject[i]), prefix))
            return false;
    helpProject.insert(helpProject.begin() + long(options) + 1, prefix + std::string(value));
    return true;
}

bool fillDefaultTopic(Lines& helpProject, const std::string& topic) {
    if (topic.empty())
        return false;
    bool changed = fillOptionsDefaultTopic(helpProject, topic);
    // chmcmd takes the document's home page from the window's default topic.
    bool inWindows = false;
    for (std::string& line : helpProject) {
        if (isSection(line))
            inWindows = equalsNoCase(trim(line), "[WINDOWS]");
        else if (inWindows && fillWindowDefaultTopic(line, topic))
            changed = true;
    }
    return changed;
}

std::vector<std::string> listedFiles(const Lines& helpProject) {
    std::vector<std::string> files;
    bool inFiles = false;
    for (const std::string& raw : helpProject) {
        const std::string line = trim(raw);
        if (isSection(line))
            inFiles = equalsNoCase(line, "[FILES]");
        else if (inFiles && !line.empty() && line[0] != ';')
            files.push_back(toSlashes(line));
    }
    return files;
}

std::vector<std::string> encodingWarnings(const std::string& file, const EncodeReport& report,
                                          const CodePage& codePage,
                                          std::string_view referenceNote) {
    std::vector<std::string> warnings;
    const std::string page = "code page " + std::to_string(codePage.number());
    if (report.referenced > 0)
        warnings.push_back(file + ": " + std::to_string(report.referenced) + " characters that " +
                           page + " cannot hold were written as character references" +
                           std::string(referenceNote));
    if (report.replaced > 0)
        warnings.push_back(file + ": " + std::to_string(report.replaced) + " characters that " +
                           page + " cannot hold were written as '?' (the first: '" +
                           report.firstReplaced + "')");
    return warnings;
}

} // namespace qw
