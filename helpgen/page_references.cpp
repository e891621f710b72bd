#include "helpgen/page_references.h"

#include "core/text_util.h"
#include "core/byte_scan.h"

#include <algorithm>
#include <cctype>

namespace qw {

namespace fs = std::filesystem;

namespace {

/// Attribute names are ASCII letters (a test of the locale's letters costs a call per
/// character of every page).
bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

/// True for the attributes that name files. Runs for every "=" of every page, so it
/// looks at the length first.
bool isReferenceAttribute(std::string_view name) {
    const auto is = [&](std::string_view known) {
        if (name.size() != known.size())
            return false;
        for (size_t i = 0; i < known.size(); ++i)
            if (lowerAscii(name[i]) != known[i])
                return false;
        return true;
    };
    switch (name.size()) {
    case 3:
        return is("src");
    case 4:
        return is("href") || is("data");
    case 6:
        return is("lowsrc") || is("dynsrc");
    case 10:
        return is("background");
    default:
        return false;
    }
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

/// The part of a value that names a local file, or empty for addresses elsewhere. (The
/// values are short: one loop over them costs less than a library search per character
/// sought.)
std::string_view localPart(std::string_view value) {
    while (!value.empty() && isBlank(value.front()))
        value.remove_prefix(1);
    size_t end = 0;
    size_t colon = std::string_view::npos, slash = std::string_view::npos;
    bool expression = false;
    for (; end < value.size() && value[end] != '#' && value[end] != '?'; ++end) {
        const char c = value[end];
        if (c == ':' && colon == std::string_view::npos)
            colon = end;
        else if (c == '/' && slash == std::string_view::npos)
            slash = end;
        else if (c == '\'' || c == '+')
            expression = true;
    }
    while (end > 0 && isBlank(value[end - 1]))
        --end;
    value = value.substr(0, end);
    if (value.empty() || (colon != std::string_view::npos && (slash == std::string_view::npos ||
                                                               colon < slash)) ||
        value[0] == '/' || value[0] == '\\' || expression)
        return {}; // a scheme, a drive, an absolute path or a script expression
    return value;
}

/// True for a relative path of "/"-separated names, none empty, "." or "..", without
/// "%" or "\\": one that decoding and normalising give back unchanged.
bool isPlainRelative(std::string_view path) {
    if (path.empty())
        return false;
    size_t partStart = 0;
    for (size_t at = 0; at <= path.size(); ++at) {
        const char c = at < path.size() ? path[at] : '/';
        if (c == '%' || c == '\\')
            return false;
        if (c != '/')
            continue;
        const size_t length = at - partStart;
        if (length == 0 || (path[partStart] == '.' && (length == 1 || (length == 2 &&
                                                                        path[partStart + 1] == '.'))))
            return false;
        partStart = at + 1;
    }
    return true;
}

/// isPlainRelative, and no upper-case ASCII letter: a path that is its own lower-case form.
bool isPlainLowerRelative(std::string_view path) {
    for (char c : path)
        if (c >= 'A' && c <= 'Z')
            return false;
    return isPlainRelative(path);
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

/// The value of the attribute whose "=" is at eq, when it is one that names a file.
std::string_view attributeReference(std::string_view line, size_t eq) {
    size_t end = eq;
    while (end > 0 && isBlank(line[end - 1]))
        --end;
    size_t start = end;
    while (start > 0 && isNameChar(line[start - 1]))
        --start;
    if (start == end || (start > 0 && !isBlank(line[start - 1]) && line[start - 1] != '<' &&
                         line[start - 1] != '"' && line[start - 1] != '\''))
        return {};
    if (!isReferenceAttribute(line.substr(start, end - start)))
        return {};
    return valueAt(line, eq + 1, false);
}

/// The value inside "url(" when the "(" at open ends one.
std::string_view urlReference(std::string_view line, size_t open) {
    if (open >= 3 && lowerAscii(line[open - 3]) == 'u' && lowerAscii(line[open - 2]) == 'r' &&
        lowerAscii(line[open - 1]) == 'l')
        return valueAt(line, open + 1, true);
    return {};
}

/// Calls found with the value of every reference of the line as written (localPart
/// tells whether it names a local file), in the order of the line's attributes, then of
/// its url(...) values.
template <typename Found> void forEachReference(std::string_view line, Found found) {
    for (size_t eq = line.find('='); eq != std::string_view::npos; eq = line.find('=', eq + 1))
        if (const std::string_view value = attributeReference(line, eq); !value.empty())
            found(value);
    for (size_t open = line.find('('); open != std::string_view::npos;
         open = line.find('(', open + 1))
        if (const std::string_view value = urlReference(line, open); !value.empty())
            found(value);
}

} // namespace

std::vector<std::string> localReferences(std::string_view line) {
    std::vector<std::string> refs;
    forEachReference(line, [&](std::string_view value) {
        if (const std::string_view local = localPart(value); !local.empty())
            refs.emplace_back(local);
    });
    return refs;
}

PageReferences::PageReferences(fs::path projectDir) : m_projectDir(std::move(projectDir)) {}

void PageReferences::scan(const Lines& page, std::string_view chapterFolder,
                          std::string_view pageName) {
    std::string text;
    for (const std::string& line : page) {
        text += line;
        text += "\r\n";
    }
    scanText(text, chapterFolder, pageName);
}

void PageReferences::scanText(std::string_view text, std::string_view chapterFolder,
                              std::string_view pageName, std::span<const std::string_view> ownPages,
                              size_t skipBegin, size_t skipEnd) {
    // A value met before on this page was noted then (the folder is the page's own): the
    // same link on every line of a page costs one comparison of a few values. A link to a
    // page of the run, written plain, would be found listed: it counts as met.
    m_pageValues.clear();
    for (const std::string_view page : ownPages) {
        m_key.assign(chapterFolder);
        m_key.append(page);
        if (localPart(page) == page && isPlainRelative(m_key))
            m_pageValues.push_back(page);
    }
    // Values are short: a loop compares them sooner than a library call.
    const auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return false;
        return true;
    };
    const auto found = [&](std::string_view value) {
        for (const std::string_view& met : m_pageValues)
            if (same(met, value))
                return;
        if (m_pageValues.size() < kPageValues)
            m_pageValues.push_back(value);
        note(chapterFolder, pageName, value);
    };
    // One pass finds the line ends, the "=" and the "(" of a part of the page; each
    // line's attribute values are taken before its url(...) values.
    const auto scanPart = [&](std::string_view part) {
        size_t lineStart = 0;
        const auto endLine = [&](size_t end) {
            if (m_equals.empty() && m_opens.empty())
                return;
            const std::string_view line = part.substr(lineStart, end - lineStart);
            for (const size_t eq : m_equals)
                if (const std::string_view value = attributeReference(line, eq - lineStart);
                    !value.empty())
                    found(value);
            for (const size_t open : m_opens)
                if (const std::string_view value = urlReference(line, open - lineStart);
                    !value.empty())
                    found(value);
            m_equals.clear();
            m_opens.clear();
        };
        forEachByteOf(part, '\n', '=', '(', [&](size_t at) {
            if (part[at] == '=') {
                m_equals.push_back(at);
            } else if (part[at] == '(') {
                m_opens.push_back(at);
            } else {
                endLine(at > lineStart && part[at - 1] == '\r' ? at - 1 : at);
                lineStart = at + 1;
            }
        });
        endLine(part.size());
    };
    skipBegin = std::min(skipBegin, text.size());
    skipEnd = std::clamp(skipEnd, skipBegin, text.size());
    scanPart(text.substr(0, skipBegin));
    scanPart(text.substr(skipEnd));
    if (text.find("qwPopupLink") != std::string_view::npos)
        note("", pageName, "TxPopups.js");
}

void PageReferences::note(std::string_view chapterFolder, std::string_view pageName,
                          std::string_view value) {
    // Most references repeat from line to line and page to page: the key is built in a
    // kept buffer, so a repeated one costs one lookup and no allocation.
    m_key.assign(chapterFolder);
    m_key.append(value);
    // The same reference again on the next line needs one comparison; again soon after
    // (the style sheet and script of every page, the page before and after as the next
    // pages' neighbours) a few, and no lookup.
    if (m_key == m_recent[m_lastRecent])
        return;
    for (const std::string& recent : m_recent)
        if (recent == m_key)
            return;
    m_lastRecent = (m_lastRecent + 1) % m_recent.size();
    m_recent[m_lastRecent].assign(m_key);
    // A link to a page of the run, written as the plain lower-case path it is listed
    // under, needs one lookup (such keys never enter m_seen).
    if (m_knowsListed && isPlainLowerRelative(m_key) && m_listed.count(m_key) != 0 &&
        localPart(value) == value)
        return;
    if (m_seen.find(m_key) != m_seen.end())
        return;
    const std::string_view ref = localPart(value);
    if (ref.empty()) {
        m_seen.insert(m_key);
        return;
    }
    m_normal.assign(chapterFolder);
    m_normal.append(ref);
    // Most references (the pages' links to each other) are plain relative paths that
    // normalising would leave as they are.
    if (!isPlainRelative(m_normal))
        m_normal =
            fs::path(toSlashes(percentDecoded(m_normal))).lexically_normal().generic_string();
    const std::string& relative = m_normal;
    m_lower.resize(relative.size());
    std::transform(relative.begin(), relative.end(), m_lower.begin(), lowerAscii);
    // A page of the run is listed anyway: nothing is kept for it, not even the key, so
    // that a link to every page costs no memory.
    if (m_listed.count(m_lower) != 0)
        return;
    m_seen.insert(m_key);
    if (relative.empty() || startsWith(relative, "..") || relative.back() == '/')
        return; // outside the project directory: not ours to pack
    if (!m_noted.insert(m_lower).second)
        return;
    m_pending.push_back({relative, std::string(chapterFolder) + std::string(pageName) +
                                       " refers to '" + std::string(ref) + "'"});
}

void PageReferences::resolve(const std::unordered_set<std::string>& known) {
    for (const Pending& pending : m_pending) {
        const std::string lower = toLower(pending.relative);
        if (known.count(lower) != 0 || m_listed.count(lower) != 0)
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
