#pragma once

#include <filesystem>
#include <string>

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

/// The topic link path of the first page entry of the contents file (the welcome page,
/// the what's-new page, else the first topic not hidden from the contents, else the
/// copyright page): the page a document without a default page opens on. Empty when the
/// contents list no page. Needs TopicTable::markRoles like writeContentsFile.
std::string firstContentsTopic(const TopicTable& table, const ProjectSettings& project);

/// The project's default page, or firstContentsTopic when none is set.
std::string effectiveDefaultPage(const TopicTable& table, const ProjectSettings& project);

/// Writes the keyword index file ("<base>_indx.hhk"). With fullIndex off the file is
/// created empty (zero bytes), for a compiler that harvests the keyword objects of the
/// pages; with fullIndex on it lists every keyword of the "KeyWords" cells with the
/// topics that carry it. Throws FileError when the file cannot be written.
void writeIndexFile(const TopicTable& table, const std::filesystem::path& path, bool fullIndex);

} // namespace qw
