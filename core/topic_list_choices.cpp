#include "core/topic_list_choices.h"

#include "core/configuration.h"
#include "core/ini_file.h"

namespace qw {

namespace {

constexpr std::string_view kSection = "Topic_File_List_TB";

} // namespace

TflToolbarSettings readTflToolbarSettings(const IniFile& config, int screenWidth) {
    TflToolbarSettings s;
    s.width = config.readInteger(kSection, "TFL_Width", s.width);
    s.top = config.readInteger(kSection, "TFL_Top", s.top);
    s.left = config.readInteger(kSection, "TFL_Left", screenWidth - s.width - 200);
    s.listSize = config.readInteger(kSection, "TFL_ListSize", s.listSize);
    return s;
}

void writeTflToolbarSettings(IniFile& config, const TflToolbarSettings& settings) {
    config.beginBatch();
    config.writeInteger(kSection, "TFL_Width", settings.width);
    config.writeInteger(kSection, "TFL_Top", settings.top);
    config.writeInteger(kSection, "TFL_Left", settings.left);
    config.writeInteger(kSection, "TFL_ListSize", settings.listSize);
    config.endBatch();
}

std::array<std::string, 4> recentTopicLists(const IniFile& config) {
    std::array<std::string, 4> lists;
    for (size_t i = 0; i < lists.size(); ++i) {
        const std::string project = config.readString("MRUFiles", "MRU" + std::to_string(i), "");
        if (RecentList::isEmptyEntry(project))
            continue;
        // Projects recorded on Windows name their folder with "\".
        const size_t slash = project.find_last_of("/\\");
        lists[i] = (slash == std::string::npos ? std::string() : project.substr(0, slash + 1)) +
                   "TopicLst.tfl";
    }
    return lists;
}

bool isChapterTitleLine(std::string_view line) {
    return !line.empty() && line.front() == '-';
}

TopicListChoices::TopicListChoices() {
    rebuild();
}

void TopicListChoices::load(std::vector<std::string> fileLines) {
    m_fileLines = std::move(fileLines);
    m_loaded = true;
    m_hidden = false;
    rebuild();
}

void TopicListChoices::setChapterTitlesHidden(bool hidden) {
    m_hidden = hidden;
    rebuild();
}

void TopicListChoices::rebuild() {
    m_lines.assign(1, std::string(m_loaded ? kSelectFilename : kNoFileListOpen));
    for (const std::string& line : m_fileLines)
        if (!(m_hidden && isChapterTitleLine(line)))
            m_lines.push_back(line);
}

TopicListChoices::Choice TopicListChoices::choose(size_t index) const {
    if (!m_loaded)
        return Choice::OpenList;
    if (index == 0 || index >= m_lines.size())
        return Choice::Nothing;
    return isChapterTitleLine(m_lines[index]) ? Choice::ChapterTitle : Choice::Copy;
}

} // namespace qw
