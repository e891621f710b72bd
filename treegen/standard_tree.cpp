#include "treegen/standard_tree.h"

#include "core/text_util.h"
#include "core/topic_table.h"
#include "helpgen/contents_file.h"
#include "treegen/tree_rows.h"
#include "treegen/tree_search.h"

namespace qw {

namespace fs = std::filesystem;

namespace {

const std::string kTableOpen = "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\">";
const std::string kImageSize = "\" height=\"18\" width=\"19\" border=\"0\">";
const std::string kStatusEnd = "';return true;\" onMouseOut=\"window.status=''\"";

std::string image(std::string_view file) {
    return "<img src=\"" + std::string(file) + kImageSize;
}

std::string status(std::string_view text) {
    return "onMouseOver=\"window.status='" + statusText(text) + kStatusEnd;
}

/// The line of a topic or role entry after its branch cells.
std::string entryCells(const std::string& icon, const std::string& href, const std::string& hint,
                       const std::string& title) {
    return "</td><td>" + image(icon) + "</td><td valign=\"middle\"><small>" + "<a href=\"" +
           attributeText(href) + "\" target=\"frmtopic\" " + status(hint) + ">" + title +
           "</a></small></td></tr></table>";
}

} // namespace

namespace {

std::unique_ptr<OutputGuard> guardUnlessGiven(const TreeContext& context, OutputGuard* given) {
    return given != nullptr ? nullptr : std::make_unique<OutputGuard>(context.table);
}

} // namespace

StandardTreeWriter::StandardTreeWriter(const TreeContext& context, OutputGuard* guard)
    : m_context(context), m_ownGuard(guardUnlessGiven(context, guard)),
      m_guard(guard != nullptr ? *guard : *m_ownGuard), m_files(context, m_guard) {}

Lines StandardTreeWriter::frameSet() const {
    const TreeOptions& o = m_context.options;
    const TreeValues& v = m_context.values;
    const std::string width = trim(o.frameWidth).empty() ? "180" : o.frameWidth;
    Lines lines = {
        "<HTML><HEAD><TITLE>" + m_context.project.titleBarText + "</TITLE></HEAD>",
        "<FRAMESET COLS=\"" + attributeText(width) + "px,*\" " + v.frameBorderAttributes +
            "><FRAME SRC=\"" + v.frameSetPrefix + "unexpand.htm" + "\" scrolling=\"auto\">",
        "<FRAME name=\"frmtopic\" src=\"" +
            attributeText(effectiveDefaultPage(m_context.table, m_context.project)) +
            "\"></FRAMESET>",
        "<NOFRAMES><BODY><A href=\"" + v.frameSetPrefix + "expand.htm" +
            "\">No Frames- Click here for contents</A></BODY></NOFRAMES></HTML>",
    };
    // A browser puts these into the head, although they follow it.
    if (m_context.readerAids)
        lines.insert(lines.begin() + 1, std::string(kViewportMeta) + "<script src=\"" +
                                            v.frameSetPrefix + kFrameScript + "\"></script>");
    return lines;
}

void StandardTreeWriter::precompute() {
    const TopicTable& table = m_context.table;
    m_ready = true;
    m_pageNames = chapterPageNames(table, m_context.fileNames);
    m_chapterOf.assign(table.rowCount(), 0);
    m_topicLines.assign(table.rowCount(), std::string());
    size_t chapter = 0;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r)) {
            m_chapterOf[r] = ++chapter;
            continue;
        }
        m_chapterOf[r] = chapter;
        if (isHiddenTopic(table, r) || isRolePage(table, r, m_context.project.pages))
            continue;
        m_topicLines[r] = topicLine(r);
        m_files.copyItemIcon(table.cell(r, ColIcon));
    }
}

std::string StandardTreeWriter::topicLine(size_t row) const {
    const TopicTable& table = m_context.table;
    const bool last = table.cell(row + 1, ColMarker) == kChapterMarker;
    return kTableOpen + "<tr><td>" + image("branch_i.gif") + "</td><td>" +
           image(last ? "branch_l.gif" : "branch_t.gif") +
           entryCells(iconFileName(table.cell(row, ColIcon)),
                      treeHref(table, row, m_context.values.relativePrefix), table.hint(row),
                      shownTitle(table.displayTitle(row)));
}

std::string StandardTreeWriter::roleLine(size_t row) const {
    const TopicTable& table = m_context.table;
    return kTableOpen + "<tr><td>" + image("branch_t.gif") +
           entryCells(iconFileName(table.cell(row, ColIcon)),
                      treeHref(table, row, m_context.values.relativePrefix), table.hint(row),
                      shownTitle(table.displayTitle(row)));
}

void StandardTreeWriter::appendRoleLines(Lines& page, char letter) {
    const TopicTable& table = m_context.table;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r) || table.cell(r, ColMarker).find(letter) == std::string::npos)
            continue;
        page.push_back(roleLine(r));
        m_files.copyItemIcon(table.cell(r, ColIcon));
    }
}

std::string StandardTreeWriter::chapterLine(size_t row, size_t chapterNumber, bool open,
                                            bool allOpen) const {
    const TopicTable& table = m_context.table;
    const std::string title = shownTitle(table.displayTitle(row));
    const std::string hint = status(table.hint(row));
    if (open) {
        const std::string u = "<a href=\"unexpand.htm\" " + hint + " title=\"Click To UnExpand\">";
        return kTableOpen + "<tr><td>" + u + "<img alt=\"Click to UnExpand\" src=\"minus.gif" +
               kImageSize + "</a></td><td>" + u +
               "<img alt=\"Click to UnExpand\" src=\"fol_open.gif" + kImageSize + "</a>" +
               "</td><td valign=\"middle\"><small>" + "<b>" + u + title + "</a>" +
               "</b></small></td></tr></table>";
    }
    const std::string folder = allOpen ? "fol_open.gif" : "fol_clos.gif";
    const std::string e = "<a href=\"" + m_pageNames[chapterNumber - 1] + "\" " + hint +
                          " title=\"Click To Expand\">";
    return kTableOpen + "<tr><td>" + e + "<img alt=\"Click to Expand\" src=\"plus.gif" +
           kImageSize + "</a></td><td>" + e + "<img alt=\"Click to Expand\" src=\"" + folder +
           kImageSize + "</a>" + "</td><td valign=\"middle\"><small>" + e + title +
           "</a></small></td></tr></table>";
}

std::string StandardTreeWriter::topLine(bool allOpen) const {
    const std::string w = allOpen ? "UnExpand" : "Expand";
    const std::string a = "<a href=\"" + toLower(w) + ".htm\" " + status("Click To " + w + " All") +
                          " title=\"Click To " + w + " All\">";
    return kTableOpen + "<td align=\"center\" width=\"19\">" + a + "<img alt=\"Click To " + w +
           " All\" src=\"treetop.gif" + kImageSize + "</a></td><td valign=\"middle\">" + a +
           "<small>" + m_context.options.treeTitle + "</small></a></td></tr></table>";
}

std::string StandardTreeWriter::aboutLine() const {
    return kTableOpen + "<tr><td>" + image("branch_l.gif") +
           "</td><td><img alt=\"About HTMLHelp Quirewright\" src=\"aboutqwr.gif" + kImageSize +
           "</td><td valign=\"middle\"><small><a href=\"" + m_context.values.relativePrefix +
           "aboutjmp.htm\" target=\"frmtopic\" " + status("About HTMLHelp Quirewright") +
           " title=\"About HTMLHelp Quirewright\"><small>About&nbsp;HH&nbsp;Quirewright</small>" +
           "</a></small></td></tr></table>";
}

Lines StandardTreeWriter::pageStart(bool allOpen) {
    const TreeValues& v = m_context.values;
    Lines page;
    page.push_back("<HTML><HEAD>");
    page.push_back(v.linkStyleBlock);
    if (m_context.readerAids)
        page.push_back(kViewportMeta);
    page.push_back("<TITLE>Contents</TITLE></HEAD>");
    page.push_back("<BODY bgcolor=\"" + v.htmlBgColour + "\" background=\"" +
                   attributeText(backgroundImage()) + "\" " + v.linkColourAttributes + ">");
    page.push_back(topLine(allOpen));
    page.emplace_back();
    if (m_context.readerAids)
        page.push_back(searchBoxElement());
    appendRoleLines(page, 'w');
    appendRoleLines(page, 'n');
    return page;
}

Lines StandardTreeWriter::pageEnd() {
    Lines page;
    appendRoleLines(page, 'r');
    page.push_back(aboutLine());
    page.push_back("<P></BODY></HTML>");
    return page;
}

Lines StandardTreeWriter::contentsPage(size_t openChapter, bool allOpen) {
    if (!m_ready)
        precompute();
    const TopicTable& table = m_context.table;
    Lines page = pageStart(allOpen);
    for (size_t r = 1; r < table.endRow(); ++r) {
        const size_t chapter = m_chapterOf[r];
        if (table.isChapterRow(r)) {
            page.push_back(chapterLine(r, chapter, !allOpen && chapter == openChapter, allOpen));
            continue;
        }
        if ((allOpen || (chapter != 0 && chapter == openChapter)) && !m_topicLines[r].empty())
            page.push_back(m_topicLines[r]);
    }
    const Lines end = pageEnd();
    page.insert(page.end(), end.begin(), end.end());
    return page;
}

namespace {

void appendLine(std::string& bytes, std::string_view line) {
    bytes += line;
    bytes += "\r\n";
}

std::string joinedLines(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        appendLine(bytes, line);
    return bytes;
}

} // namespace

/// The tree lines of every page, gathered in one pass over the rows: per chapter its
/// three chapter lines (closed, open, on the all-open page) and its topic lines; the
/// closed lines also joined in one text with each chapter's offset in it, so that a page
/// is a few copies of ready text.
struct StandardTreeWriter::TreeLines {
    std::vector<std::string> open, allOpen, topics; ///< per chapter number, 0: before any
    std::string closed;                             ///< every closed chapter line
    std::vector<size_t> closedAt;                   ///< per chapter number: its offset
};

StandardTreeWriter::TreeLines StandardTreeWriter::treeLines() {
    if (!m_ready)
        precompute();
    const TopicTable& table = m_context.table;
    const size_t n = m_pageNames.size();
    TreeLines lines;
    lines.open.resize(n + 1);
    lines.allOpen.resize(n + 1);
    lines.topics.resize(n + 1);
    lines.closedAt.assign(n + 2, 0);
    for (size_t r = 1; r < table.endRow(); ++r) {
        const size_t chapter = m_chapterOf[r];
        if (table.isChapterRow(r)) {
            lines.closedAt[chapter] = lines.closed.size();
            appendLine(lines.closed, chapterLine(r, chapter, false, false));
            appendLine(lines.open[chapter], chapterLine(r, chapter, true, false));
            appendLine(lines.allOpen[chapter], chapterLine(r, chapter, false, true));
        } else if (!m_topicLines[r].empty()) {
            appendLine(lines.topics[chapter], m_topicLines[r]);
        }
    }
    lines.closedAt[n + 1] = lines.closed.size();
    return lines;
}

std::string StandardTreeWriter::backgroundImage() const {
    const std::string entered = toSlashes(m_context.options.bgImage);
    const std::string lower = toLower(entered);
    // The page names the image in lower case; on a file system that keeps case, an image
    // found only as entered keeps its own spelling so that it still loads.
    std::error_code ec;
    const fs::path& projectDir = m_context.values.projectDir;
    if (lower != entered && !entered.empty() && !fs::exists(projectDir / lower, ec) &&
        fs::exists(projectDir / entered, ec))
        return m_context.values.relativePrefix + entered;
    return toLower(m_context.values.relativePrefix + entered);
}

std::vector<fs::path> StandardTreeWriter::write() {
    const TreeValues& v = m_context.values;
    std::vector<fs::path> written;
    m_guard.writeLines(v.projectDir / "index.htm", frameSet(), Replace::Own);
    written.push_back(v.projectDir / "index.htm");
    m_guard.makeDirectory(v.treeDir);
    m_files.copyIconSet();
    precompute();
    // The same lines as contentsPage gives, put together from text made once: a page
    // costs its own size, not a pass over every row.
    const std::string start = joinedLines(pageStart(false));
    const std::string end = joinedLines(pageEnd());
    const TreeLines lines = treeLines();
    const size_t n = m_pageNames.size();
    std::string bytes;
    for (size_t k = 0; k <= n; ++k) {
        const fs::path path =
            v.treeDir / (k == 0 ? std::string("unexpand.htm") : m_pageNames[k - 1]);
        bytes.assign(start);
        if (k == 0) {
            bytes += lines.closed;
        } else {
            const std::string_view closed = lines.closed;
            bytes += closed.substr(0, lines.closedAt[k]);
            bytes += lines.open[k];
            bytes += lines.topics[k];
            bytes += closed.substr(lines.closedAt[k + 1]);
        }
        bytes += end;
        m_guard.write(path, bytes, Replace::Own);
        written.push_back(path);
    }
    bytes = joinedLines(pageStart(true));
    bytes += lines.topics[0];
    for (size_t k = 1; k <= n; ++k) {
        bytes += lines.allOpen[k];
        bytes += lines.topics[k];
    }
    bytes += end;
    m_guard.write(v.treeDir / "expand.htm", bytes, Replace::Own);
    written.push_back(v.treeDir / "expand.htm");
    return written;
}

} // namespace qw
