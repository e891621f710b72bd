#include "core/cell_input.h"

#include "core/environment_settings.h"
#include "core/file_io.h"
#include "core/file_names.h"
#include "core/text_util.h"
#include "core/topic_table.h"

namespace qw {

namespace {

bool isPlainFileNameKey(char32_t key) {
    return key == kBackspaceKey || key == '.' || key == '_' || (key >= '0' && key <= '9') ||
           (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
}

bool onlyEndOfList(const TopicTable& table) {
    return table.rowCount() <= 2;
}

constexpr const char* kEditHint =
    "Press F2 To Edit. Right-Click To Insert/Delete Topics & Set/Disable Special Topic";

std::string topicStatusText(int column) {
    switch (column) {
    case ColTitle:
    case ColFileName:
        return kEditHint;
    case ColBgImage:
        return "Double Click To Set/Change The Background Image";
    case ColBgColour:
        return "Double Click To Set/Change The Background Colour";
    case ColKeyWords:
        return "Double Click Cell To View And Edit Keywords";
    case ColRelated:
        return "Double Click Cell To View And Edit Related Topics";
    default:
        return {};
    }
}

} // namespace

bool acceptsTypedKey(const TopicTable& table, size_t row, int column, char32_t key,
                     std::string_view cellText) {
    if (onlyEndOfList(table) || !table.isDataRow(row))
        return false;
    if (column == ColFileName && !isPlainFileNameKey(key) && cellText.substr(0, 3) != "WEB")
        return false;
    if (table.isChapterRow(row))
        return column == ColTitle;
    return column == ColTitle || column == ColFileName || column == ColBgImage;
}

bool honoursDeleteKey(int column) {
    return column == ColTitle || column == ColFileName || column == ColBgImage;
}

void fileNameAfterKey(TopicTable& table, size_t row, int column, const EnvironmentSettings& env) {
    if (!env.autoRecalcTopicFN || column != ColTitle || !table.isTopicRow(row))
        return;
    if (table.isWebTopic(row))
        return;
    std::string prefix;
    if (endsWithNoCase(table.cell(row, ColMainFileName), ".tem")) {
        const size_t chapter = table.chapterRowOf(row);
        prefix = toLower(fileNameOf(table.cell(chapter, ColMainFileName)).substr(0, 3)) + "_";
    }
    nameWhileTyping(table, row, prefix, FileNameOptions::from(env));
}

std::string cellStatusText(const TopicTable& table, size_t row, int column) {
    if (!table.isDataRow(row))
        return {};
    if (!table.isChapterRow(row))
        return topicStatusText(column);
    const std::string& path = table.cell(row, ColMainFileName);
    const std::string& dir = table.projectDir();
    const std::string shown = startsWith(path, dir) ? path.substr(dir.size()) : path;
    const std::string text = "Chapter Filename: " + shown;
    return column == ColTitle ? "Press F2 To Edit. " + text : text;
}

std::string relativeLink(std::string_view target, std::string_view base) {
    const std::string t = toSlashes(target);
    const std::string b = toSlashes(base);
    const std::string lowerT = toLower(t);
    const std::string lowerB = toLower(b);
    size_t common = 0;
    while (common < lowerT.size() && common < lowerB.size() && lowerT[common] == lowerB[common])
        ++common;
    const size_t slash = lowerT.substr(0, common).rfind('/');
    const size_t cut = slash == std::string::npos ? 0 : slash + 1;
    std::string result;
    const std::string_view baseRest = std::string_view(b).substr(cut);
    for (const char c : baseRest) {
        if (c == '/')
            result += "../";
    }
    return result + t.substr(cut);
}

ImagePick pickBackgroundImage(const TopicTable& table, size_t row, std::string_view imagePath) {
    ImagePick pick;
    if (!startsWith(imagePath, table.projectDir())) {
        pick.message = "Please select an Image in the same directory,\r\nor a sub-directory of "
                       "the Project. (i.e. in a Relative Path).";
        return pick;
    }
    pick.accepted = true;
    pick.cell = relativeLink(imagePath, table.cell(row, ColMainFileName));
    return pick;
}

} // namespace qw
