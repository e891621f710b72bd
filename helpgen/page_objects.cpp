#include "helpgen/page_objects.h"

#include "core/project_settings.h"
#include "core/text_util.h"
#include "core/topic_table.h"

#include <algorithm>

namespace qw {

namespace {

/// The link target of a neighbouring row: its file name, or the address of a web topic
/// (a "WEB:" prefix would make the link point nowhere).
std::string neighbourHref(const TopicTable& table, size_t row) {
    const std::string& name = table.cell(row, ColFileName);
    return table.isWebTopic(row) ? name.substr(kWebPrefix.size()) : name;
}

std::string pageLink(const std::string& href, const std::string& label) {
    return "<a Class=\"NxtPrvPage\" href=\"" + href + "\">" + label + "</a>";
}

std::string imageLabel(const std::string& image, const char* alt) {
    return "<img src=\"" + image + "\" alt=\"" + alt + "\" border=\"0\">";
}

} // namespace

std::vector<std::string> pageItemList(std::string_view cell) {
    std::vector<std::string> items = splitItems(cell);
    for (std::string& item : items)
        std::replace(item.begin(), item.end(), '"', '\'');
    return items;
}

void appendPrevNextLinks(const TopicTable& table, size_t row, const ProjectSettings& project,
                         Lines& page) {
    const bool first = table.isChapterRow(row - 1);
    const bool last = row + 1 >= table.rowCount() || table.isChapterRow(row + 1);
    if (first && last)
        return;
    const bool images = project.usePrevNextImages;
    const std::string prevLabel =
        images ? imageLabel(project.prevPageImage, "Previous Page") : "Previous Page";
    const std::string nextLabel =
        images ? imageLabel(project.nextPageImage, "Next Page") : "Next Page";
    page.push_back("<P Align=\"Right\">");
    if (first)
        page.push_back(pageLink(neighbourHref(table, row + 1), nextLabel));
    else if (last)
        page.push_back(pageLink(neighbourHref(table, row - 1), prevLabel));
    else
        page.push_back(pageLink(neighbourHref(table, row - 1), prevLabel) + " &nbsp " +
                       pageLink(neighbourHref(table, row + 1), nextLabel));
    page.push_back("</P>");
}

void appendKeywordObject(std::string_view keyWords, Lines& page) {
    const std::vector<std::string> items = pageItemList(keyWords);
    if (items.empty())
        return;
    page.push_back("<Object type=\"application/x-oleobject\" "
                   "classid=\"clsid:1e2a7bd0-dab9-11d0-b93a-00c04fc99f9e\">");
    for (const std::string& keyword : items)
        page.push_back("\t<param name=\"Keyword\" value=\"" + keyword + "\">");
    page.push_back("</OBJECT>");
    page.push_back("");
}

void appendRelatedTopicsObject(std::string_view related, Lines& page) {
    const std::vector<std::string> items = pageItemList(related);
    if (items.empty())
        return;
    page.push_back("<OBJECT id=hhRelat type=\"application/x-oleobject\"");
    page.push_back("\tclassid=\"clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11\"");
    page.push_back("\tcodebase=\"hhctrl.ocx#Version=4,73,8412,0\"");
    page.push_back("\twidth=100 height=100>");
    page.push_back("");
    page.push_back("\t<PARAM name=\"Command\" value=\"Related Topics, MENU\">");
    page.push_back("\t<PARAM name=\"Button\" value=\"Text:Related Topics\">");
    page.push_back("\t<PARAM name=\"Flags\" value=\"1\">");
    for (size_t i = 0; i < items.size(); ++i)
        page.push_back("\t<PARAM name=\"Item" + std::to_string(i + 1) + "\" value=\"" + items[i] +
                       "\">");
    page.push_back("</OBJECT>");
    page.push_back("");
}

} // namespace qw
