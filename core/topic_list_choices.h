#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

class IniFile;

/// The TFL toolbar's settings (section "Topic_File_List_TB").
struct TflToolbarSettings {
    int width = 200;
    int top = 0;
    int left = 0; ///< by default screen width - width - 200
    int listSize = 34;

    bool operator==(const TflToolbarSettings&) const = default;
};

TflToolbarSettings readTflToolbarSettings(const IniFile& config, int screenWidth);
void writeTflToolbarSettings(IniFile& config, const TflToolbarSettings& settings);

/// The four recent lists: the folder of each recent project ("MRUFiles", MRU0 to MRU3)
/// followed by "TopicLst.tfl"; an entry is empty where no project is recorded.
std::array<std::string, 4> recentTopicLists(const IniFile& config);

inline constexpr std::string_view kNoFileListOpen = "No File List Open";
inline constexpr std::string_view kSelectFilename = "Select Filename to Copy";

/// True for a chapter title line of a topic filenames list ("-Intro").
bool isChapterTitleLine(std::string_view line);

/// The lines of the TFL toolbar's drop-down: "No File List Open" until a list is loaded,
/// then "Select Filename to Copy" and the list's lines, with or without its chapter
/// titles.
class TopicListChoices {
public:
    TopicListChoices();
    /// Shows the lines of a list file.
    void load(std::vector<std::string> fileLines);
    /// Leaves out (or brings back) the chapter title lines.
    void setChapterTitlesHidden(bool hidden);

    bool isLoaded() const { return m_loaded; }
    bool chapterTitlesHidden() const { return m_hidden; }
    const std::vector<std::string>& lines() const { return m_lines; }

    enum class Choice { OpenList, ChapterTitle, Nothing, Copy };
    /// What choosing line `index` does: open a list first when none is loaded, refuse a
    /// chapter title, nothing for the first line (the prompt), else copy the line.
    Choice choose(size_t index) const;

private:
    void rebuild();

    std::vector<std::string> m_fileLines;
    std::vector<std::string> m_lines;
    bool m_loaded = false;
    bool m_hidden = false;
};

} // namespace qw
