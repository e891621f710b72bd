#pragma once

#include "core/file_names.h"
#include "core/project_settings.h"
#include "treegen/tree_options.h"

#include <filesystem>
#include <functional>
#include <string>
#include <unordered_set>

namespace qw {

class OutputGuard;
class TopicTable;

/// What one tree generation reads. The table and the settings must outlive the run.
struct TreeContext {
    const TopicTable& table;
    const ProjectSettings& project;
    FileNameOptions fileNames;
    TreeOptions options;
    TreeValues values;
    /// Called for a copy that failed; the copy is otherwise silent (the program beeps).
    std::function<void()> copyFailed;
    /// The reader's aids beside the classic pages: the viewport declaration, the search
    /// box and the fold button of the standard tree (templates ask for the box by tag).
    /// Off, the standard tree's pages are exactly the classic ones.
    bool readerAids = false;
};

/// The file copies of a tree run: the icon set and the item icons. A source that cannot be
/// read is reported through the context's copyFailed (the program beeps); a target that
/// cannot be written, or that the guard refuses, throws FileError.
class TreeFiles {
public:
    TreeFiles(const TreeContext& context, OutputGuard& guard)
        : m_context(context), m_guard(guard) {}

    /// Copies every "*.gif" of the selected icon set into the tree directory, replacing
    /// the program's own files of the same name.
    void copyIconSet();
    /// Copies "Items/" + icon file into the tree directory unless a file of that name is
    /// there already. Only a decimal icon number is copied, so an Icon cell can never
    /// name a file outside the two folders.
    void copyItemIcon(std::string_view iconCell);

private:
    void failed() const;

    const TreeContext& m_context;
    OutputGuard& m_guard;
    std::unordered_set<std::string> m_present;
};

/// Copies source into target_dir the way the template's support-file entry asks: a folder
/// as a folder, a name with "*" or "?" as the matching files of its folder, a file as
/// itself; the program's own files of the same names are replaced. Returns false when
/// nothing could be read; throws FileError when a target cannot be written or is refused.
bool copyIntoDirectory(const std::filesystem::path& source, const std::filesystem::path& targetDir,
                       OutputGuard& guard);

/// True when name matches pattern with "*" and "?" wildcards, ignoring case.
bool wildcardMatch(std::string_view pattern, std::string_view name);

} // namespace qw
