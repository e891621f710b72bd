#pragma once

#include "core/file_names.h"
#include "core/topic_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The link of a topic in the tree: the topic link path behind the relative prefix, or
/// the address of a web topic that is absolute ("http:", "https:", "news:", "mailto:",
/// "file:" in any case) as it stands.
std::string treeHref(const TopicTable& table, size_t row, std::string_view relativePrefix);

/// The display title with every space as "&nbsp;".
std::string shownTitle(std::string_view displayTitle);

/// "icon_" + the Icon cell + ".gif".
std::string iconFileName(std::string_view iconCell);

/// True for an Icon cell that names an item icon file safely (decimal digits only).
bool isIconNumber(std::string_view iconCell);

/// A topic whose title cell begins "!!!" stays out of the tree.
bool isHiddenTopic(const TopicTable& table, size_t row);

/// A topic that is the what's-new, copyright or welcome page appears only as a role line.
bool isRolePage(const TopicTable& table, size_t row, const SpecialPages& pages);

/// The chapter page name of every chapter row, in table order: "fol_" + the chapter
/// file's name, lower-cased and passed through the file-name rule. A name already taken
/// by an earlier chapter (two chapter files of the same name in different folders) gets
/// "_2", "_3" ... before its extension, so no chapter's page replaces another's.
std::vector<std::string> chapterPageNames(const TopicTable& table, const FileNameOptions& options);

/// Text for a JavaScript string literal in single or double quotes, also safe inside a
/// double-quoted HTML attribute and inside an inline script: backslash, both quotes, "<"
/// and line breaks are escaped; everything else stays, so HTML in titles still renders.
std::string scriptString(std::string_view text);

/// Text for the status-bar script of an onMouseOver attribute ("window.status='...'").
std::string statusText(std::string_view text);

/// Text for a double-quoted HTML attribute value that already is a link or a name:
/// only the double quote is escaped.
std::string attributeText(std::string_view text);

} // namespace qw
