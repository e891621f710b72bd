#pragma once

#include <string>
#include <string_view>

namespace qw {

class TopicTable;
struct EnvironmentSettings;

inline constexpr char32_t kBackspaceKey = 8;

/// The key filter of the topic grid: whether a character typed into a cell is accepted.
/// cellText is the cell's text as it stands in the editor. A file name accepts only
/// backspace, ".", digits, letters and "_" unless it is a web address ("WEB...").
bool acceptsTypedKey(const TopicTable& table, size_t row, int column, char32_t key,
                     std::string_view cellText);

/// Whether the Delete key may change a cell of this column (Title, FileName, BgImage).
bool honoursDeleteKey(int column);

/// After a key was released in a cell: when AutoRecalcTopicFN is on and the cell is the
/// Title of a (non-web) topic, the FileName is made anew from the title. Topics made
/// from the new-topic template (".tem") take the chapter file's prefix explicitly.
void fileNameAfterKey(TopicTable& table, size_t row, int column, const EnvironmentSettings& env);

/// The first status panel's text for a selected cell.
std::string cellStatusText(const TopicTable& table, size_t row, int column);

/// The link from the file base to the file target: the common leading folders are cut
/// off and each folder of base below them adds "../". Folders compare without regard to
/// case; the target keeps its case. Either separator is accepted; the result uses "/".
std::string relativeLink(std::string_view target, std::string_view base);

/// Result of picking a background image for a topic row.
struct ImagePick {
    bool accepted = false;
    std::string cell;    ///< the new BgImage cell when accepted
    std::string message; ///< the warning when refused
};
/// Checks that the chosen image lies in the project directory (a case-sensitive prefix
/// test) and makes the cell text relative to the topic's chapter file.
ImagePick pickBackgroundImage(const TopicTable& table, size_t row, std::string_view imagePath);

} // namespace qw
