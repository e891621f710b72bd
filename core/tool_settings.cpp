#include "core/tool_settings.h"

#include "core/environment_settings.h"
#include "core/ini_file.h"
#include "core/text_util.h"

namespace qw {

namespace {

constexpr std::string_view kSfxSection = "SFX_Toolbar";
constexpr std::string_view kQuickLaunchSection = "SFX_QL";

} // namespace

ToolMode toolModeFromArgument(std::string_view firstArgument) {
    if (equalsNoCase(firstArgument, "SFX"))
        return ToolMode::SfxToolbar;
    if (equalsNoCase(firstArgument, "TFL"))
        return ToolMode::TflToolbar;
    return ToolMode::PopupEditor;
}

std::string_view toolTitle(ToolMode mode) {
    switch (mode) {
    case ToolMode::SfxToolbar:
        return "SFX ToolBar";
    case ToolMode::TflToolbar:
        return "TFL Toolbar";
    case ToolMode::PopupEditor:
        break;
    }
    return "Popup Editor";
}

std::string toolSocketName(std::string_view windowTitle, unsigned userId) {
    std::string name = toLower(windowTitle);
    for (char& c : name)
        if (c == ' ')
            c = '-';
    return "quirew-" + name + "-" + std::to_string(userId);
}

SfxToolbarSettings readSfxToolbarSettings(const IniFile& config) {
    SfxToolbarSettings s;
    s.width = config.readInteger(kSfxSection, "TBWidth", s.width);
    s.top = config.readInteger(kSfxSection, "TBTop", s.top);
    s.left = config.readInteger(kSfxSection, "TBLeft", s.left);
    s.effectsTop = config.readInteger(kSfxSection, "SFXTop", s.effectsTop);
    s.effectsLeft = config.readInteger(kSfxSection, "SFXLeft", s.effectsLeft);
    s.targetTitle = config.readString(kSfxSection, "TargetWinTitle", "");
    return s;
}

void writeSfxToolbarSettings(IniFile& config, const SfxToolbarSettings& settings) {
    config.beginBatch();
    config.writeInteger(kSfxSection, "TBTop", settings.top);
    config.writeInteger(kSfxSection, "TBLeft", settings.left);
    config.writeInteger(kSfxSection, "SFXTop", settings.effectsTop);
    config.writeInteger(kSfxSection, "SFXLeft", settings.effectsLeft);
    config.writeString(kSfxSection, "TargetWinTitle", settings.targetTitle);
    config.endBatch();
}

std::string readTopicSeparator(const IniFile& config) {
    return config.readString("Environment_Properties", "TopicSeparator", kDefaultSeparator);
}

std::vector<QuickLaunchItem> quickLaunchItems(const IniFile& config) {
    std::vector<QuickLaunchItem> items = {{"&Topic File List Toolbar", "qwrtools|TFL"},
                                          {"&HTMLHelp Quirewright", "QuireW"},
                                          {"&Popup Text Editor", "qwrtools"}};
    for (int n = 0; n <= 9; ++n) {
        const std::string name =
            config.readString(kQuickLaunchSection, "NameForItem" + std::to_string(n), "");
        const std::string file =
            config.readString(kQuickLaunchSection, "FileForItem" + std::to_string(n), "");
        if (!trim(name).empty() && !trim(file).empty())
            items.push_back({name, file});
    }
    return items;
}

std::vector<std::string> splitShellWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote == '\'') {
            if (c == '\'')
                quote = 0;
            else
                word += c;
        } else if (c == '\\' && i + 1 < text.size() &&
                   (quote == 0 || text[i + 1] == '"' || text[i + 1] == '\\')) {
            word += text[++i];
            inWord = true;
        } else if (quote == '"') {
            if (c == '"')
                quote = 0;
            else
                word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

LaunchCommand parseLaunchCommand(std::string_view command, std::string_view programDirectory) {
    LaunchCommand launch;
    const size_t bar = command.find('|');
    launch.program = trim(command.substr(0, bar));
    if (bar != std::string_view::npos)
        launch.arguments = splitShellWords(command.substr(bar + 1));
    const size_t slash = launch.program.find_last_of('/');
    launch.workingDirectory = slash == std::string::npos ? std::string(programDirectory)
                              : slash == 0               ? std::string("/")
                                                         : launch.program.substr(0, slash);
    return launch;
}

int menuAnchorX(int toolbarLeft, int buttonLeft, int buttonHeight, int screenWidth) {
    if (toolbarLeft + buttonLeft + 168 >= screenWidth)
        return buttonLeft + buttonHeight;
    return buttonLeft;
}

} // namespace qw
