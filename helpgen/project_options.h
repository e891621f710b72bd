#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

class IniFile;
class Messenger;
class ProjectSession;
struct ProjectSettings;

/// Which running sum a flag box belongs to.
enum class FlagSum { WindowProperties, ToolbarButtons, ContentsStyle };

/// The check boxes of the project options whose tags add up to the help window's flags.
enum class FlagBox : int {
    AutoHideNav,
    WinStayOnTop,
    WinNoResize,
    ShowNavigatorPane,
    UseSmallTBar,
    AutoSync,
    ShowNavSearchTab,
    ShowNavHistTab,
    ShowNavFavsTab,
    HideToolbar,
    ShowMenu,
    ShowNavAdvSearch,
    SaveUserSize,
    HideShowNav,
    Back,
    Forward,
    Stop,
    Refresh,
    UseHomeButton,
    Locate,
    Options,
    Print,
    UseCustomButton,
    Font,
    NextPrevTBBtns,
    DrawBoxes,
    DrawTreeLines,
    IndentTree,
    MouseOverStyle,
    AutoCloseChaps,
    ShowInsetFrame,
    Count
};

/// One flag box: its settings key, its sum, its default state and its tag value.
struct FlagBoxInfo {
    const char* key;
    FlagSum sum;
    bool ticked;
    unsigned tag;
};

const FlagBoxInfo& flagBoxInfo(FlagBox box);

/// Where the help window's navigation tabs stand.
enum class TabPosition { Top, Bottom, Side };

/// The navigation pane's font as stored in the project.
struct NavigatorFont {
    std::string name = "DEFAULT_FONT";
    int size = 8;
    bool bold = false;
    bool italic = false;
};

/// Name + "," + size + ",0," + "ITALIC", "BOLD" or "PLAIN" (italic wins over bold).
std::string navigatorFontSpec(const NavigatorFont& font);
/// The hint of the font button: the current font, or "Default Font" when none is chosen.
std::string navigatorFontHint(const NavigatorFont& font);

/// "0x" + value in at least six upper-case hexadecimal digits.
std::string flagText(unsigned value);

/// The Project Options as the dialog holds them: every control's state and the running
/// sums of the flag boxes. The dialog widgets only show this object and forward the
/// author's changes to it; every rule between options lives here.
class ProjectOptions {
public:
    ProjectOptions();

    /// Fills every control from the project file's properties (defaults for missing
    /// keys). The flag sums follow the boxes as they are ticked.
    void load(const IniFile& project);
    /// Writes every property the dialog owns, in the project file's key order.
    void write(IniFile& project) const;
    /// Copies into the in-memory settings the values the dialog hands over on OK.
    void applyTo(ProjectSettings& settings) const;

    bool ticked(FlagBox box) const { return m_ticked[size_t(box)]; }
    /// Ticks or unticks a box, adding or removing its tag; the same state changes nothing.
    void setTicked(FlagBox box, bool ticked);
    /// The same for a box the author changes in the dialog: a change of a contents-tree
    /// box also stores the recomputed contents style in the open project's settings,
    /// where it stays even when the dialog is cancelled.
    void setTicked(FlagBox box, bool ticked, ProjectSettings& kept);
    /// Once loaded for the dialog: a project that uses small toolbar buttons is warned
    /// about them as if the box had just been ticked; No unticks it.
    void confirmLoadedSmallToolbar(Messenger& messenger);

    unsigned windowPropertySum() const { return m_sums[0]; }
    unsigned toolbarButtonSum() const { return m_sums[1]; }
    unsigned contentsStyleSum() const { return m_sums[2]; }
    /// "0x280", "0x80", "0x200" or empty, from the tool-window and indented-border boxes.
    std::string extendedStyleText() const;
    /// Empty for tabs on top, "0x1" on the side, "0x2" on the bottom.
    std::string tabPositionText() const;
    /// The contents-tree style value: "0x" + (contents sum + 0x800020).
    std::string contentsOptVal() const { return flagText(contentsStyleSum() + 0x800020); }
    std::string fontSpec() const { return navigatorFontSpec(font); }

    /// The value of the "Main" window definition for a project named name.
    std::string windowDefinition(std::string_view name) const;

    // Rules between options. Each returns after asking what the rule asks, if anything.

    /// Unticking the page links also unticks the image option.
    void setAddPrevNextLinks(bool on);
    /// Ticking Next/Previous without binary contents asks first; binary contents then
    /// follows the Next/Previous box.
    void setNextPrevButtons(bool on, Messenger& messenger);
    /// Unticking binary contents while Next/Previous is ticked only informs.
    void setCreateBinaryToc(bool on, Messenger& messenger);
    /// Ticking small toolbar buttons warns; No unticks the box again.
    void setUseSmallToolbar(bool on, Messenger& messenger);
    /// Any change of the search tab unticks advanced search.
    void setShowSearchTab(bool on);
    /// The custom button: every change empties the caption (the dialog also clears
    /// the page list's selection).
    void setUseCustomButton(bool on);
    /// Sets the size to the whole screen less 28 pixels of height, at 0,0.
    void setCurrentScreenSize(bool on, int screenWidth, int screenHeight);
    void setTabPosition(TabPosition position) { m_tabs = position; }
    TabPosition tabPosition() const { return m_tabs; }

    /// Whether the advanced-search box may be used, and so on: enabled states.
    bool advancedSearchEnabled() const { return ticked(FlagBox::ShowNavSearchTab); }
    bool imageLinksEnabled() const { return addPrevNextLinks; }
    bool imageBoxesEnabled() const { return addPrevNextLinks && usePrevNextImages; }
    bool sizeBoxesEnabled() const { return !showWinMaximised; }

    // Plain controls.
    std::string titleBarText;
    std::string defaultPage;
    std::string homeBtnPage;
    std::string customBtnPage;
    std::string customBtnCaption;
    bool useStyleSheet = true;
    bool createContextIds = false;
    int language = 0;
    std::vector<std::string> additionalFiles;
    bool showWinMaximised = false;
    std::string windowHeight = "480";
    std::string windowWidth = "640";
    std::string windowTop = "0";
    std::string windowLeft = "0";
    std::string navPaneWidth = "220";
    bool showNavIndexTab = true;
    bool toolWindowStyle = false;
    bool indentedBorder = false;
    bool createBinaryToc = false;
    bool userFolders = false;
    bool addPrevNextLinks = true;
    bool usePrevNextImages = false;
    std::string nextPageImage;
    std::string prevPageImage;
    std::string topicFooter;
    NavigatorFont font;

private:
    std::array<bool, size_t(FlagBox::Count)> m_ticked{};
    std::array<unsigned, 3> m_sums{};
    TabPosition m_tabs = TabPosition::Top;
};

/// The size boxes: Height, Width, Top, Left and the navigator pane width.
enum class SizeBox { Height, Width, Top, Left, PaneWidth };

/// Whether a typed character is accepted by a size box (digits and backspace only).
bool sizeBoxAcceptsKey(char key);
/// The most digits a size box takes.
int sizeBoxMaxDigits(SizeBox box);
/// The box's text after the author leaves it: an empty box is refilled.
std::string sizeBoxOnExit(SizeBox box, std::string_view text);

/// A picked image for the page links: the path relative to the project directory, or
/// empty after the warning when it lies outside it.
std::string relativeImagePath(std::string_view picked, std::string_view projectDir,
                              Messenger& messenger);

/// Whether a file picked as the Workshop program is accepted ("hhw.exe" in any case);
/// a refused file is reported.
bool acceptWorkshopProgram(std::string_view picked, Messenger& messenger);

/// The additional-files list with the three page lists it feeds.
struct AdditionalFileLists {
    std::vector<std::string> files;
    std::vector<std::string> defaultPages;
    std::vector<std::string> customPages;
    std::vector<std::string> homePages;
};

/// Adds picked files in order; stops at the first one outside the project directory.
void addAdditionalFiles(AdditionalFileLists& lists, const std::vector<std::string>& picked,
                        std::string_view projectDir, Messenger& messenger);
/// Removes the selected file (also from the page lists); returns the index to select
/// afterwards, -1 when the list is empty.
int deleteAdditionalFile(AdditionalFileLists& lists, int selected);

/// What OK in Project Options does: writes the properties into the project file, hands
/// the in-memory values to the session's settings, recomputes the role letters and
/// writes the help project file from the options. Throws FileError.
void confirmProjectOptions(ProjectSession& session, const ProjectOptions& options);

/// Project Options confirmed unchanged without being shown (a project opened without a
/// help project file): loads the options from the project file and confirms them.
/// Returns the options, whose fontSpec() is the navigator font now held in memory.
ProjectOptions applyProjectOptionsSilently(ProjectSession& session);

} // namespace qw
