#include "treegen/template_tree.h"

#include "core/ini_file.h"
#include "core/messages.h"
#include "core/text_util.h"
#include "core/topic_table.h"
#include "helpgen/contents_file.h"
#include "treegen/tree_rows.h"
#include "treegen/tree_search.h"

#include <cctype>

namespace qw {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLineKey = 50;
constexpr const char* kTreeFormat = "TreeFormat";
constexpr const char* kWriteAdvice =
    "Check that it is not Read-Only or being used by another program.";

/// A value read for a line list; "//" stands for an empty line. False for a blank value.
bool lineValue(const IniFile& file, std::string_view section, const std::string& key,
               std::string& line) {
    line = file.readString(section, key, "");
    if (trim(line).empty())
        return false;
    if (trim(line) == "//")
        line.clear();
    return true;
}

bool matchesAt(std::string_view line, size_t pos, std::string_view tag) {
    if (tag.empty() || line.size() - pos < tag.size())
        return false;
    for (size_t i = 0; i < tag.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[pos + i])) !=
            std::tolower(static_cast<unsigned char>(tag[i])))
            return false;
    return true;
}

void append(Lines& to, const Lines& from) {
    to.insert(to.end(), from.begin(), from.end());
}

bool mentionsTag(const Lines& lines, std::string_view tag) {
    for (const std::string& line : lines)
        if (findNoCase(line, tag) != std::string::npos)
            return true;
    return false;
}

Lines withTags(const Lines& lines, const std::vector<Tag>& tags) {
    Lines copy = lines;
    replaceTags(copy, tags);
    return copy;
}

} // namespace

std::string replaceTags(std::string_view line, const std::vector<Tag>& tags) {
    std::string out;
    out.reserve(line.size() + 32);
    size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] != '_') {
            out += line[pos++];
            continue;
        }
        const Tag* found = nullptr;
        for (const Tag& tag : tags) {
            if (matchesAt(line, pos, tag.first)) {
                found = &tag;
                break;
            }
        }
        if (found == nullptr) {
            out += line[pos++];
            continue;
        }
        out += found->second;
        pos += found->first.size();
    }
    return out;
}

void replaceTags(Lines& lines, const std::vector<Tag>& tags) {
    for (std::string& line : lines)
        if (line.find('_') != std::string::npos)
            line = replaceTags(line, tags);
}

Lines readLinesUntilGap(const IniFile& file, std::string_view section, std::string_view prefix) {
    Lines lines;
    std::string line;
    for (int i = 0; i <= kMaxLineKey; ++i) {
        if (!lineValue(file, section, std::string(prefix) + std::to_string(i), line))
            break;
        lines.push_back(line);
    }
    return lines;
}

Lines readLinesSkippingGaps(const IniFile& file, std::string_view section,
                            std::string_view prefix) {
    Lines lines;
    std::string line;
    for (int i = 0; i <= kMaxLineKey; ++i)
        if (lineValue(file, section, std::string(prefix) + std::to_string(i), line))
            lines.push_back(line);
    return lines;
}

bool templateHasSearchBox(const IniFile& file) {
    for (const char* section : {"Index", "Contents", kTreeFormat})
        if (mentionsTag(readLinesUntilGap(file, section, "StartTag"), kSearchBoxTag))
            return true;
    return false;
}

TreeTemplateSettings TreeTemplateSettings::read(const IniFile& file) {
    const char* s = "Settings";
    TreeTemplateSettings t;
    t.treeFileName = trim(file.readString(s, "TreeFormatFilename", ""));
    if (t.treeFileName.empty())
        t.treeFileName = "tree.js";
    t.dirToCopyFilesFrom = trim(file.readString(s, "DirToCopyFilesFrom", ""));
    t.copyItemIcons = file.readBool(s, "CopyItemIcons", true);
    t.copyChapterIcons = file.readBool(s, "CopyChapterIcons", true);
    t.createIndex = file.readBool(s, "CreateIndexHTML", true);
    t.createContents = file.readBool(s, "CreateContentsHTML", false);
    t.createTreeFile = file.readBool(s, "CreateTreeFormatHTML", true);
    return t;
}

TemplateTreeWriter::TemplateTreeWriter(const TreeContext& context, Messenger& messenger,
                                       fs::path templatePath, OutputGuard* guard)
    : m_context(context), m_messenger(messenger), m_templatePath(std::move(templatePath)),
      m_defaultTopic(effectiveDefaultPage(context.table, context.project)) {
    if (guard == nullptr)
        m_ownGuard = std::make_unique<OutputGuard>(context.table);
    m_guard = guard != nullptr ? guard : m_ownGuard.get();
}

bool TemplateTreeWriter::treeFileIsScript() const {
    return endsWithNoCase(m_settings.treeFileName, ".js");
}

std::vector<Tag> TemplateTreeWriter::generalTags(bool forScript) const {
    const TreeOptions& o = m_context.options;
    const TreeValues& v = m_context.values;
    const ProjectSettings& p = m_context.project;
    auto number = [](const std::string& text, int fallback) {
        return std::to_string(toIntDef(trim(text), fallback));
    };
    std::vector<Tag> tags = {
        {"_TreeTitle_", o.treeTitle},
        {"_AppletWidth_", number(o.appletWidth, 250)},
        {"_AppletHeight_", number(o.appletHeight, 550)},
        {"_FrameWidth_", number(o.frameWidth, 180)},
        {"_TreeBgImage_", v.relativePrefix + toSlashes(o.bgImage)},
        {"_TreeBgColour_", v.htmlBgColour},
        {"_LinkStyleA_", v.linkStyleBlock},
        {"_LinkStyleB_", v.linkColourAttributes},
        {"_eDocumentTitle_", p.titleBarText},
        {"_DefaultTopic_", m_defaultTopic},
        {"_RelDirPrefix_", v.relativePrefix},
        {"_FrameBorderTags_", v.frameBorderAttributes},
        // Our own addition: index.htm lies in the project directory and needs the way
        // down into the tree directory ("treehtml/" or empty).
        {"_TreeDirPrefix_", v.frameSetPrefix},
        // The search box of a page in the tree directory (index.htm gets its own way
        // down before these tags are replaced).
        {kSearchBoxTag, searchBoxElement()},
    };
    if (forScript)
        for (Tag& tag : tags)
            tag.second = scriptString(tag.second);
    return tags;
}

std::vector<Tag> TemplateTreeWriter::entryTags(std::string_view kind, size_t row,
                                               bool forScript) const {
    const TopicTable& table = m_context.table;
    const std::string k(kind);
    std::vector<Tag> tags;
    if (kind == "Chapter") {
        tags = {{"_ChapterTitle_", table.displayTitle(row)}, {"_ChapterHint_", table.hint(row)}};
    } else {
        const std::string& icon = table.cell(row, ColIcon);
        tags = {{"_" + k + "Title_", table.displayTitle(row)},
                {"_" + k + "Hint_", table.hint(row)},
                {"_" + k + "Href_", treeHref(table, row, m_context.values.relativePrefix)},
                {"_" + k + "IconNum_", icon},
                {"_" + k + "IconGif_", iconFileName(icon)}};
    }
    return finishTags(std::move(tags), forScript);
}

std::vector<Tag> TemplateTreeWriter::finishTags(std::vector<Tag> tags, bool forScript) const {
    // The two tags that the whole tree file gets once more at its end are filled in the
    // same pass as an element's own, so a title that happens to contain one of them is
    // never expanded afterwards.
    tags.push_back({"_DefaultTopic_", m_defaultTopic});
    tags.push_back({"_RelDirPrefix_", m_context.values.relativePrefix});
    if (forScript)
        for (Tag& tag : tags)
            tag.second = scriptString(tag.second);
    return tags;
}

Lines TemplateTreeWriter::treeFileLines(const IniFile& file, TreeFiles& files) const {
    const TopicTable& table = m_context.table;
    const bool script = treeFileIsScript();
    Lines list = withTags(readLinesUntilGap(file, kTreeFormat, "StartTag"), generalTags(script));
    const Lines chapterStart = readLinesSkippingGaps(file, kTreeFormat, "ChapterStartTag");
    const Lines topic = readLinesSkippingGaps(file, kTreeFormat, "TopicTag");
    const Lines chapterEnd = readLinesSkippingGaps(file, kTreeFormat, "ChapterEndTag");
    const Lines special = readLinesUntilGap(file, kTreeFormat, "WelcomeTag");
    if (m_settings.copyChapterIcons)
        files.copyIconSet();

    auto appendSpecial = [&](char letter) {
        for (size_t r = 1; r < table.endRow(); ++r) {
            if (table.isChapterRow(r) || table.cell(r, ColMarker).find(letter) == std::string::npos)
                continue;
            append(list, withTags(special, entryTags("Welcome", r, script)));
            if (m_settings.copyItemIcons)
                files.copyItemIcon(table.cell(r, ColIcon));
        }
    };
    appendSpecial('w');
    appendSpecial('n');
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r)) {
            append(list, withTags(chapterStart, entryTags("Chapter", r, script)));
        } else if (!isHiddenTopic(table, r) && !isRolePage(table, r, m_context.project.pages)) {
            append(list, withTags(topic, entryTags("Topic", r, script)));
            if (m_settings.copyItemIcons)
                files.copyItemIcon(table.cell(r, ColIcon));
        }
        // Every chapter is closed after its last row, even when that row gave no entry
        // (a hidden last topic, a chapter without topics), so the tree stays balanced.
        if (table.cell(r + 1, ColMarker) == kChapterMarker)
            append(list, withTags(chapterEnd, finishTags({}, script)));
    }
    appendSpecial('r');

    const std::string prefix = m_context.values.relativePrefix;
    const std::vector<Tag> about = finishTags({{"_WelcomeTitle_", "About Quirewright"},
                                               {"_WelcomeHint_", "About HTMLHelp Quirewright"},
                                               {"_WelcomeHref_", prefix + "aboutjmp.htm"},
                                               {"_WelcomeIconNum_", "1"},
                                               {"_WelcomeIconGif_", "aboutqwr.gif"}},
                                              script);
    append(list, withTags(special, about));
    append(list, withTags(readLinesUntilGap(file, kTreeFormat, "EndTag"), finishTags({}, script)));
    return list;
}

void TemplateTreeWriter::reportWriteError(TemplateTreeResult& result,
                                          const std::string& message) const {
    result.error = message;
    m_messenger.showMessage(message, MessageKind::Error, MessageButtons::Ok);
}

TemplateTreeResult TemplateTreeWriter::write() {
    const IniFile file(m_templatePath);
    const TreeValues& v = m_context.values;
    m_settings = TreeTemplateSettings::read(file);
    m_guard->makeDirectory(v.treeDir);
    TemplateTreeResult result;

    result.searchBox = templateHasSearchBox(file);
    if (m_settings.createIndex) {
        const fs::path index = v.projectDir / "index.htm";
        Lines lines = readLinesUntilGap(file, "Index", "StartTag");
        replaceTags(lines, {{kSearchBoxTag, searchBoxElement(v.frameSetPrefix)}});
        m_guard->writeLines(index, withTags(lines, generalTags(false)), Replace::Own);
        result.written.push_back(index);
    }
    if (m_settings.createContents) {
        const fs::path contents = v.treeDir / "contents.htm";
        try {
            m_guard->writeLines(
                contents,
                withTags(readLinesUntilGap(file, "Contents", "StartTag"), generalTags(false)),
                Replace::Own);
            result.written.push_back(contents);
        } catch (const FileError&) {
            reportWriteError(result,
                             std::string("Error creating contents.htm.\r\n") + kWriteAdvice);
            return result;
        }
    }
    if (!m_settings.createTreeFile)
        return result;

    TreeFiles files(m_context, *m_guard);
    if (!m_settings.dirToCopyFilesFrom.empty()) {
        std::string from = toSlashes(m_settings.dirToCopyFilesFrom);
        while (!from.empty() && from.back() == '/')
            from.pop_back();
        if (!copyIntoDirectory(v.dataDir / from, v.treeDir, *m_guard) && m_context.copyFailed)
            m_context.copyFailed();
    }
    const Lines lines = treeFileLines(file, files);
    const fs::path treeFile = v.treeDir / toSlashes(m_settings.treeFileName);
    const std::string failure =
        "Error creating '" + m_settings.treeFileName + "'.\r\n" + kWriteAdvice;
    if (!isInsideDirectory(treeFile, v.treeDir)) {
        reportWriteError(result, failure);
        return result;
    }
    try {
        m_guard->writeLines(treeFile, lines, Replace::Own);
        result.written.push_back(treeFile);
    } catch (const FileError&) {
        reportWriteError(result, failure);
    }
    return result;
}

} // namespace qw
