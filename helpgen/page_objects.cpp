#include "helpgen/page_objects.h"

#include "core/project_settings.h"
#include "core/text_util.h"
#include "core/topic_table.h"

#include <algorithm>

namespace qw {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

/// The link target of a neighbouring row: its file name, or the address of a web topic
/// (a "WEB:" prefix would make the link point nowhere).
std::string_view neighbourHref(const TopicTable& table, size_t row) {
    const std::string_view name = table.cell(row, ColFileName);
    return table.isWebTopic(row) ? name.substr(kWebPrefix.size()) : name;
}

void appendPageLink(std::string& text, std::string_view href, std::string_view label) {
    text += "<a Class=\"NxtPrvPage\" href=\"";
    text += href;
    text += "\">";
    text += label;
    text += "</a>";
}

std::string imageLabel(const std::string& image, const char* alt) {
    return "<img src=\"" + image + "\" alt=\"" + alt + "\" border=\"0\">";
}

/// Calls found with every item of a cell as pageItemList gives it, but as a view.
template <typename Found> void forEachItem(std::string_view cell, Found found) {
    size_t at = 0;
    for (std::string_view item = nextItem(cell, at); !item.empty(); item = nextItem(cell, at))
        found(item);
}

/// Appends an item with its double quotes turned into single quotes.
void appendItem(std::string& text, std::string_view item) {
    const size_t at = text.size();
    text += item;
    std::replace(text.begin() + long(at), text.end(), '"', '\'');
}

} // namespace

bool nextPageItem(std::string_view cell, size_t& at, std::string& item) {
    const std::string_view view = nextItem(cell, at);
    if (view.empty())
        return false;
    item.clear();
    appendItem(item, view);
    return true;
}

std::vector<std::string> pageItemList(std::string_view cell) {
    std::vector<std::string> items;
    forEachItem(cell, [&items](std::string_view item) {
        std::string& added = items.emplace_back();
        appendItem(added, item);
    });
    return items;
}

void appendPrevNextLinks(const TopicTable& table, size_t row, const ProjectSettings& project,
                         std::string& text) {
    const bool first = table.isChapterRow(row - 1);
    const bool last = row + 1 >= table.rowCount() || table.isChapterRow(row + 1);
    if (first && last)
        return;
    const bool images = project.usePrevNextImages;
    const std::string prevLabel =
        images ? imageLabel(project.prevPageImage, "Previous Page") : "Previous Page";
    const std::string nextLabel =
        images ? imageLabel(project.nextPageImage, "Next Page") : "Next Page";
    text += "<P Align=\"Right\">";
    text += kLineEnd;
    if (first) {
        appendPageLink(text, neighbourHref(table, row + 1), nextLabel);
    } else if (last) {
        appendPageLink(text, neighbourHref(table, row - 1), prevLabel);
    } else {
        appendPageLink(text, neighbourHref(table, row - 1), prevLabel);
        text += " &nbsp ";
        appendPageLink(text, neighbourHref(table, row + 1), nextLabel);
    }
    text += kLineEnd;
    text += "</P>";
    text += kLineEnd;
}

void appendKeywordObject(std::string_view keyWords, std::string& text) {
    bool any = false;
    forEachItem(keyWords, [&](std::string_view keyword) {
        if (!any)
            text += "<Object type=\"application/x-oleobject\" "
                    "classid=\"clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e\">\r\n";
        any = true;
        text += "\t<param name=\"Keyword\" value=\"";
        appendItem(text, keyword);
        text += "\">\r\n";
    });
    if (any)
        text += "</OBJECT>\r\n\r\n";
}

void appendRelatedTopicsObject(std::string_view related, std::string& text) {
    size_t count = 0;
    forEachItem(related, [&](std::string_view item) {
        if (count == 0)
            text += "<OBJECT id=hhRelat type=\"application/x-oleobject\"\r\n"
                    "\tclassid=\"clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11\"\r\n"
                    "\tcodebase=\"hhctrl.ocx#Version=4,73,8412,0\"\r\n"
                    "\twidth=100 height=100>\r\n"
                    "\r\n"
                    "\t<PARAM name=\"Command\" value=\"Related Topics, MENU\">\r\n"
                    "\t<PARAM name=\"Button\" value=\"Text:Related Topics\">\r\n"
                    "\t<PARAM name=\"Flags\" value=\"1\">\r\n";
        text += "\t<PARAM name=\"Item";
        text += std::to_string(++count);
        text += "\" value=\"";
        appendItem(text, item);
        text += "\">\r\n";
    });
    if (count > 0)
        text += "</OBJECT>\r\n\r\n";
}

} // namespace qw
