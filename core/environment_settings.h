#pragma once

#include <string>

namespace qw {

class IniFile;

inline constexpr const char* kEnvironmentSection = "ENVIRONMENT_PROPERTIES";
inline constexpr const char* kDefaultSeparator = "--------------------------------------------------";

/// The environment options of the author's installation, as held in memory.
/// Default values are those taken when the configuration file lacks a key.
struct EnvironmentSettings {
    std::string defaultBgColour = "$FFFFFF";
    int defaultTopicIcon = 10;
    std::string replaceTitleText = "_Title_";
    std::string replaceBgImgText = "_BgImage_";
    std::string replaceColorText = "#FFFFFF";
    bool centerTextInList = true;
    bool showGraphics = true;
    bool addFilePrefix = true;
    bool disableRightClick = false;
    bool removePreTags = false;
    bool replaceQuotes = true;
    bool searchForPopups = true;
    bool searchForEffects = true;
    bool autoSaveProj = true;
    bool autoReloadProj = true;
    bool asyncEditing = true;
    bool autoLaunchSfx = true;
    bool autoLaunchTfl = false;
    bool backupsChapters = true;
    bool lcaseTopicFN = true;
    bool autoRecalcTopicFN = true;
    bool convertSpaces = true;
    int viewHHTimeout = 30;
    std::string topicSeparator = kDefaultSeparator;
    bool useHorzRuleTag = false;
    std::string htmlBrowserPath;
    std::string htmlEditorPath;
    std::string wysiwygEdPath;
    std::string hhWorkShopPath;

    /// Reads every key of the environment section; missing keys give the defaults.
    static EnvironmentSettings read(const IniFile& config);
    /// Writes every key except ConvertSpaces and ViewHHTimeout, in the file's key order.
    void write(IniFile& config) const;
};

} // namespace qw
