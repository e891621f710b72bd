#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

class IniFile;

/// The three tools of the companion program, chosen by its first argument.
enum class ToolMode { SfxToolbar, TflToolbar, PopupEditor };

/// "SFX" and "TFL" (any case) choose the toolbars; anything else, or nothing, the Popup
/// Text Editor.
ToolMode toolModeFromArgument(std::string_view firstArgument);
/// The application window title: "SFX ToolBar", "TFL Toolbar" or "Popup Editor".
std::string_view toolTitle(ToolMode mode);
/// The per-user local socket on which a tool with this window title takes close
/// requests: "quirew-" + the title in lower case with blanks as "-" + "-" + user id.
std::string toolSocketName(std::string_view windowTitle, unsigned userId);

/// The SFX toolbar's settings (section "SFX_Toolbar").
struct SfxToolbarSettings {
    int width = 105; ///< never written: the author edits it by hand
    int top = 0;
    int left = 0;
    int effectsTop = 0;
    int effectsLeft = 0;
    std::string targetTitle;

    bool operator==(const SfxToolbarSettings&) const = default;
};

SfxToolbarSettings readSfxToolbarSettings(const IniFile& config);
/// Writes the five keys the toolbar owns (not the width) in one write of the file.
void writeSfxToolbarSettings(IniFile& config, const SfxToolbarSettings& settings);
/// The topic separator the main program uses (50 hyphens by default).
std::string readTopicSeparator(const IniFile& config);

/// An entry of the SFX toolbar's quick-launch menu: caption and command, the command
/// being a program or a program, "|" and its parameters.
struct QuickLaunchItem {
    std::string caption;
    std::string command;

    bool operator==(const QuickLaunchItem&) const = default;
};

/// The three fixed items (the TFL toolbar, the main program, the Popup Text Editor) and
/// then, for n = 0 to 9, the author's `NameForItem`n / `FileForItem`n of "SFX_QL" where
/// both are non-blank; the caption is kept untrimmed.
std::vector<QuickLaunchItem> quickLaunchItems(const IniFile& config);

/// How a quick-launch command is started.
struct LaunchCommand {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingDirectory;

    bool operator==(const LaunchCommand&) const = default;
};

/// Program = the text before the first "|", parameters = the text after it, split into
/// arguments as a shell splits words (blanks separate; single quotes, double quotes and
/// backslashes quote) but without expanding anything. The working directory is the
/// program's directory part, or `programDirectory` when it has none.
LaunchCommand parseLaunchCommand(std::string_view command, std::string_view programDirectory);
/// Splits text into words as a shell would, without expansion.
std::vector<std::string> splitShellWords(std::string_view text);

/// The horizontal screen position where a toolbar button's menu opens: the button's left
/// edge, moved right by the button's height when toolbar left + button left + 168 reaches
/// the screen width.
int menuAnchorX(int toolbarLeft, int buttonLeft, int buttonHeight, int screenWidth);

} // namespace qw
