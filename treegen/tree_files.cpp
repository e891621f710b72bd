#include "treegen/tree_files.h"

#include "core/text_util.h"
#include "treegen/tree_rows.h"

#include <cctype>

namespace qw {

namespace fs = std::filesystem;

namespace {

constexpr auto kReplace = fs::copy_options::overwrite_existing;

char lowerChar(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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
        std::error_code copyError;
        fs::copy_file(file, m_context.values.treeDir / file.filename(), kReplace, copyError);
        if (copyError)
            failed();
        copied = copied || !copyError;
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
    fs::copy_file(m_context.values.iconDir / "Items" / name, target, ec);
    if (ec)
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

bool copyIntoDirectory(const fs::path& source, const fs::path& targetDir) {
    std::error_code ec;
    const std::string leaf = source.filename().string();
    if (leaf.find_first_of("*?") != std::string::npos) {
        bool any = false;
        for (fs::directory_iterator it(source.parent_path(), ec), end; !ec && it != end;
             it.increment(ec)) {
            if (!it->is_regular_file() || !wildcardMatch(leaf, it->path().filename().string()))
                continue;
            std::error_code copyError;
            fs::copy_file(it->path(), targetDir / it->path().filename(), kReplace, copyError);
            any = any || !copyError;
        }
        return any;
    }
    if (fs::is_directory(source, ec)) {
        const fs::path target = targetDir / source.filename();
        fs::create_directories(target, ec);
        fs::copy(source, target, fs::copy_options::recursive | kReplace, ec);
        return !ec;
    }
    fs::copy_file(source, targetDir / source.filename(), kReplace, ec);
    return !ec;
}

} // namespace qw
