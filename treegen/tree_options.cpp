#include "treegen/tree_options.h"

#include "core/colour_text.h"
#include "core/ini_file.h"
#include "core/text_util.h"

#include <array>
#include <cstdio>

namespace qw {

namespace {

constexpr std::array<const char*, 3> kFormatKeys = {"StandardHTML", "JavaApplet", "JavaScript"};
constexpr std::array<const char*, 2> kStyleKeys = {"Style1", "Style2"};
constexpr std::array<const char*, 7> kIconKeys = {
    "W95Folders", "W95Books", "OS2Folders", "MacFolders", "Arrows1", "Arrows2", "3DPlusMinus"};
constexpr std::array<std::string_view, 7> kIconFolders = {"Folders", "Books",   "OS2",  "Mac",
                                                          "Arrows1", "Arrows2", "Plus1"};

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

} // namespace

std::string_view iconSetFolder(IconSet set) {
    return kIconFolders[static_cast<size_t>(set)];
}

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

std::string htmlColourOf(std::string_view text) { return htmlColourFromText(text); }

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
