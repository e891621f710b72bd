#include "helpgen/page_references.h"

#include "core/text_util.h"

#include <cctype>

namespace qw {

namespace fs = std::filesystem;

namespace {

bool isNameChar(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isReferenceAttribute(std::string_view name) {
    for (const char* known : {"src", "href", "background", "lowsrc", "dynsrc", "data"})
        if (equalsNoCase(name, known))
            return true;
    return false;
}

/// The value that starts at at (quoted or not), for an attribute or inside url(...).
std::string_view valueAt(std::string_view line, size_t at, bool inUrl) {
    while (at < line.size() && isBlank(line[at]))
        ++at;
    if (at < line.size() && (line[at] == '"' || line[at] == '\'')) {
        const size_t close = line.find(line[at], at + 1);
        return close == std::string_view::npos ? std::string_view()
                                               : line.substr(at + 1, close - at - 1);
    }
    size_t end = at;
    while (end < line.size() && !isBlank(line[end]) && line[end] != '>' &&
           (!inUrl || line[end] != ')'))
        ++end;
    return line.substr(at, end - at);
}

/// The part of a value that names a local file, or empty for addresses elsewhere.
std::string_view localPart(std::string_view value) {
    while (!value.empty() && isBlank(value.front()))
        value.remove_prefix(1);
    value = value.substr(0, value.find_first_of("#?"));
    while (!value.empty() && isBlank(value.back()))
        value.remove_suffix(1);
    const size_t colon = value.find(':');
    if (value.empty() || (colon != std::string_view::npos && colon < value.find('/')) ||
        value[0] == '/' || value[0] == '\\' || value.find_first_of("'+") != std::string_view::npos)
        return {}; // a scheme, a drive, an absolute path or a script expression
    return value;
}

std::string percentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit((unsigned char)text[i + 1]) &&
            std::isxdigit((unsigned char)text[i + 2])) {
            out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

/// Calls found with every local reference of the line, in the order of the line's
/// attributes, then of its url(...) values.
template <typename Found> void forEachLocalReference(std::string_view line, Found found) {
    const auto add = [&](std::string_view value) {
        if (const std::string_view local = localPart(value); !local.empty())
            found(local);
    };
    for (size_t eq = line.find('='); eq != std::string_view::npos; eq = line.find('=', eq + 1)) {
        size_t end = eq;
        while (end > 0 && isBlank(line[end - 1]))
            --end;
        size_t start = end;
        while (start > 0 && isNameChar(line[start - 1]))
            --start;
        if (start == end || (start > 0 && !isBlank(line[start - 1]) && line[start - 1] != '<' &&
                             line[start - 1] != '"' && line[start - 1] != '\''))
            continue;
        if (isReferenceAttribute(line.substr(start, end - start)))
            add(valueAt(line, eq + 1, false));
    }
    for (size_t open = line.find('('); open != std::string_view::npos;
         open = line.find('(', open + 1))
        if (open >= 3 && equalsNoCase(line.substr(open - 3, 3), "url"))
            add(valueAt(line, open + 1, true));
}

} // namespace

std::vector<std::string> localReferences(std::string_view line) {
    std::vector<std::string> refs;
    forEachLocalReference(line, [&](std::string_view ref) { refs.emplace_back(ref); });
    return refs;
}

PageReferences::PageReferences(fs::path projectDir) : m_projectDir(std::move(projectDir)) {}

void PageReferences::scan(const Lines& page, std::string_view chapterFolder,
                          std::string_view pageName) {
    bool popups = false;
    for (const std::string& line : page) {
        forEachLocalReference(line,
                              [&](std::string_view ref) { note(chapterFolder, pageName, ref); });
        popups = popups || line.find("qwPopupLink") != std::string::npos;
    }
    if (popups)
        note("", pageName, "TxPopups.js");
}

void PageReferences::note(std::string_view chapterFolder, std::string_view pageName,
                          std::string_view ref) {
    // Most references repeat from line to line and page to page: the key is built in a
    // kept buffer, so a repeated one costs one lookup and no allocation.
    m_key.assign(chapterFolder);
    m_key.append(ref);
    if (m_seen.find(m_key) != m_seen.end())
        return;
    m_seen.insert(m_key);
    const std::string relative =
        fs::path(toSlashes(percentDecoded(m_key))).lexically_normal().generic_string();
    if (relative.empty() || startsWith(relative, "..") || relative.back() == '/')
        return; // outside the project directory: not ours to pack
    if (!m_noted.insert(toLower(relative)).second)
        return;
    m_pending.push_back({relative, std::string(chapterFolder) + std::string(pageName) +
                                       " refers to '" + std::string(ref) + "'"});
}

void PageReferences::resolve(const std::unordered_set<std::string>& known) {
    for (const Pending& pending : m_pending) {
        if (known.count(toLower(pending.relative)) != 0)
            continue;
        std::error_code ec;
        const fs::path onDisk = resolveCase(m_projectDir / pending.relative);
        if (fs::is_regular_file(onDisk, ec))
            m_files.push_back(fs::relative(onDisk, m_projectDir, ec).generic_string());
        else
            m_missing.push_back(pending.because + ", which does not exist");
    }
    m_pending.clear();
}

} // namespace qw
