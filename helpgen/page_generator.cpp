#include "helpgen/page_generator.h"

#include "core/topic_table.h"
#include "helpgen/effects_expander.h"

#include <unordered_set>

namespace qw {

namespace fs = std::filesystem;

namespace {

std::string normalised(const fs::path& path) {
    return fs::absolute(path).lexically_normal().string();
}

/// Refuses a page path outside the project directory or naming a chapter file.
void guardPagePath(const TopicTable& table, const fs::path& path,
                   const std::unordered_set<std::string>& chapters) {
    if (!isInsideDirectory(path, table.projectDir()) ||
        normalised(path) == normalised(table.projectDir()))
        throw FileError("Unable to write to " + path.string() +
                        ": the page would lie outside the project directory");
    if (chapters.count(normalised(path)) != 0)
        throw FileError("Unable to write to " + path.string() +
                        ": the page would replace a chapter file");
}

std::unordered_set<std::string> chapterFiles(const TopicTable& table) {
    std::unordered_set<std::string> files;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isChapterRow(r))
            files.insert(normalised(table.cell(r, ColMainFileName)));
    return files;
}

} // namespace

PageGenerator::PageGenerator(const PageContext& context)
    : m_context(context), m_effects(std::make_unique<EffectsExpander>(
                              EffectsExpander::load(context.dataDir / "xFiles" / "Effects.sfx"))) {}

PageGenerator::~PageGenerator() = default;

fs::path PageGenerator::pagePath(size_t row) const {
    const TopicTable& table = m_context.table;
    return fs::path(table.projectDir() + table.chapterFolder(row) + table.cell(row, ColFileName));
}

std::vector<fs::path> PageGenerator::generateAll() {
    const TopicTable& table = m_context.table;
    const std::unordered_set<std::string> chapters = chapterFiles(table);
    std::vector<fs::path> written;
    Lines chapterLines;
    Lines head;
    const std::string* loaded = nullptr;
    for (size_t r = 1; r < table.endRow(); ++r) {
        const std::string& chapter = table.cell(r, ColMainFileName);
        if (table.isChapterRow(r) || loaded == nullptr || *loaded != chapter) {
            chapterLines = table.sources().lines(chapter);
            head = extractHead(chapterLines);
            loaded = &chapter;
        }
        if (table.isChapterRow(r) || table.isWebTopic(r))
            continue;
        const fs::path path = pagePath(r);
        guardPagePath(table, path, chapters);
        writeGeneratedLines(path, buildPage(r, chapterLines, head));
        written.push_back(path);
    }
    return written;
}

void PageGenerator::generateOne(size_t row, const fs::path& target) {
    const TopicTable& table = m_context.table;
    if (!table.isTopicRow(row) || table.isWebTopic(row))
        throw FileError("Unable to write to " + target.string() + ": the row has no page");
    guardPagePath(table, target, chapterFiles(table));
    const Lines chapterLines = table.sources().lines(table.cell(row, ColMainFileName));
    writeGeneratedLines(target, buildPage(row, chapterLines, extractHead(chapterLines)));
}

std::vector<fs::path> generateTopicPages(const PageContext& context) {
    return PageGenerator(context).generateAll();
}

void generateTopicPage(const PageContext& context, size_t row, const fs::path& target) {
    PageGenerator(context).generateOne(row, target);
}

} // namespace qw
