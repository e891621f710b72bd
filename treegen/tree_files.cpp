#include "treegen/tree_files.h"

#include "core/safe_output.h"
#include "core/text_util.h"
#include "treegen/tree_rows.h"

#include <cctype>

namespace qw {

namespace fs = std::filesystem;

namespace {

char lowerChar(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

/// Copies one file through the guard; false when the source cannot be read.
bool copyOne(const fs::path& source, const fs::path& target, OutputGuard& guard) {
    std::string bytes;
    try {
        bytes = readFileBytes(source);
    } catch (const FileError&) {
        return false;
    }
    guard.write(target, bytes, Replace::Own);
    return true;
}

/// Copies a folder of the program's data into targetDir as a folder of that name.
bool copyFolder(const fs::path& source, const fs::path& target, OutputGuard& guard) {
    guard.makeDirectory(target);
    bool all = true;
    std::error_code ec;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path to = target / it->path().filename();
        if (it->is_directory(ec))
            all = copyFolder(it->path(), to, guard) && all;
        else
            all = copyOne(it->path(), to, guard) && all;
    }
    return all && !ec;
}

} // namespace

void TreeFiles::failed() const {
    if (m_context.copyFailed)
        m_context.copyFailed();
}

void TreeFiles::copyIconSet() {
    std::error_code ec;
    const fs::path& setDir = m_context.values.iconSetDir;
    bool copied = false;
    for (fs::directory_iterator it(setDir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& file = it->path();
        if (!it->is_regular_file(ec) || !endsWithNoCase(file.filename().string(), ".gif"))
            continue;
        const bool read = copyOne(file, m_context.values.treeDir / file.filename(), m_guard);
        if (!read)
            failed();
        copied = copied || read;
    }
    if (ec || !copied)
        failed();
}

void TreeFiles::copyItemIcon(std::string_view iconCell) {
    const std::string name = iconFileName(iconCell);
    if (m_present.count(name) != 0)
        return;
    m_present.insert(name);
    const fs::path target = m_context.values.treeDir / name;
    std::error_code ec;
    if (fs::exists(target, ec))
        return;
    if (!isIconNumber(iconCell)) {
        failed();
        return;
    }
    if (!copyOne(m_context.values.iconDir / "Items" / name, target, m_guard))
        failed();
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || lowerChar(pattern[p]) == lowerChar(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool copyIntoDirectory(const fs::path& source, const fs::path& targetDir, OutputGuard& guard) {
    std::error_code ec;
    const std::string leaf = source.filename().string();
    if (leaf.find_first_of("*?") != std::string::npos) {
        bool any = false;
        for (fs::directory_iterator it(source.parent_path(), ec), end; !ec && it != end;
             it.increment(ec)) {
            if (!it->is_regular_file() || !wildcardMatch(leaf, it->path().filename().string()))
                continue;
            any = copyOne(it->path(), targetDir / it->path().filename(), guard) || any;
        }
        return any;
    }
    if (fs::is_directory(source, ec))
        return copyFolder(source, targetDir / source.filename(), guard);
    return copyOne(source, targetDir / source.filename(), guard);
}

} // namespace qw
