#include "core/environment_settings.h"

#include "core/ini_file.h"
#include "core/text_util.h"

namespace qw {

namespace {

/// One key of the environment section bound to its member; kept in the file's key order.
struct BoolKey {
    const char* key;
    bool EnvironmentSettings::*member;
};

} // namespace

void EnvironmentSettings::setUseHorzRule(bool on) {
    useHorzRuleTag = on;
    if (on)
        topicSeparator = "<HR>";
}

void EnvironmentSettings::setSeparatorText(std::string_view text) {
    topicSeparator = std::string(text);
    if (trim(text).empty())
        setUseHorzRule(true);
}

EnvironmentSettings EnvironmentSettings::read(const IniFile& config) {
    EnvironmentSettings s;
    const char* sec = kEnvironmentSection;
    s.defaultBgColour = config.readString(sec, "DefaultBgColour", s.defaultBgColour);
    s.defaultTopicIcon = config.readInteger(sec, "DefaultTopicIcon", s.defaultTopicIcon);
    s.replaceTitleText = config.readString(sec, "ReplaceTitleText", s.replaceTitleText);
    s.replaceBgImgText = config.readString(sec, "ReplaceBgImgText", s.replaceBgImgText);
    s.replaceColorText = config.readString(sec, "ReplaceColorText", s.replaceColorText);
    static const BoolKey flags[] = {
        {"CenterTextInList", &EnvironmentSettings::centerTextInList},
        {"ShowGraphics", &EnvironmentSettings::showGraphics},
        {"AddFilePrefix", &EnvironmentSettings::addFilePrefix},
        {"DisableRightClick", &EnvironmentSettings::disableRightClick},
        {"RemovePRETags", &EnvironmentSettings::removePreTags},
        {"ReplaceQuotes", &EnvironmentSettings::replaceQuotes},
        {"SearchForPopups", &EnvironmentSettings::searchForPopups},
        {"SearchForEffects", &EnvironmentSettings::searchForEffects},
        {"AutoSaveProj", &EnvironmentSettings::autoSaveProj},
        {"AutoReloadProj", &EnvironmentSettings::autoReloadProj},
        {"AsyncEditing", &EnvironmentSettings::asyncEditing},
        {"AutoLaunchSFX", &EnvironmentSettings::autoLaunchSfx},
        {"AutoLaunchTFL", &EnvironmentSettings::autoLaunchTfl},
        {"BackupsChapters", &EnvironmentSettings::backupsChapters},
        {"LCaseTopicFN", &EnvironmentSettings::lcaseTopicFN},
        {"AutoRecalcTopicFN", &EnvironmentSettings::autoRecalcTopicFN},
        {"ConvertSpaces", &EnvironmentSettings::convertSpaces},
    };
    for (const auto& f : flags)
        s.*f.member = config.readBool(sec, f.key, s.*f.member);
    s.viewHHTimeout = config.readInteger(sec, "ViewHHTimeout", s.viewHHTimeout);
    s.topicSeparator = config.readString(sec, "TopicSeparator", s.topicSeparator);
    s.useHorzRuleTag = config.readBool(sec, "UseHorzTuleTag", s.useHorzRuleTag);
    s.htmlBrowserPath = config.readString(sec, "HTMLBrowserPath", "");
    s.htmlEditorPath = config.readString(sec, "HTMLEditorPath", "");
    s.wysiwygEdPath = config.readString(sec, "WYSIWYGEdPath", "");
    s.hhWorkShopPath = config.readString(sec, "HHWorkShopPath", "");
    return s;
}

void EnvironmentSettings::write(IniFile& config) const {
    const char* sec = kEnvironmentSection;
    config.beginBatch();
    config.writeString(sec, "DefaultBgColour", defaultBgColour);
    config.writeInteger(sec, "DefaultTopicIcon", defaultTopicIcon);
    config.writeString(sec, "ReplaceTitleText", replaceTitleText);
    config.writeString(sec, "ReplaceBgImgText", replaceBgImgText);
    config.writeString(sec, "ReplaceColorText", replaceColorText);
    config.writeBool(sec, "CenterTextInList", centerTextInList);
    config.writeBool(sec, "ShowGraphics", showGraphics);
    config.writeBool(sec, "AddFilePrefix", addFilePrefix);
    config.writeBool(sec, "DisableRightClick", disableRightClick);
    config.writeBool(sec, "RemovePRETags", removePreTags);
    config.writeBool(sec, "ReplaceQuotes", replaceQuotes);
    config.writeBool(sec, "SearchForPopups", searchForPopups);
    config.writeBool(sec, "SearchForEffects", searchForEffects);
    config.writeBool(sec, "AutoSaveProj", autoSaveProj);
    config.writeBool(sec, "AutoReloadProj", autoReloadProj);
    config.writeBool(sec, "AsyncEditing", asyncEditing);
    config.writeBool(sec, "AutoLaunchSFX", autoLaunchSfx);
    config.writeBool(sec, "AutoLaunchTFL", autoLaunchTfl);
    config.writeBool(sec, "BackupsChapters", backupsChapters);
    config.writeBool(sec, "LCaseTopicFN", lcaseTopicFN);
    config.writeBool(sec, "AutoRecalcTopicFN", autoRecalcTopicFN);
    config.writeString(sec, "TopicSeparator", topicSeparator);
    config.writeBool(sec, "UseHorzTuleTag", useHorzRuleTag);
    config.writeString(sec, "HTMLBrowserPath", htmlBrowserPath);
    config.writeString(sec, "HTMLEditorPath", htmlEditorPath);
    config.writeString(sec, "WYSIWYGEdPath", wysiwygEdPath);
    config.writeString(sec, "HHWorkShopPath", hhWorkShopPath);
    config.endBatch();
}

} // namespace qw
