#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

class TopicTable;

/// The editor's table: 25 data rows of two cells each.
inline constexpr size_t kRelatedEditorRows = 25;

/// One related topic: what the reader sees and the page it opens.
struct RelatedEntry {
    std::string description;
    std::string fileName;
};

/// The keywords of a KeyWords cell: split at every ",", trimmed, empty ones skipped.
std::vector<std::string> splitKeywords(std::string_view cell);

/// The entries of a Related Topics cell: split at every ","; within an entry the first
/// ";" divides description from file name, both trimmed; an entry without ";" is all
/// file name; empty entries are skipped.
std::vector<RelatedEntry> splitRelatedTopics(std::string_view cell);

/// An entry as the cell holds it: description + ";" + file name, or the file name alone
/// when there is no description.
std::string relatedEntryText(const RelatedEntry& entry);

/// The KeyWords cell for the editor's cells in reading order (row 1 column 1, row 1
/// column 2, row 2 column 1, ...): every non-blank cell trimmed, joined by ", ".
std::string joinKeywords(const std::vector<std::string>& cells);

/// The Related Topics cell for the editor's rows: rows with both a description and a
/// file name (trimmed) as description + ";" + file name, joined by ", "; rows with only
/// one of the two are dropped.
std::string joinRelatedTopics(const std::vector<RelatedEntry>& rows);

/// The choices of the file-name list: for every topic row but web topics, in table
/// order, the relative link from the edited topic's chapter file to the topic's page
/// (its chapter's folder + its FileName), lower-cased, with "/" between folders.
std::vector<std::string> relatedTopicChoices(const TopicTable& table,
                                             std::string_view editedChapterFile);

} // namespace qw
