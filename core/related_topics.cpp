#include "core/related_topics.h"

#include "core/cell_input.h"
#include "core/text_util.h"
#include "core/topic_table.h"

namespace qw {

namespace {

std::vector<std::string_view> splitAtCommas(std::string_view cell) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t comma = cell.find(',', start);
        parts.push_back(cell.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return parts;
        start = comma + 1;
    }
}

std::string joinWithCommas(const std::vector<std::string>& items) {
    std::string result;
    for (const std::string& item : items)
        result += (result.empty() ? "" : ", ") + item;
    return result;
}

} // namespace

std::vector<std::string> splitKeywords(std::string_view cell) {
    std::vector<std::string> keywords;
    for (std::string_view part : splitAtCommas(cell))
        if (std::string keyword = trim(part); !keyword.empty())
            keywords.push_back(std::move(keyword));
    return keywords;
}

std::vector<RelatedEntry> splitRelatedTopics(std::string_view cell) {
    std::vector<RelatedEntry> entries;
    for (std::string_view part : splitAtCommas(cell)) {
        if (trim(part).empty())
            continue;
        const size_t semicolon = part.find(';');
        if (semicolon == std::string_view::npos)
            entries.push_back({"", trim(part)});
        else
            entries.push_back({trim(part.substr(0, semicolon)), trim(part.substr(semicolon + 1))});
    }
    return entries;
}

std::string relatedEntryText(const RelatedEntry& entry) {
    return entry.description.empty() ? entry.fileName : entry.description + ";" + entry.fileName;
}

std::string joinKeywords(const std::vector<std::string>& cells) {
    std::vector<std::string> keywords;
    for (const std::string& cell : cells)
        if (std::string keyword = trim(cell); !keyword.empty())
            keywords.push_back(std::move(keyword));
    return joinWithCommas(keywords);
}

std::string joinRelatedTopics(const std::vector<RelatedEntry>& rows) {
    std::vector<std::string> entries;
    for (const RelatedEntry& row : rows) {
        const std::string description = trim(row.description);
        const std::string fileName = trim(row.fileName);
        if (!description.empty() && !fileName.empty())
            entries.push_back(description + ";" + fileName);
    }
    return joinWithCommas(entries);
}

std::vector<std::string> relatedTopicChoices(const TopicTable& table,
                                             std::string_view editedChapterFile) {
    std::vector<std::string> choices;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (!table.isTopicRow(r) || table.isWebTopic(r))
            continue;
        // The chapter's file, not the row's: a new topic still reads from the template
        // but its page goes beside its chapter.
        const std::string& main = table.cell(table.chapterRowOf(r), ColMainFileName);
        const size_t slash = main.find_last_of("/\\");
        const std::string folder = slash == std::string::npos ? "" : main.substr(0, slash + 1);
        choices.push_back(
            toLower(relativeLink(folder + table.cell(r, ColFileName), editedChapterFile)));
    }
    return choices;
}

} // namespace qw
