#include "treegen/tree_options.h"

#include "core/ini_file.h"
#include "core/text_util.h"

#include <array>
#include <cstdio>
#include <utility>

namespace qw {

namespace {

constexpr std::array<const char*, 3> kFormatKeys = {"StandardHTML", "JavaApplet", "JavaScript"};
constexpr std::array<const char*, 2> kStyleKeys = {"Style1", "Style2"};
constexpr std::array<const char*, 7> kIconKeys = {"W95Folders", "W95Books", "OS2Folders",
                                                  "MacFolders", "Arrows1",  "Arrows2",
                                                  "3DPlusMinus"};
constexpr std::array<std::string_view, 7> kIconFolders = {"Folders", "Books",   "OS2",  "Mac",
                                                          "Arrows1", "Arrows2", "Plus1"};

constexpr std::array<std::pair<const char*, uint32_t>, 16> kBasicColours = {{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},
    {"clOlive", 0x008080}, {"clNavy", 0x800000},   {"clPurple", 0x800080},
    {"clTeal", 0x808000},  {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},   {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
}};

/// Index of the first key of a group that reads true; fallback when none does.
template <size_t N>
size_t readGroup(const IniFile& ini, const std::array<const char*, N>& keys, size_t fallback) {
    for (size_t i = 0; i < N; ++i)
        if (ini.readBool(kTreeOptionsSection, keys[i], i == fallback))
            return i;
    return fallback;
}

template <size_t N>
void writeGroup(IniFile& ini, const std::array<const char*, N>& keys, size_t selected) {
    for (size_t i = 0; i < N; ++i)
        ini.writeBool(kTreeOptionsSection, keys[i], i == selected);
}

std::string hex8(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(value));
    return buffer;
}

} // namespace

std::string_view iconSetFolder(IconSet set) { return kIconFolders[static_cast<size_t>(set)]; }

std::string_view templateName(TreeFormat format) {
    switch (format) {
    case TreeFormat::Applet:
        return "JavaApp.hts";
    case TreeFormat::Script:
        return "JSTree.hts";
    case TreeFormat::Standard:
        break;
    }
    return {};
}

TreeOptions TreeOptions::read(const IniFile& ini) {
    const char* s = kTreeOptionsSection;
    TreeOptions o;
    o.format = static_cast<TreeFormat>(readGroup(ini, kFormatKeys, 0));
    o.appletHeight = ini.readString(s, "AppletHeight", o.appletHeight);
    o.appletWidth = ini.readString(s, "AppletWidth", o.appletWidth);
    o.treeTitle = ini.readString(s, "TreeTitle", o.treeTitle);
    o.putInSubDir = ini.readBool(s, "PutInSubDir", o.putInSubDir);
    o.showBorder = ini.readBool(s, "ShowBorder", o.showBorder);
    o.frameWidth = ini.readString(s, "FrameWidth", o.frameWidth);
    o.bgImage = ini.readString(s, "BgImage", o.bgImage);
    o.viewWhenCreated = ini.readBool(s, "ViewWhenCreated", o.viewWhenCreated);
    o.bgColor = ini.readString(s, "BgColor", o.bgColor);
    o.style1 = readGroup(ini, kStyleKeys, 0) == 0;
    o.iconSet = static_cast<IconSet>(readGroup(ini, kIconKeys, 0));
    return o;
}

void TreeOptions::write(IniFile& ini) const {
    const char* s = kTreeOptionsSection;
    ini.beginBatch();
    writeGroup(ini, kFormatKeys, static_cast<size_t>(format));
    ini.writeString(s, "AppletHeight", appletHeight);
    ini.writeString(s, "AppletWidth", appletWidth);
    ini.writeString(s, "TreeTitle", treeTitle);
    ini.writeBool(s, "PutInSubDir", putInSubDir);
    ini.writeBool(s, "ShowBorder", showBorder);
    ini.writeString(s, "FrameWidth", frameWidth);
    ini.writeString(s, "BgImage", bgImage);
    ini.writeBool(s, "ViewWhenCreated", viewWhenCreated);
    ini.writeString(s, "BgColor", bgColor);
    writeGroup(ini, kStyleKeys, style1 ? 0 : 1);
    writeGroup(ini, kIconKeys, static_cast<size_t>(iconSet));
    ini.endBatch();
}

std::string colourText(uint32_t value) {
    for (const auto& [name, basic] : kBasicColours)
        if (basic == value)
            return name;
    return hex8(value);
}

bool colourValue(std::string_view text, uint32_t& value) {
    const std::string t = trim(text);
    for (const auto& [name, basic] : kBasicColours) {
        if (equalsNoCase(t, name)) {
            value = basic;
            return true;
        }
    }
    if (t.size() < 2 || t.size() > 9 || t[0] != '$')
        return false;
    uint32_t v = 0;
    for (size_t i = 1; i < t.size(); ++i) {
        const char c = t[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0)
            return false;
        v = (v << 4) | static_cast<uint32_t>(digit);
    }
    value = v;
    return true;
}

std::string htmlColourOf(std::string_view text) {
    uint32_t value = 0xFFFFFF;
    if (!colourValue(text, value))
        value = 0xFFFFFF;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", static_cast<unsigned>(value & 0xFF),
                  static_cast<unsigned>((value >> 8) & 0xFF),
                  static_cast<unsigned>((value >> 16) & 0xFF));
    return buffer;
}

TreeValues TreeValues::derive(const TreeOptions& options, const std::filesystem::path& projectDir,
                              const std::filesystem::path& dataDir) {
    TreeValues v;
    v.projectDir = projectDir;
    v.dataDir = dataDir;
    v.treeDir = options.putInSubDir ? projectDir / "treehtml" : projectDir;
    v.iconDir = dataDir / "Icons";
    v.iconSetDir = v.iconDir / std::string(iconSetFolder(options.iconSet));
    v.templateDir = dataDir / "TScripts";
    v.relativePrefix = options.putInSubDir ? "../" : "";
    v.frameSetPrefix = options.putInSubDir ? "treehtml/" : "";
    const std::string style =
        options.style1 ? "a:hover{color: red;} a{color: blue; text-decoration:none;}"
                       : "a:hover{color: blue; text-decoration:underline} a{text-decoration:none;}";
    v.linkStyleBlock = "<style><!-- " + style + " --></style>";
    v.linkColourAttributes = options.style1 ? "vlink=\"blue\" link=\"blue\" alink=\"red\""
                                            : "vlink=\"black\" link=\"black\" alink=\"blue\"";
    v.frameBorderAttributes =
        options.showBorder ? "FrameBorder=\"Yes\" Border=\"5\"" : "FrameBorder=\"No\" Border=\"0\"";
    v.htmlBgColour = htmlColourOf(options.bgColor);
    return v;
}

void ensureTreeDirectory(const TreeValues& values) {
    std::error_code ec;
    std::filesystem::create_directory(values.treeDir, ec);
}

} // namespace qw
