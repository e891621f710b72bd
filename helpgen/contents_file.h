#pragma once

#include <filesystem>

namespace qw {

class TopicTable;
struct ProjectSettings;

/// Writes the contents file (the "<base>_toc.hhc" sitemap): one book per chapter, the
/// welcome and what's-new pages first, the copyright page and the About entry last.
/// Special pages are found by the role letters in the marker column, so the caller runs
/// TopicTable::markRoles first. Throws FileError when the file cannot be written or an
/// "Icon" cell is not a decimal number (nothing is written then).
void writeContentsFile(const TopicTable& table, const ProjectSettings& project,
                       const std::filesystem::path& path);

/// Writes the keyword index file ("<base>_indx.hhk"). With fullIndex off the file is
/// created empty (zero bytes), for a compiler that harvests the keyword objects of the
/// pages; with fullIndex on it lists every keyword of the "KeyWords" cells with the
/// topics that carry it. Throws FileError when the file cannot be written.
void writeIndexFile(const TopicTable& table, const std::filesystem::path& path, bool fullIndex);

} // namespace qw
