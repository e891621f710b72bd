#include "treegen/tree_rows.h"

#include "core/file_io.h"
#include "core/text_util.h"

#include <array>
#include <unordered_set>

namespace qw {

namespace {

bool isAbsoluteAddress(std::string_view address) {
    static constexpr std::array<std::string_view, 5> kSchemes = {"HTTP:", "HTTPS", "NEWS:", "MAILT",
                                                                 "FILE:"};
    const std::string head = toUpper(address.substr(0, 5));
    for (const auto scheme : kSchemes)
        if (head == scheme)
            return true;
    return false;
}

} // namespace

std::string treeHref(const TopicTable& table, size_t row, std::string_view relativePrefix) {
    const std::string path = table.topicLinkPath(row);
    if (table.isWebTopic(row) && isAbsoluteAddress(path))
        return path;
    return std::string(relativePrefix) + path;
}

std::string shownTitle(std::string_view displayTitle) {
    std::string out;
    out.reserve(displayTitle.size() + 16);
    for (const char c : displayTitle) {
        if (c == ' ')
            out += "&nbsp;";
        else
            out += c;
    }
    return out;
}

std::string iconFileName(std::string_view iconCell) {
    return "icon_" + std::string(iconCell) + ".gif";
}

bool isIconNumber(std::string_view iconCell) {
    if (iconCell.empty() || iconCell.size() > 9)
        return false;
    for (const char c : iconCell)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool isHiddenTopic(const TopicTable& table, size_t row) {
    return startsWith(table.cell(row, ColTitle), "!!!");
}

bool isRolePage(const TopicTable& table, size_t row, const SpecialPages& pages) {
    const std::string path = table.topicLinkPath(row);
    auto is = [&path](const std::string& page) { return !page.empty() && path == page; };
    return is(pages.whatsNewPage) || is(pages.copyrightPage) || is(pages.welcomePage);
}

std::vector<std::string> chapterPageNames(const TopicTable& table, const FileNameOptions& options) {
    std::vector<std::string> names;
    std::unordered_set<std::string> taken;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (!table.isChapterRow(r))
            continue;
        const std::string name =
            fileNameRule("fol_" + toLower(fileNameOf(table.cell(r, ColMainFileName))), options);
        std::string unique = name;
        for (int n = 2; taken.count(toLower(unique)) != 0; ++n) {
            const size_t dot = name.rfind('.');
            const std::string suffix = "_" + std::to_string(n);
            unique = dot == std::string::npos ? name + suffix
                                              : name.substr(0, dot) + suffix + name.substr(dot);
        }
        taken.insert(toLower(unique));
        names.push_back(unique);
    }
    return names;
}

std::string scriptString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\'':
            out += "\\'";
            break;
        case '"':
            out += "\\x22";
            break;
        case '<':
            out += "\\x3C";
            break;
        case '\r':
        case '\n':
            out += ' ';
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string statusText(std::string_view text) {
    // The attribute is decoded before the script runs, so an entity such as "&#39;"
    // would end the script's string early: "&" is escaped for the script as well.
    std::string out;
    for (const char c : scriptString(text)) {
        if (c == '&')
            out += "\\x26";
        else
            out += c;
    }
    return out;
}

std::string attributeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

} // namespace qw
