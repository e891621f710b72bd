#include "core/file_names.h"

#include "core/environment_settings.h"
#include "core/file_io.h"
#include "core/latin_title.h"
#include "core/text_util.h"
#include "core/topic_table.h"

#include <cstdint>
#include <string_view>
#include <unordered_set>

namespace qw {

namespace {

bool isKept(char c) {
    return c == ' ' || c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z');
}

bool isRefused(char c) {
    switch (c) {
    case ' ':
    case '"':
    case '&':
    case '*':
    case '-':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
        return true;
    default:
        return false;
    }
}

/// The extension as the normalisation sees it: from the last "." after any "\" or ":".
size_t extensionStart(const std::string& name) {
    const size_t dot = name.rfind('.');
    const size_t sep = name.find_last_of("\\:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        return std::string::npos;
    return dot;
}

std::string withHtmExtension(std::string name) {
    const size_t dot = extensionStart(name);
    if (dot != std::string::npos && name.compare(dot, std::string::npos, ".htm") == 0)
        return name;
    if (dot != std::string::npos)
        name.erase(dot);
    return name + ".htm";
}

/// True for a name that normalising leaves as it is: no blank at either end, and a web
/// address or a name ending in ".htm".
bool isNormalName(const std::string& name) {
    if (name.empty() || static_cast<unsigned char>(name.front()) <= ' ' ||
        static_cast<unsigned char>(name.back()) <= ' ')
        return false;
    if (startsWith(name, kWebPrefix))
        return true;
    const size_t dot = extensionStart(name);
    return dot != std::string::npos && name.compare(dot, std::string::npos, ".htm") == 0;
}

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

/// Hash and equality of names without regard to ASCII case, for sets of views of the
/// table's cells: a check of every row then copies none.
struct NoCaseHash {
    size_t operator()(std::string_view text) const {
        uint64_t hash = 1469598103934665603ull;
        for (const char c : text)
            hash = (hash ^ static_cast<unsigned char>(upperAscii(c))) * 1099511628211ull;
        return size_t(hash);
    }
};
struct NoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return equalsNoCase(a, b); }
};
using NoCaseViews = std::unordered_set<std::string_view, NoCaseHash, NoCaseEqual>;

} // namespace

FileNameOptions FileNameOptions::from(const EnvironmentSettings& env) {
    return {env.lcaseTopicFN, env.convertSpaces, env.addFilePrefix};
}

std::string fileNameRule(std::string_view text, const FileNameOptions& options) {
    std::string work = options.lowerCase ? toLower(text) : std::string(text);
    std::string out;
    out.reserve(work.size());
    for (size_t i = 0; i < work.size(); ++i) {
        const char c = work[i];
        if (!isKept(c))
            continue;
        if (c != ' ') {
            out += c;
            continue;
        }
        if (!options.convertSpaces) {
            out += ' ';
            continue;
        }
        if (i > 0 && (work[i - 1] == ' ' || work[i - 1] == '_'))
            continue;
        work[i] = '_';
        out += '_';
    }
    return out;
}

std::string chapterPrefix(std::string_view chapterPath, const FileNameOptions& options) {
    if (!options.addPrefix)
        return {};
    return fileNameOf(chapterPath).substr(0, 3) + "_";
}

void nameWhileTyping(TopicTable& table, size_t row, std::string_view prefix,
                     const FileNameOptions& options) {
    if (!table.isTopicRow(row) || table.isWebTopic(row))
        return;
    std::string pre;
    if (options.addPrefix) {
        pre = !prefix.empty()
                  ? std::string(prefix)
                  : toLower(fileNameOf(table.cell(row, ColMainFileName)).substr(0, 3)) + "_";
    }
    const std::string title = latinTitle(table.displayTitle(row), options);
    if (trim(title).empty()) {
        table.setCell(row, ColFileName, fileNameRule(title, options));
        return;
    }
    table.setCell(row, ColFileName, pre + fileNameRule(title, options) + ".htm");
}

void recalculateTopicFileNames(TopicTable& table, const FileNameOptions& options) {
    std::string prefix;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r)) {
            prefix = chapterPrefix(table.cell(r, ColMainFileName), options);
            continue;
        }
        if (table.isWebTopic(r))
            continue;
        table.setCell(
            r, ColFileName,
            fileNameRule(prefix + latinTitle(table.displayTitle(r), options) + ".htm", options));
    }
}

void normaliseTopicFileNames(TopicTable& table, const FileNameOptions& options) {
    std::string prefix;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r)) {
            prefix = chapterPrefix(table.cell(r, ColMainFileName), options);
            continue;
        }
        if (isNormalName(table.cell(r, ColFileName)))
            continue;
        const std::string name = trim(table.cell(r, ColFileName));
        if (startsWith(name, kWebPrefix))
            continue;
        if (name.empty()) {
            table.setCell(r, ColFileName,
                          fileNameRule(prefix + latinTitle(table.displayTitle(r), options) + ".htm",
                                       options));
            continue;
        }
        table.setCell(r, ColFileName, withHtmExtension(name));
    }
}

CheckFinding checkProject(TopicTable& table, const FileNameOptions& options) {
    normaliseTopicFileNames(table, options);
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r) || table.isWebTopic(r))
            continue;
        const std::string& name = table.cell(r, ColFileName);
        for (char c : name) {
            if (isRefused(c))
                return {false,
                        "Invalid Character Found in Filename '" + name + "'\r\n" +
                            "Please correct Creating the HTMLHelp eDocument.",
                        r, ColFileName};
        }
    }
    // The names stay as they are from here on: the sets hold views of them.
    NoCaseViews seen;
    seen.reserve(table.endRow());
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r))
            continue;
        const std::string& name = table.cell(r, ColFileName);
        if (!seen.insert(name).second)
            return {false,
                    "Warning: Duplicate FileName, '" + name + "', Found.\r\n" +
                        "Please Correct Before Creating HTMLHelp eDocument.",
                    r, ColFileName};
    }
    // A page written over a chapter file would destroy the author's chapter.
    // Only a page named as a chapter file is named (no name holds a separator by now)
    // needs its whole path compared.
    std::unordered_set<std::string> chapters;
    NoCaseViews chapterNames;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isChapterRow(r)) {
            const std::string& path = table.cell(r, ColMainFileName);
            chapters.insert(toUpper(path));
            chapterNames.insert(std::string_view(path).substr(path.find_last_of("/\\") + 1));
        }
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r) || table.isWebTopic(r) ||
            chapterNames.count(table.cell(r, ColFileName)) == 0)
            continue;
        const std::string page = table.projectDir() + table.topicLinkPath(r);
        if (chapters.count(toUpper(page)) != 0)
            return {false,
                    "Warning: FileName, '" + table.cell(r, ColFileName) +
                        "', would overwrite a Chapter file.\r\n" +
                        "Please Correct Before Creating HTMLHelp eDocument.",
                    r, ColFileName};
    }
    return {};
}

} // namespace qw
