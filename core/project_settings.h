#pragma once

#include "core/topic_table.h"

#include <string>
#include <vector>

namespace qw {

class IniFile;

inline constexpr const char* kPropertiesSection = "PROJECT_PROPERTIES";
inline constexpr const char* kChapterSection = "CHAPTER_FILES";

/// The project properties that the program keeps in memory while a project is open;
/// every other key of the project file is read by its user when needed.
struct ProjectSettings {
    SpecialPages pages;
    std::string titleBarText;
    bool userFolders = false;
    bool addPrevNextLinks = true;
    bool usePrevNextImages = false;
    std::string nextPageImage;
    std::string prevPageImage;
    std::string topicFooter;
    bool useStyleSheet = true;
    std::vector<std::string> additionalFiles;
    std::string customIconsBmp;
    std::string contentsOptVal = "0x800227";
    bool showMenu = false;
    bool createContextIds = false;

    /// Reads the in-memory keys; missing keys give the defaults.
    static ProjectSettings read(const IniFile& project);
};

} // namespace qw
