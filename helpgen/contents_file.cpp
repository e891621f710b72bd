#include "helpgen/contents_file.h"

#include "core/file_io.h"
#include "core/project_settings.h"
#include "core/text_util.h"
#include "core/topic_table.h"
#include "helpgen/text_sink.h"

#include <algorithm>

namespace qw {

namespace {

constexpr const char* kHeadLines[] = {
    "<HTML><HEAD>", "\t<meta name=\"GENERATOR\" content=\"Quillery\">", "</HEAD><BODY>"};

/// A double quote would end the attribute value early; it is shown as a single quote.
std::string attributeText(std::string text) {
    std::replace(text.begin(), text.end(), '"', '\'');
    return text;
}

/// Appends the parameter line of name and value to line (without its line end), the
/// value's double quotes shown as single quotes when asked.
void appendParamLine(std::string& line, const char* tabs, const char* name, std::string_view value,
                     bool quotesAsApostrophes) {
    line.append(tabs).append("<param name=\"").append(name).append("\" value=\"");
    const size_t at = line.size();
    line.append(value);
    if (quotesAsApostrophes)
        std::replace(line.begin() + long(at), line.end(), '"', '\'');
    line.append("\">");
}

std::string paramLine(const char* tabs, const char* name, const std::string& value) {
    std::string line;
    appendParamLine(line, tabs, name, value, false);
    return line;
}

bool isHidden(const TopicTable& table, size_t row) {
    // The title shown starts where the cell does: no copy of it is needed.
    return startsWith(table.cell(row, ColTitle), "!!!");
}

void appendPageEntry(const TopicTable& table, size_t row, TextSink& out) {
    if (isHidden(table, row))
        return;
    long long icon = 0;
    if (!parseInt(trimView(table.cell(row, ColIcon)), icon))
        throw FileError("'" + table.cell(row, ColIcon) + "' is not a valid icon number (topic '" +
                        table.displayTitle(row) + "')");
    // The lines are made in memory kept from topic to topic.
    thread_local std::string line;
    out.push_back("\t<LI> <OBJECT type=\"text/sitemap\">");
    const std::string& title = table.cell(row, ColTitle);
    line.clear();
    appendParamLine(line, "\t\t\t", "Name", std::string_view(title).substr(0, title.find('#')), true);
    out.push_back(line);
    line.assign("\t\t\t<param name=\"Local\" value=\"");
    table.appendTopicLinkPath(row, line);
    line.append("\">");
    out.push_back(line);
    line.clear();
    appendParamLine(line, "\t\t\t", "ImageNumber", std::to_string(icon + 1), false);
    out.push_back(line);
    out.push_back("\t</OBJECT>");
}

void appendSpecialPages(const TopicTable& table, char role, TextSink& out) {
    for (size_t r = 1; r < table.endRow(); ++r) {
        const std::string& marker = table.cell(r, ColMarker);
        if (table.isTopicRow(r) && marker.find(role) != std::string::npos)
            appendPageEntry(table, r, out);
    }
}

void appendSiteProperties(const ProjectSettings& project, TextSink& out) {
    out.push_back("<OBJECT type=\"text/site properties\">");
    if (!trim(project.customIconsBmp).empty()) {
        out.push_back("\t<param name=\"ImageList\" value=\"file://C:\\" +
                      fileNameOf(trim(project.customIconsBmp)) + "\">");
        out.push_back(paramLine("\t", "Image Width", "16"));
        out.push_back(paramLine("\t", "Color Mask", "0xff00ff"));
    }
    out.push_back(paramLine("\t", "Window Styles", project.contentsOptVal));
    if (project.userFolders)
        out.push_back(paramLine("\t", "ImageType", "Folder"));
    out.push_back("</OBJECT>");
}

bool isSpecialPage(const ProjectSettings& project, const std::string& link) {
    const SpecialPages& pages = project.pages;
    return link == pages.whatsNewPage || link == pages.copyrightPage || link == pages.welcomePage;
}

void appendChapters(const TopicTable& table, const ProjectSettings& project, TextSink& out) {
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r)) {
            out.push_back("\t<LI> <OBJECT type=\"text/sitemap\">");
            out.push_back(paramLine("\t\t", "Name", attributeText(table.displayTitle(r))));
            out.push_back("\t</OBJECT>");
            out.push_back("\t<UL>");
        } else if (!isSpecialPage(project, table.topicLinkPath(r))) {
            appendPageEntry(table, r, out);
        }
        // A chapter without topics still closes its list.
        if (table.isChapterRow(r + 1))
            out.push_back("\t</UL>");
    }
}

/// The first row of a special-page pass that has a page entry; 0 when none.
size_t firstSpecialPage(const TopicTable& table, char role) {
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isTopicRow(r) && table.cell(r, ColMarker).find(role) != std::string::npos &&
            !isHidden(table, r))
            return r;
    return 0;
}

} // namespace

std::string firstContentsTopic(const TopicTable& table, const ProjectSettings& project) {
    for (char role : {'w', 'n'})
        if (const size_t r = firstSpecialPage(table, role); r != 0)
            return table.topicLinkPath(r);
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isTopicRow(r) && !isHidden(table, r) &&
            !isSpecialPage(project, table.topicLinkPath(r)))
            return table.topicLinkPath(r);
    const size_t r = firstSpecialPage(table, 'r');
    return r == 0 ? std::string() : table.topicLinkPath(r);
}

std::string effectiveDefaultPage(const TopicTable& table, const ProjectSettings& project) {
    const std::string& page = project.pages.defaultPage;
    return trim(page).empty() ? firstContentsTopic(table, project) : page;
}

void writeContentsFile(const TopicTable& table, const ProjectSettings& project,
                       const std::filesystem::path& path) {
    TextSink out(path);
    for (const char* line : kHeadLines)
        out.push_back(line);
    appendSiteProperties(project, out);
    out.push_back("<UL>");
    appendSpecialPages(table, 'w', out);
    appendSpecialPages(table, 'n', out);
    appendChapters(table, project, out);
    appendSpecialPages(table, 'r', out);
    if (project.showMenu) {
        out.push_back("\t<LI> <OBJECT type=\"text/sitemap\">");
        out.push_back(paramLine("\t\t\t", "Name", "About Quirewright"));
        out.push_back(paramLine("\t\t\t", "Local", "aboutjmp.htm"));
        out.push_back(paramLine("\t\t\t", "ImageNumber", "17"));
        out.push_back("\t</OBJECT>");
    }
    out.push_back("</UL>");
    out.push_back("</BODY></HTML>");
    out.commit();
}

} // namespace qw
