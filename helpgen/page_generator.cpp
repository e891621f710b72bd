#include "helpgen/page_generator.h"

#include "core/topic_table.h"
#include "core/environment_settings.h"
#include "core/project_settings.h"
#include "core/text_util.h"
#include "helpgen/effects_expander.h"

namespace qw {

namespace fs = std::filesystem;

namespace {

/// Refuses a page path outside the project directory, naming a chapter file, or that
/// is reached through a link or would replace a file the program did not write.
void guardPagePath(const OutputGuard& guard, const fs::path& path) {
    guard.check(path, Replace::Own);
}

/// The chapter's lines as loaded (or as the file now is, for one never loaded), as views:
/// into the loaded text (true), else into read, which holds the file's lines.
bool loadChapterLines(const TopicTable& table, const std::string& chapter, Lines& read,
                      std::vector<std::string_view>& lines) {
    const ChapterSources::Source* source = table.sources().find(chapter);
    if (source != nullptr) {
        source->lineViews(lines);
        return true;
    }
    read = table.sources().lines(chapter);
    lines.assign(read.begin(), read.end());
    return false;
}

} // namespace

PageGenerator::PageGenerator(const PageContext& context, OutputGuard* guard)
    : m_context(context), m_effects(std::make_unique<EffectsExpander>(
                              EffectsExpander::load(context.dataDir / "xFiles" / "Effects.sfx"))),
      m_titleToken(context.environment.replaceTitleText),
      m_imageToken(context.environment.replaceBgImgText),
      m_colourToken(context.environment.replaceColorText), m_footer(trim(context.project.topicFooter)) {
    if (guard == nullptr)
        m_ownGuard = std::make_unique<OutputGuard>(context.table);
    m_guard = guard != nullptr ? guard : m_ownGuard.get();
}

PageGenerator::~PageGenerator() = default;

fs::path PageGenerator::pagePath(size_t row) const {
    const TopicTable& table = m_context.table;
    return fs::path(table.projectDir() + table.chapterFolder(row) + table.cell(row, ColFileName));
}

std::vector<std::string> PageGenerator::generateAll() {
    const TopicTable& table = m_context.table;
    std::vector<std::string> written;
    Lines read;
    std::vector<std::string_view> chapterLines;
    Lines head;
    std::string bytes;
    const std::string* loaded = nullptr;
    // The chapter's folder, the way back from it and where its pages go: the same for
    // every page of a chapter.
    std::string folder, back, pages;
    for (size_t r = 1; r < table.endRow(); ++r) {
        const std::string& chapter = table.cell(r, ColMainFileName);
        if (table.isChapterRow(r) || loaded == nullptr || *loaded != chapter) {
            m_linesInOneText = loadChapterLines(table, chapter, read, chapterLines);
            head = extractHead(chapterLines);
            markHeadTokens(head);
            loaded = &chapter;
            folder = table.chapterFolder(r);
            back = backPath(folder);
            pages = table.projectDir() + folder;
        }
        if (table.isChapterRow(r) || table.isWebTopic(r))
            continue;
        const std::string& name = table.cell(r, ColFileName);
        std::string path = pages + name;
        buildPageText(r, chapterLines, head, folder, back, bytes);
        m_guard->writePage(path, bytes);
        written.push_back(std::move(path));
    }
    return written;
}

void PageGenerator::generateOne(size_t row, const fs::path& target) {
    const TopicTable& table = m_context.table;
    if (!table.isTopicRow(row) || table.isWebTopic(row))
        throw FileError("Unable to write to " + target.string() + ": the row has no page");
    guardPagePath(*m_guard, target);
    const Lines chapterLines = table.sources().lines(table.cell(row, ColMainFileName));
    m_guard->writeLines(target, buildPage(row, chapterLines, extractHead(chapterLines)),
                        Replace::Own, false);
}

std::vector<std::string> generateTopicPages(const PageContext& context, OutputGuard* guard) {
    return PageGenerator(context, guard).generateAll();
}

void generateTopicPage(const PageContext& context, size_t row, const fs::path& target,
                       OutputGuard* guard) {
    PageGenerator(context, guard).generateOne(row, target);
}

} // namespace qw
