#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qw {

class IniFile;

inline constexpr const char* kTreeOptionsSection = "DOVAZazeOpt";

/// The three formats of the contents tree.
enum class TreeFormat { Standard, Applet, Script };

/// The seven icon sets; each names a folder below "Icons/".
enum class IconSet { Folders, Books, OS2, Mac, Arrows1, Arrows2, Plus1 };

/// The folder name of an icon set ("Folders", "Books", ...).
std::string_view iconSetFolder(IconSet set);

/// The tree options of one project, as stored in its project file.
struct TreeOptions {
    TreeFormat format = TreeFormat::Standard;
    std::string appletHeight = "550";
    std::string appletWidth = "250";
    std::string treeTitle = "MyContent";
    bool putInSubDir = true;
    bool showBorder = true;
    std::string frameWidth = "180";
    std::string bgImage;
    bool viewWhenCreated = true;
    std::string bgColor = "$FFFFFF";
    bool style1 = true;
    IconSet iconSet = IconSet::Folders;

    /// Reads the options section; missing keys give the defaults. Of a group of choices
    /// the first key set wins; a group with none set keeps its default.
    static TreeOptions read(const IniFile& project);
    /// Writes every key, each member of a group as "1" or "0".
    void write(IniFile& project) const;
};

/// The template file of a template format ("JavaApp.hts", "JSTree.hts"); empty for the
/// standard format.
std::string_view templateName(TreeFormat format);

/// "#RRGGBB" for a stored colour text; white for a text that is no colour.
std::string htmlColourOf(std::string_view colourText);

/// The values both tree writers derive from the options and the folders.
struct TreeValues {
    std::filesystem::path projectDir;  ///< where index.htm and the topic pages lie
    std::filesystem::path dataDir;     ///< the program's support files
    std::filesystem::path treeDir;     ///< where every other tree file goes
    std::filesystem::path iconDir;     ///< data folder "Icons"
    std::filesystem::path iconSetDir;  ///< the selected icon set's folder
    std::filesystem::path templateDir; ///< data folder "TScripts"
    std::string relativePrefix;        ///< "../" or empty: tree directory to project
    std::string frameSetPrefix;        ///< "treehtml/" or empty: project to tree directory
    std::string linkStyleBlock;
    std::string linkColourAttributes;
    std::string frameBorderAttributes;
    std::string htmlBgColour;

    static TreeValues derive(const TreeOptions& options, const std::filesystem::path& projectDir,
                             const std::filesystem::path& dataDir);
};

/// Creates the tree directory (one level) when it is missing; a failure is not reported,
/// the first write into it fails instead.
void ensureTreeDirectory(const TreeValues& values);

} // namespace qw
