#include "helpgen/builtin_compiler.h"

#include "core/text_util.h"
#include "helpgen/code_page.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

namespace qw {

namespace {

bool isSectionLine(const std::string& line) {
    return !line.empty() && line.front() == '[' && line.back() == ']';
}

/// The fields of a window definition: commas inside quotes or brackets do not split.
std::vector<std::string> windowFields(const std::string& value) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    int brackets = 0;
    for (char c : value) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '[')
            ++brackets;
        else if (!quoted && c == ']')
            --brackets;
        if (c == ',' && !quoted && brackets == 0) {
            fields.emplace_back();
            continue;
        }
        fields.back().push_back(c);
    }
    for (std::string& field : fields) {
        field = trim(field);
        if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
            field = field.substr(1, field.size() - 2);
    }
    return fields;
}

uint32_t number(const std::string& text) {
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 0));
}

/// A path inside the document: "/" separators, no "./" or "..", no leading "/"; empty
/// when it leaves the project folder.
std::string documentPath(const std::string& folder, const std::string& reference) {
    std::vector<std::string> parts;
    std::string joined = toSlashes(folder.empty() ? reference : folder + "/" + reference);
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (parts.empty())
                return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return join(parts, "/");
}

std::string folderOf(const std::string& documentName) {
    const size_t slash = documentName.rfind('/');
    return slash == std::string::npos ? std::string() : documentName.substr(0, slash);
}

bool isPageName(const std::string& name) {
    return endsWithNoCase(name, ".htm") || endsWithNoCase(name, ".html");
}

std::string optionValue(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : trim(line.substr(eq + 1));
}

/// The keyword indexes read the index file's and pages' texts in the document's code page.
void useDocumentCodePage(chm::ChmWriter& writer, uint32_t language) {
    writer.setTextDecoder([codePage = CodePage::forLanguage(language)](const std::string& bytes) {
        return codePage.decode(bytes);
    });
}

} // namespace

chm::WindowDefinition parseWindowDefinition(const std::string& line) {
    chm::WindowDefinition w;
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
        return w;
    w.name = trim(line.substr(0, eq));
    std::vector<std::string> f = windowFields(line.substr(eq + 1));
    f.resize(20);
    w.caption = f[0];
    w.contentsFile = f[1];
    w.indexFile = f[2];
    w.defaultFile = f[3];
    w.homeFile = f[4];
    w.jump1Url = f[5];
    w.jump1Text = f[6];
    w.jump2Url = f[7];
    w.jump2Text = f[8];
    w.navigationStyle = number(f[9]);
    w.navigationWidth = number(f[10]);
    w.buttons = number(f[11]);
    if (f[12].size() >= 2 && f[12].front() == '[') {
        std::vector<std::string> rect = windowFields(f[12].substr(1, f[12].size() - 2));
        rect.resize(4);
        w.left = static_cast<int32_t>(number(rect[0]));
        w.top = static_cast<int32_t>(number(rect[1]));
        w.right = static_cast<int32_t>(number(rect[2]));
        w.bottom = static_cast<int32_t>(number(rect[3]));
    }
    w.windowStyle = number(f[13]);
    w.extendedStyle = number(f[14]);
    w.showState = number(f[15]);
    w.navigationClosed = number(f[16]);
    w.defaultTab = number(f[17]);
    w.tabPosition = number(f[18]);
    w.notifyId = number(f[19]);
    return w;
}

HelpProjectContents readHelpProject(const Lines& helpProject) {
    HelpProjectContents project;
    chm::DocumentOptions& o = project.options;
    o.language = helpProjectLanguage(helpProject);
    std::string section;
    for (const std::string& raw : helpProject) {
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (isSectionLine(line)) {
            section = toUpper(line);
            continue;
        }
        if (section == "[FILES]") {
            if (const std::string path = documentPath("", line); !path.empty())
                project.files.push_back(path);
        } else if (section == "[WINDOWS]") {
            project.windows.push_back(parseWindowDefinition(line));
        } else if (section == "[OPTIONS]") {
            const std::string value = optionValue(line);
            if (startsWithNoCase(line, "Compiled file="))
                o.compiledName = value;
            else if (startsWithNoCase(line, "Contents file="))
                o.contentsFile = documentPath("", value);
            else if (startsWithNoCase(line, "Index file="))
                o.indexFile = documentPath("", value);
            else if (startsWithNoCase(line, "Default topic="))
                o.defaultTopic = documentPath("", value);
            else if (startsWithNoCase(line, "Default Window="))
                o.defaultWindow = value;
            else if (startsWithNoCase(line, "Title="))
                o.title = value;
            else if (startsWithNoCase(line, "Default Font="))
                o.defaultFont = value;
            else if (startsWithNoCase(line, "Full-text search="))
                o.fullTextSearch = equalsNoCase(value, "Yes");
            else if (startsWithNoCase(line, "Binary Index="))
                o.binaryIndex = !equalsNoCase(value, "No");
        }
    }
    // The window's caption stands for a missing title, its files for missing options.
    if (!project.windows.empty()) {
        const chm::WindowDefinition& main = project.windows.front();
        if (o.title.empty())
            o.title = main.caption;
        if (o.defaultTopic.empty())
            o.defaultTopic = documentPath("", main.defaultFile);
        if (o.defaultWindow.empty())
            o.defaultWindow = main.name;
    }
    return project;
}

std::vector<std::string> pageReferences(const std::string& html) {
    std::vector<std::string> found;
    for (const char* attribute : {"src", "href", "background"}) {
        const std::string key = std::string(attribute) + "=";
        for (size_t at = findNoCase(html, key); at != std::string::npos;
             at = findNoCase(html, key, at + 1)) {
            // The attribute name must stand alone ("datasrc=" is another attribute).
            if (at > 0 &&
                (std::isalnum(static_cast<unsigned char>(html[at - 1])) || html[at - 1] == '-'))
                continue;
            size_t start = at + key.size();
            char quote = start < html.size() ? html[start] : '\0';
            size_t end;
            if (quote == '"' || quote == '\'') {
                ++start;
                end = html.find(quote, start);
            } else {
                end = html.find_first_of(" \t\r\n>", start);
            }
            if (end == std::string::npos)
                continue;
            std::string value = html.substr(start, end - start);
            value = value.substr(0, value.find_first_of("#?"));
            if (value.empty() || value[0] == '/' || value[0] == '\\' ||
                value.find(':') != std::string::npos)
                continue;
            found.push_back(value);
        }
    }
    return found;
}

std::vector<std::string> sitemapReferences(const std::string& sitemap) {
    std::vector<std::string> found;
    for (const char* param : {"\"Local\"", "\"ImageList\""}) {
        for (size_t at = findNoCase(sitemap, std::string("name=") + param); at != std::string::npos;
             at = findNoCase(sitemap, std::string("name=") + param, at + 1)) {
            const size_t tagEnd = sitemap.find('>', at);
            const size_t value = findNoCase(sitemap, "value=\"", at);
            if (value == std::string::npos || value > tagEnd)
                continue;
            const size_t end = sitemap.find('"', value + 7);
            std::string local = sitemap.substr(value + 7, end - value - 7);
            local = local.substr(0, local.find_first_of("#?"));
            if (!local.empty() && local[0] != '/' && local.find(':') == std::string::npos)
                found.push_back(local);
        }
    }
    return found;
}

bool compileBuiltIn(const std::string& base, std::string& error,
                    const std::function<void(const std::string&)>& step) {
    const auto report = [&](const std::string& text) {
        if (step)
            step(text);
    };
    const std::string projectDir = directoryOf(base);
    std::ofstream log(base + "_log.txt", std::ios::binary | std::ios::trunc);
    try {
        report("Reading the help project");
        const HelpProjectContents project = readHelpProject(readLines(base + ".hhp"));
        chm::ChmWriter writer;
        chm::DocumentOptions options = project.options;
        // Always "<base>.chm", the name the build checked: another name from a hand-edited
        // project file could be a chapter or a file of the author's.
        const std::string compiled = fileNameOf(base) + ".chm";
        if (!options.compiledName.empty() && !equalsNoCase(options.compiledName, compiled))
            log << "Note: the document is written as " << compiled << ", not as "
                << options.compiledName << "\n";
        options.compiledName = baseNameOf(compiled);
        options.timestamp = static_cast<uint32_t>(std::time(nullptr));
        // The search index finds and folds words in the code page the pages are written in.
        const CodePage codePage = CodePage::forLanguage(options.language);
        options.codePage = static_cast<uint32_t>(codePage.number());
        options.codePageUpperHalf = codePage.upperHalf();
        for (const chm::WindowDefinition& window : project.windows)
            writer.addWindow(window);
        useDocumentCodePage(writer, options.language);

        report("Reading the files");
        std::deque<std::string> pending(project.files.begin(), project.files.end());
        for (const std::string& name : {options.contentsFile, options.indexFile})
            if (!name.empty())
                pending.push_back(name);
        std::set<std::string> seen;
        // Where each name lies on disk (empty when nowhere): pages repeat their links.
        std::map<std::string, std::filesystem::path> found;
        const auto locate = [&](const std::string& name) -> const std::filesystem::path& {
            const auto [it, added] = found.try_emplace(toLower(name));
            if (added) {
                const std::filesystem::path path =
                    resolveCase(std::filesystem::path(projectDir) / name);
                if (fileExists(path))
                    it->second = path;
            }
            return it->second;
        };
        // The pages the windows open; addresses outside the document stay outside.
        for (const chm::WindowDefinition& w : project.windows)
            for (const std::string& file : {w.defaultFile, w.homeFile, w.jump1Url, w.jump2Url})
                if (file.find(':') == std::string::npos)
                    if (const std::string target = documentPath("", file);
                        !target.empty() && !locate(target).empty())
                        pending.push_back(target);
        size_t pages = 0;
        while (!pending.empty()) {
            const std::string name = pending.front();
            pending.pop_front();
            if (name.empty() || !seen.insert(toLower(name)).second)
                continue;
            const std::filesystem::path path = locate(name);
            if (path.empty()) {
                log << "Warning: file not found: " << name << "\n";
                continue;
            }
            std::string bytes = readFileBytes(path);
            // Pages bring the files they refer to, contents and index the pages they open.
            std::vector<std::string> references;
            if (isPageName(name)) {
                ++pages;
                references = pageReferences(bytes);
            } else if (equalsNoCase(name, options.contentsFile) ||
                       equalsNoCase(name, options.indexFile)) {
                references = sitemapReferences(bytes);
            }
            for (const std::string& reference : references) {
                const std::string target = documentPath(folderOf(name), reference);
                if (!target.empty() && !seen.count(toLower(target)) && !locate(target).empty())
                    pending.push_back(target);
            }
            writer.addFile(name, std::move(bytes));
        }
        // Names the document records only when it holds the files.
        if (options.indexFile.empty() || locate(options.indexFile).empty())
            options.indexFile.clear();
        writer.setOptions(options);

        report("Compressing and writing " + compiled);
        log << "Writing CHM " << compiled << "\n";
        const auto started = std::chrono::steady_clock::now();
        const std::string document = writer.document();
        writeFileBytes(std::filesystem::path(projectDir) / compiled, document);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
        log << "Note: " << writer.fileCount() << " files, " << pages << " pages, "
            << document.size() << " bytes, written in " << ms << " ms\n";
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        log << "Error: " << error << "\n";
        return false;
    }
}

} // namespace qw
