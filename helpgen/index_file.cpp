// Writes the keyword index file, empty or listing the keywords of every topic.
#include "helpgen/contents_file.h"

#include "core/file_io.h"
#include "core/text_util.h"
#include "core/topic_table.h"
#include "helpgen/page_objects.h"
#include "helpgen/text_sink.h"

#include <algorithm>
#include <unordered_map>

namespace qw {

namespace {

struct IndexEntry {
    std::string keyword;      ///< spelled as first met
    std::vector<size_t> rows; ///< the topic rows that carry it
    std::string sortKey;
};

std::vector<IndexEntry> collectEntries(const TopicTable& table) {
    std::vector<IndexEntry> entries;
    std::unordered_map<std::string, size_t> byKeyword;
    byKeyword.reserve(table.endRow());
    // The keyword and its key are made in kept buffers: a keyword met before costs a
    // lookup and no copy.
    std::string keyword, key;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r))
            continue;
        const std::string& cell = table.cell(r, ColKeyWords);
        for (size_t at = 0; nextPageItem(cell, at, keyword);) {
            key.clear();
            appendLowered(key, keyword);
            auto it = byKeyword.find(key);
            if (it == byKeyword.end()) {
                it = byKeyword.emplace(key, entries.size()).first;
                entries.push_back({keyword, {}, {}});
            }
            entries[it->second].rows.push_back(r);
        }
    }
    return entries;
}

/// Entries sort by their keyword, then their topics, ignoring case.
void sortEntries(const TopicTable& table, std::vector<IndexEntry>& entries) {
    // No two entries have one keyword in lower case, so where no keyword holds the "="
    // that ends it in the key, the keyword part alone decides every comparison (neither
    // part can begin the other) and the topics need no key of theirs: a keyword that
    // every topic carries would otherwise make a key as long as the project.
    const bool keywordsDecide = std::none_of(entries.begin(), entries.end(), [](const IndexEntry& e) {
        return e.keyword.find('=') != std::string::npos;
    });
    std::string path;
    for (IndexEntry& entry : entries) {
        entry.sortKey.clear();
        appendLowered(entry.sortKey, entry.keyword);
        entry.sortKey += '=';
        if (keywordsDecide)
            continue;
        for (size_t row : entry.rows) {
            const std::string& title = table.cell(row, ColTitle);
            const size_t titleStart = entry.sortKey.size();
            appendLowered(entry.sortKey, std::string_view(title).substr(0, title.find('#')));
            std::replace(entry.sortKey.begin() + long(titleStart), entry.sortKey.end(), '"',
                         '\'');
            entry.sortKey += '|';
            path.clear();
            table.appendTopicLinkPath(row, path);
            appendLowered(entry.sortKey, path);
            entry.sortKey += ',';
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.sortKey < b.sortKey;
    });
}

} // namespace

void writeIndexFile(const TopicTable& table, const std::filesystem::path& path, bool fullIndex) {
    if (!fullIndex) {
        writeFileBytes(path, {});
        return;
    }
    std::vector<IndexEntry> entries = collectEntries(table);
    sortEntries(table, entries);
    TextSink out(path);
    for (const char* line : {"<HTML><HEAD>", "\t<meta name=\"GENERATOR\" content=\"Quillery\">",
                             "</HEAD><BODY>", "<UL>"})
        out.push_back(line);
    std::string line; // each line is made here, in memory kept from line to line
    for (const IndexEntry& entry : entries) {
        out.push_back("\t    <LI> <OBJECT type=\"text/sitemap\">");
        line.assign("\t\t\t<param name=\"Name\" value=\"");
        line += entry.keyword;
        line += "\">";
        out.push_back(line);
        // The keyword's name, then only the topics' Local values: a Name per topic would
        // show as a second keyword in some viewers and as page titles in others.
        for (size_t row : entry.rows) {
            line.assign("\t\t\t<param name=\"Local\" value=\"");
            table.appendTopicLinkPath(row, line);
            line += "\">";
            out.push_back(line);
        }
        out.push_back("\t         </OBJECT>");
    }
    out.push_back("</UL>");
    out.push_back("</BODY></HTML>");
    out.commit();
}

} // namespace qw
