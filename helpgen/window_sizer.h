#pragma once

#include <string>

namespace qw {

class ProjectOptions;
struct ProjectSettings;

/// What the window sizer shows and hands back: the help window's place and size, the
/// navigator pane's width and its three optional tabs.
struct SizerValues {
    int left = 0;
    int top = 0;
    int width = 640;
    int height = 480;
    int navPaneWidth = 220;
    bool showIndex = true;
    bool showSearch = false;
    bool showFavourites = false;

    /// The options dialog's window boxes read as whole numbers (a box that is no number
    /// counts as 0), its pane width and its tab switches.
    static SizerValues fromOptions(const ProjectOptions& options);
    /// Hands the sizer's result to the options: the four window boxes and the pane width
    /// in decimal, each kept within what its box takes (no sign, at most four digits, the
    /// pane width three), and the tab switches with their rules (a changed search tab
    /// unticks advanced search; the favourites tab keeps the contents style in kept).
    void applyTo(ProjectOptions& options, ProjectSettings& kept) const;

    /// The sizer's navigator panel is the pane less its 4-pixel border, and back.
    int panelWidth() const { return navPaneWidth - 4; }
    void setPanelWidth(int panel) { navPaneWidth = panel + 4; }
    /// "Center On Screen": the window in the middle of a screen of that size.
    void centreOn(int screenWidth, int screenHeight);
};

/// The sizes of the sizer's three size buttons, by index 0 to 2 (640x480, 800x600,
/// 1024x768).
struct SizerPreset {
    int width;
    int height;
    const char* caption;
};
inline constexpr SizerPreset kSizerPresets[] = {
    {640, 480, "640x480"}, {800, 600, "800x600"}, {1024, 768, "1024x768"}};

/// The sizer's controls stand this many pixels right of the splitter.
inline constexpr int kSizerControlsGap = 11;

} // namespace qw
