#pragma once

#include "core/file_io.h"
#include "core/safe_output.h"
#include "treegen/tree_files.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qw {

class IniFile;
class Messenger;

/// A tag and the text it is replaced by.
using Tag = std::pair<std::string, std::string>;

/// Replaces every tag of the list in one pass over each line, ignoring case: at each
/// position the first tag of the list that matches is replaced and the scan goes on
/// behind the inserted text, so a value is never searched for tags again.
void replaceTags(Lines& lines, const std::vector<Tag>& tags);
std::string replaceTags(std::string_view line, const std::vector<Tag>& tags);

/// Reads prefix + "0", "1" ... upwards from a section and stops at the first missing or
/// blank value (the rule of the fixed page parts).
Lines readLinesUntilGap(const IniFile& file, std::string_view section, std::string_view prefix);
/// Reads prefix + "0" to prefix + "50" and skips missing or blank values (the rule of
/// the repeated element parts).
Lines readLinesSkippingGaps(const IniFile& file, std::string_view section, std::string_view prefix);

/// The "Settings" section of a tree template.
struct TreeTemplateSettings {
    std::string treeFileName = "tree.js";
    std::string dirToCopyFilesFrom;
    bool copyItemIcons = true;
    bool copyChapterIcons = true;
    bool createIndex = true;
    bool createContents = false;
    bool createTreeFile = true;

    static TreeTemplateSettings read(const IniFile& file);
};

/// True when the template's fixed page parts ask for the search box ("_SearchBox_").
bool templateHasSearchBox(const IniFile& file);

/// What a template run wrote, and the message it reported when it stopped early.
struct TemplateTreeResult {
    std::vector<std::filesystem::path> written;
    std::string error;
    /// The template asks for the search box ("_SearchBox_"), so the tree needs its index.
    bool searchBox = false;
};

/// Writes a tree described by a template file: "index.htm" in the project directory,
/// optionally "contents.htm", and the tree file that the applet or script reads.
///
/// index.htm that cannot be written throws FileError. contents.htm or the tree file that
/// cannot be written is reported to the author through the messenger (and in the
/// result); the run then ends.
class TemplateTreeWriter {
public:
    /// Files go through guard (only over the program's own earlier files, never a chapter,
    /// never through a link); without one the writer guards the table's project folder.
    TemplateTreeWriter(const TreeContext& context, Messenger& messenger,
                       std::filesystem::path templatePath, OutputGuard* guard = nullptr);

    TemplateTreeResult write();

    /// The general tags with their values; escaped for a script string when forScript.
    std::vector<Tag> generalTags(bool forScript) const;
    /// The tree file's lines (writes nothing but the copies it asks for).
    Lines treeFileLines(const IniFile& file, TreeFiles& files) const;

private:
    std::vector<Tag> entryTags(std::string_view kind, size_t row, bool forScript) const;
    /// Adds "_DefaultTopic_" and "_RelDirPrefix_" and escapes the values for a script.
    std::vector<Tag> finishTags(std::vector<Tag> tags, bool forScript) const;
    bool treeFileIsScript() const;
    void reportWriteError(TemplateTreeResult& result, const std::string& message) const;

    const TreeContext& m_context;
    std::unique_ptr<OutputGuard> m_ownGuard;
    OutputGuard* m_guard = nullptr;
    Messenger& m_messenger;
    std::filesystem::path m_templatePath;
    TreeTemplateSettings m_settings;
    std::string m_defaultTopic; ///< the default page, else the first page of the contents
};

} // namespace qw
