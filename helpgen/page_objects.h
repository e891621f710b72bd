#pragma once

#include "core/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace qw {

class TopicTable;
struct ProjectSettings;

/// A cell split at commas, each item trimmed, double quotes turned into single quotes,
/// empty items dropped, order kept.
std::vector<std::string> pageItemList(std::string_view cell);
/// The items of pageItemList one by one, into a kept buffer: item gets the next item from
/// at on, and at moves past it; false when no item is left.
bool nextPageItem(std::string_view cell, size_t& at, std::string& item);

// The appenders below add whole lines to a page's text, each ended by CR LF.

/// Appends the previous/next links of topic row `row`: nothing for the only topic of a
/// chapter, else "<P Align=...>", one line of links and "</P>".
void appendPrevNextLinks(const TopicTable& table, size_t row, const ProjectSettings& project,
                         std::string& pageText);

/// Appends the index-keyword object for a "KeyWords" cell; nothing when it has no items.
void appendKeywordObject(std::string_view keyWords, std::string& pageText);

/// Appends the "Related Topics" button object for a "Related Topics" cell; nothing when it
/// has no items.
void appendRelatedTopicsObject(std::string_view related, std::string& pageText);

} // namespace qw
