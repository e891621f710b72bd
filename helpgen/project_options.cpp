#include "helpgen/project_options.h"

#include "core/ini_file.h"
#include "core/messages.h"
#include "core/project_settings.h"
#include "core/text_util.h"

#include <cstdio>

namespace qw {

namespace {

using enum FlagSum;

// In FlagBox order: the help viewer's window, toolbar and tree flags.
constexpr std::array<FlagBoxInfo, size_t(FlagBox::Count)> kFlagBoxes = {{
    {"AutoHideNav", WindowProperties, false, 0x1},
    {"WinStayOnTop", WindowProperties, false, 0x2},
    {"WinNoResize", WindowProperties, false, 0x8},
    {"ShowNavigatorPane", WindowProperties, true, 0x20},
    {"UseSmallTBar", WindowProperties, false, 0x40},
    {"AutoSync", WindowProperties, true, 0x100},
    {"ShowNavSearchTab", WindowProperties, true, 0x400},
    {"ShowNavHistTab", WindowProperties, false, 0x800},
    {"ShowNavFavsTab", WindowProperties, true, 0x1000},
    {"HideToolbar", WindowProperties, false, 0x8000},
    {"ShowMenu", WindowProperties, false, 0x10000},
    {"ShowNavAdvSearch", WindowProperties, false, 0x20000},
    {"SaveUserSize", WindowProperties, false, 0x40000},
    {"HideShowNav", ToolbarButtons, true, 0x2},
    {"Back", ToolbarButtons, true, 0x4},
    {"Forward", ToolbarButtons, false, 0x8},
    {"Stop", ToolbarButtons, false, 0x10},
    {"Refresh", ToolbarButtons, false, 0x20},
    {"UseHomeButton", ToolbarButtons, false, 0x40},
    {"Locate", ToolbarButtons, false, 0x800},
    {"Options", ToolbarButtons, true, 0x1000},
    {"Print", ToolbarButtons, true, 0x2000},
    {"UseCustomButton", ToolbarButtons, false, 0x40000},
    {"Font", ToolbarButtons, false, 0x100000},
    {"NextPrevTBBtns", ToolbarButtons, false, 0x600000},
    {"DrawBoxes", ContentsStyle, true, 0x1},
    {"DrawTreeLines", ContentsStyle, true, 0x2},
    {"IndentTree", ContentsStyle, true, 0x4},
    {"MouseOverStyle", ContentsStyle, true, 0x200},
    {"AutoCloseChaps", ContentsStyle, false, 0x400},
    {"ShowInsetFrame", ContentsStyle, false, 0x40000},
}};

constexpr const char* kSection = "PROJECT_PROPERTIES";

std::string yesNoText(bool on) {
    return on ? "1" : "0";
}

} // namespace

const FlagBoxInfo& flagBoxInfo(FlagBox box) {
    return kFlagBoxes[size_t(box)];
}

std::string flagText(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%06X", value);
    return buffer;
}

std::string navigatorFontSpec(const NavigatorFont& font) {
    const char* style = font.italic ? "ITALIC" : font.bold ? "BOLD" : "PLAIN";
    return font.name + "," + std::to_string(font.size) + ",0," + style;
}

std::string navigatorFontHint(const NavigatorFont& font) {
    std::string hint = "(Right-click to set as default)|Current Font : ";
    if (font.name == "DEFAULT_FONT")
        return hint + "Default Font";
    const char* style = font.italic ? "Italic" : font.bold ? "Bold" : "Normal";
    return hint + "Name=" + font.name + ", Size=" + std::to_string(font.size) + ", Style=" + style;
}

ProjectOptions::ProjectOptions() {
    for (size_t i = 0; i < kFlagBoxes.size(); ++i)
        setTicked(FlagBox(i), kFlagBoxes[i].ticked);
}

void ProjectOptions::setTicked(FlagBox box, bool on) {
    bool& state = m_ticked[size_t(box)];
    if (state == on)
        return;
    state = on;
    const FlagBoxInfo& info = flagBoxInfo(box);
    unsigned& sum = m_sums[size_t(info.sum)];
    sum = on ? sum + info.tag : sum - info.tag;
}

std::string ProjectOptions::extendedStyleText() const {
    if (toolWindowStyle && indentedBorder)
        return "0x280";
    if (toolWindowStyle)
        return "0x80";
    return indentedBorder ? "0x200" : "";
}

std::string ProjectOptions::tabPositionText() const {
    switch (m_tabs) {
    case TabPosition::Side:
        return "0x1";
    case TabPosition::Bottom:
        return "0x2";
    case TabPosition::Top:
        break;
    }
    return "";
}

void ProjectOptions::load(const IniFile& p) {
    const char* s = kSection;
    for (size_t i = 0; i < kFlagBoxes.size(); ++i)
        setTicked(FlagBox(i), p.readBool(s, kFlagBoxes[i].key, kFlagBoxes[i].ticked));
    titleBarText = p.readString(s, "TitleBarText", "");
    defaultPage = p.readString(s, "DefaultPage", "");
    useStyleSheet = p.readBool(s, "UseStyleSheet", true);
    createContextIds = p.readBool(s, "CreateContextIDs", false);
    language = p.readInteger(s, "Language", 0);
    additionalFiles = p.readList(s, "AdditonalFiles");
    showWinMaximised = p.readBool(s, "ShowWinMaximised", false);
    windowHeight = p.readString(s, "WindowHeight", "480");
    windowWidth = p.readString(s, "WindowWidth", "640");
    windowTop = p.readString(s, "WindowTop", "0");
    windowLeft = p.readString(s, "WindowLeft", "0");
    navPaneWidth = p.readString(s, "NavPaneWidth", "220");
    showNavIndexTab = p.readBool(s, "ShowNavIndexTab", true);
    m_tabs = p.readBool(s, "TabsOnSide", false)     ? TabPosition::Side
             : p.readBool(s, "TabsOnBottom", false) ? TabPosition::Bottom
                                                    : TabPosition::Top;
    toolWindowStyle = p.readBool(s, "ToolWindowStyle", false);
    indentedBorder = p.readBool(s, "IndentedTBar", false);
    createBinaryToc = p.readBool(s, "CreateBinaryTOC", false);
    userFolders = p.readBool(s, "UserFolders", false);
    customBtnPage = p.readString(s, "CustomBtnPage", "");
    customBtnCaption = p.readString(s, "CustomBtnCaption", "");
    homeBtnPage = p.readString(s, "HomeBtnPage", "");
    addPrevNextLinks = p.readBool(s, "AddPrevNextLinks", true);
    usePrevNextImages = addPrevNextLinks && p.readBool(s, "UsePrevNextImages", false);
    nextPageImage = p.readString(s, "NextPageImage", "");
    prevPageImage = p.readString(s, "PrevPageImage", "");
    topicFooter = p.readString(s, "TopicFooter", "");
    font.name = p.readString(s, "NavFontName", "DEFAULT_FONT");
    font.size = p.readInteger(s, "NavFontSize", 8);
    font.bold = p.readBool(s, "NavFontBold", false);
    font.italic = p.readBool(s, "NavFontItalic", false);
}

void ProjectOptions::write(IniFile& project) const {
    // Key order of the project file's properties section; flag boxes by name.
    const std::vector<std::pair<const char*, std::string>> values = {
        {"TitleBarText", titleBarText},
        {"DefaultPage", defaultPage},
        {"UseStyleSheet", yesNoText(useStyleSheet)},
        {"CreateContextIDs", yesNoText(createContextIds)},
        {"Language", std::to_string(language)},
        {"AdditonalFiles", toCommaText(additionalFiles)},
        {"ShowWinMaximised", yesNoText(showWinMaximised)},
        {"WindowHeight", windowHeight},
        {"WindowWidth", windowWidth},
        {"WindowTop", windowTop},
        {"WindowLeft", windowLeft},
        {"NavPaneWidth", navPaneWidth},
        {"SaveUserSize", ""},
        {"WinNoResize", ""},
        {"WinStayOnTop", ""},
        {"ShowNavIndexTab", yesNoText(showNavIndexTab)},
        {"ShowNavSearchTab", ""},
        {"ShowNavAdvSearch", ""},
        {"ShowNavFavsTab", ""},
        {"ShowNavHistTab", ""},
        {"TabsOnTop", yesNoText(m_tabs == TabPosition::Top)},
        {"TabsOnBottom", yesNoText(m_tabs == TabPosition::Bottom)},
        {"TabsOnSide", yesNoText(m_tabs == TabPosition::Side)},
        {"ShowMenu", ""},
        {"HideToolbar", ""},
        {"UseSmallTBar", ""},
        {"AutoHideNav", ""},
        {"ShowNavigatorPane", ""},
        {"ToolWindowStyle", yesNoText(toolWindowStyle)},
        {"IndentedTBar", yesNoText(indentedBorder)},
        {"CreateBinaryTOC", yesNoText(createBinaryToc)},
        {"ContentsOptVal", contentsOptVal()},
        {"UserFolders", yesNoText(userFolders)},
        {"AutoSync", ""},
        {"DrawBoxes", ""},
        {"DrawTreeLines", ""},
        {"IndentTree", ""},
        {"AutoCloseChaps", ""},
        {"MouseOverStyle", ""},
        {"ShowInsetFrame", ""},
        {"HideShowNav", ""},
        {"Forward", ""},
        {"Locate", ""},
        {"Print", ""},
        {"Options", ""},
        {"Back", ""},
        {"Refresh", ""},
        {"Stop", ""},
        {"Font", ""},
        {"NextPrevTBBtns", ""},
        {"UseCustomButton", ""},
        {"CustomBtnPage", customBtnPage},
        {"CustomBtnCaption", customBtnCaption},
        {"UseHomeButton", ""},
        {"HomeBtnPage", homeBtnPage},
        {"AddPrevNextLinks", yesNoText(addPrevNextLinks)},
        {"UsePrevNextImages", yesNoText(usePrevNextImages)},
        {"NextPageImage", nextPageImage},
        {"PrevPageImage", prevPageImage},
        {"TopicFooter", topicFooter},
        {"NavFontName", font.name},
        {"NavFontSize", std::to_string(font.size)},
        {"NavFontBold", yesNoText(font.bold)},
        {"NavFontItalic", yesNoText(font.italic)},
    };
    project.beginBatch();
    for (const auto& [key, value] : values) {
        std::string text = value;
        for (size_t i = 0; i < kFlagBoxes.size(); ++i)
            if (equalsNoCase(key, kFlagBoxes[i].key))
                text = yesNoText(m_ticked[i]);
        project.writeString(kSection, key, text);
    }
    project.endBatch();
}

void ProjectOptions::applyTo(ProjectSettings& settings) const {
    settings.userFolders = userFolders;
    settings.addPrevNextLinks = addPrevNextLinks;
    settings.usePrevNextImages = usePrevNextImages;
    settings.nextPageImage = nextPageImage;
    settings.prevPageImage = prevPageImage;
    settings.topicFooter = topicFooter;
    settings.useStyleSheet = useStyleSheet;
    settings.titleBarText = titleBarText;
    settings.pages.defaultPage = defaultPage;
    settings.pages.homeButtonPage = homeBtnPage;
    settings.pages.customButtonPage = customBtnPage;
    settings.createContextIds = createContextIds;
    settings.additionalFiles = additionalFiles;
    settings.contentsOptVal = contentsOptVal();
    settings.showMenu = ticked(FlagBox::ShowMenu);
}

std::string ProjectOptions::windowDefinition(std::string_view name) const {
    const std::string n(name);
    const std::string caption = trim(customBtnCaption).empty() ? "Custom" : customBtnCaption;
    const std::vector<std::string> quoted = {
        titleBarText, n + "_toc.hhc", showNavIndexTab ? n + "_indx.hhk" : "",
        defaultPage,  homeBtnPage,    customBtnPage,
        caption,      "AboutJmp.htm", "About"};
    const int left = toIntDef(trim(windowLeft), 0);
    const int top = toIntDef(trim(windowTop), 0);
    const int width = toIntDef(trim(windowWidth), 640);
    const int height = toIntDef(trim(windowHeight), 480);
    const std::string position = "[" + std::to_string(left) + "," + std::to_string(top) + "," +
                                 std::to_string(left + width) + "," + std::to_string(top + height) +
                                 "]";
    const std::vector<std::string> rest = {flagText(windowPropertySum() + 0x2000),
                                           navPaneWidth,
                                           flagText(toolbarButtonSum() + 0x80000),
                                           position,
                                           showWinMaximised ? "0x1000000" : "",
                                           extendedStyleText(),
                                           "",
                                           "",
                                           "",
                                           tabPositionText(),
                                           "0"};
    return "\"" + join(quoted, "\",\"") + "\"," + join(rest, ",");
}

} // namespace qw
