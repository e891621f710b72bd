#pragma once

#include <string>
#include <string_view>

namespace qw {

class IniFile;

inline constexpr const char* kEnvironmentSection = "ENVIRONMENT_PROPERTIES";
inline constexpr const char* kDefaultSeparator =
    "--------------------------------------------------";

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

    /// "Use Horizontal Rule": ticking it makes the separator "<HR>"; unticking keeps the
    /// separator text as it is.
    void setUseHorzRule(bool on);
    /// The separator box as the author leaves it; a blank box ticks "Use Horizontal Rule".
    void setSeparatorText(std::string_view text);

    /// Reads every key of the environment section; missing keys give the defaults.
    static EnvironmentSettings read(const IniFile& config);
    /// Writes every key except ConvertSpaces and ViewHHTimeout, in the file's key order.
    void write(IniFile& config) const;
};

} // namespace qw
