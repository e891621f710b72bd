#include "core/chapter_sources.h"

#include <algorithm>
#include <set>

namespace qw {

void ChapterSources::Source::lineViews(std::vector<std::string_view>& lines) const {
    if (lineStarts != nullptr)
        linesFromStarts(*bytes, *lineStarts, lines);
    else
        splitLineViews(*bytes, lines);
}

void ChapterSources::keep(const std::string& path, std::string bytes, const FileState& state,
                          std::vector<uint32_t> lineStarts) {
    Source& source = m_sources[path];
    source.bytes = std::make_shared<const std::string>(std::move(bytes));
    source.lineStarts =
        lineStarts.empty() ? nullptr
                           : std::make_shared<const std::vector<uint32_t>>(std::move(lineStarts));
    source.state = state;
    source.overwriteAllowed = false;
}

const ChapterSources::Source* ChapterSources::find(const std::string& path) const {
    const auto it = m_sources.find(path);
    return it == m_sources.end() ? nullptr : &it->second;
}

std::vector<std::string> ChapterSources::changedOnDisk() const {
    std::vector<std::string> changed;
    for (const auto& [path, source] : m_sources)
        if (!source.overwriteAllowed && fileState(path) != source.state)
            changed.push_back(path);
    return changed;
}

void ChapterSources::allowOverwriteOfChanged() {
    for (auto& [path, source] : m_sources)
        if (fileState(path) != source.state)
            source.overwriteAllowed = true;
}

Lines ChapterSources::lines(const std::string& path) const {
    const Source* source = find(path);
    return source ? splitLines(*source->bytes) : readLines(path);
}

void ChapterSources::retainOnly(const std::vector<std::string>& keepPaths) {
    const std::set<std::string_view> keep(keepPaths.begin(), keepPaths.end());
    std::erase_if(m_sources, [&](const auto& entry) { return keep.count(entry.first) == 0; });
}

} // namespace qw
