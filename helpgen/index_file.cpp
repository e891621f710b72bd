// Writes the keyword index file, empty or listing the keywords of every topic.
#include "helpgen/contents_file.h"

#include "core/file_io.h"
#include "core/text_util.h"
#include "core/topic_table.h"
#include "helpgen/page_objects.h"

#include <algorithm>
#include <unordered_map>

namespace qw {

namespace {

struct IndexEntry {
    std::string keyword; ///< spelled as first met
    std::vector<std::pair<std::string, std::string>> topics; ///< title, link
    std::string sortKey;
};

std::vector<IndexEntry> collectEntries(const TopicTable& table) {
    std::vector<IndexEntry> entries;
    std::unordered_map<std::string, size_t> byKeyword;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r))
            continue;
        std::string title = table.displayTitle(r);
        std::replace(title.begin(), title.end(), '"', '\'');
        const std::string link = table.topicLinkPath(r);
        for (std::string& keyword : pageItemList(table.cell(r, ColKeyWords))) {
            const auto [it, added] = byKeyword.emplace(toLower(keyword), entries.size());
            if (added)
                entries.push_back({std::move(keyword), {}, {}});
            entries[it->second].topics.emplace_back(title, link);
        }
    }
    return entries;
}

/// Entries sort by their keyword, then their topics, ignoring case.
void sortEntries(std::vector<IndexEntry>& entries) {
    for (IndexEntry& entry : entries) {
        entry.sortKey = toLower(entry.keyword) + "=";
        for (const auto& [title, link] : entry.topics)
            entry.sortKey += toLower(title) + "|" + toLower(link) + ",";
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const IndexEntry& a, const IndexEntry& b) { return a.sortKey < b.sortKey; });
}

} // namespace

void writeIndexFile(const TopicTable& table, const std::filesystem::path& path, bool fullIndex) {
    if (!fullIndex) {
        writeFileBytes(path, {});
        return;
    }
    std::vector<IndexEntry> entries = collectEntries(table);
    sortEntries(entries);
    Lines out = {"<HTML><HEAD>", "\t<meta name=\"GENERATOR\" content=\"Quillery\">",
                 "</HEAD><BODY>", "<UL>"};
    for (const IndexEntry& entry : entries) {
        out.push_back("\t    <LI> <OBJECT type=\"text/sitemap\">");
        out.push_back("\t\t\t<param name=\"Name\" value=\"" + entry.keyword + "\">");
        for (const auto& [title, link] : entry.topics) {
            out.push_back("\t\t\t<param name=\"Name\" value=\"" + title + "\">");
            out.push_back("\t\t\t<param name=\"Local\" value=\"" + link + "\">");
        }
        out.push_back("\t         </OBJECT>");
    }
    out.push_back("</UL>");
    out.push_back("</BODY></HTML>");
    writeLines(path, out);
}

} // namespace qw
