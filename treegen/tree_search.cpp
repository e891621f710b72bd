#include "treegen/tree_search.h"

#include "core/file_io.h"
#include "core/safe_output.h"
#include "core/topic_table.h"
#include "treegen/search_index.h"
#include "treegen/tree_rows.h"

#include <unordered_set>

namespace qw {

namespace fs = std::filesystem;

namespace {

/// The title as plain text for the result list (titles may hold markup and entities).
std::string plainTitle(const std::string& title) {
    if (title.find_first_of("<&") == std::string::npos)
        return title;
    return extractPageText(title).text;
}

/// The page text without the heading that repeats the title at its top.
std::string_view withoutLeadingTitle(std::string_view text, std::string_view title) {
    if (!title.empty() && text.substr(0, title.size()) == title)
        text.remove_prefix(title.size());
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

} // namespace

std::string searchBoxElement(const std::string& prefix) {
    return "<script src=\"" + prefix + kSearchScript + "\"></script>";
}

SearchIndexStats writeSearchIndex(const TreeContext& context, OutputGuard& guard) {
    const TopicTable& table = context.table;
    const TreeValues& values = context.values;
    SearchIndexBuilder builder;
    SearchIndexStats stats;
    std::unordered_set<std::string> seen;
    for (size_t r = 1; r < table.endRow(); ++r) {
        if (table.isChapterRow(r) || table.isWebTopic(r) || isHiddenTopic(table, r))
            continue;
        const std::string link = table.topicLinkPath(r);
        if (!seen.insert(link).second)
            continue;
        // A page that is not there is found by its title; one that cannot be read ends
        // the run, as an index with pages missing would pass for a good one.
        const fs::path pagePath = values.projectDir / fs::path(link);
        const std::string bytes = fileExists(pagePath) ? readFileBytes(pagePath) : std::string();
        stats.textBytes += bytes.size();
        const PageText page = extractPageText(bytes);
        const std::string title = plainTitle(table.displayTitle(r));
        builder.add(title, treeHref(table, r, values.relativePrefix),
                    withoutLeadingTitle(page.text, title));
        ++stats.pages;
    }
    const std::string script = builder.script();
    stats.indexBytes = script.size();
    guard.makeDirectory(values.treeDir);
    guard.write(values.treeDir / kSearchIndexFile, script, Replace::Own);
    return stats;
}

void copySearchScripts(const TreeContext& context, OutputGuard& guard) {
    const TreeValues& values = context.values;
    const fs::path shared = values.dataDir / "TScripts" / "Shared";
    const std::pair<fs::path, fs::path> copies[] = {
        {shared / kSearchScript, values.treeDir / kSearchScript},
        {shared / kFrameScript, values.treeDir / kFrameScript},
        {values.dataDir / "xFiles" / kFindScript, values.projectDir / kFindScript},
    };
    guard.makeDirectory(values.treeDir);
    for (const auto& [source, target] : copies) {
        if (!fileExists(source)) {
            if (context.copyFailed)
                context.copyFailed();
            continue;
        }
        guard.copy(source, target);
    }
}

} // namespace qw
