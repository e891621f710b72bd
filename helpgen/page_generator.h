#pragma once

#include "core/file_io.h"
#include "core/safe_output.h"
#include "helpgen/token_replace.h"

#include <filesystem>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace qw {

class TopicTable;
struct ProjectSettings;
struct EnvironmentSettings;
class EffectsExpander;
class CompiledPageFixes;

/// What one page-generation run reads. The table and the settings are referred to, not
/// copied, and must outlive the generator. Pages go below table.projectDir().
struct PageContext {
    const TopicTable& table;
    const ProjectSettings& project;
    const EnvironmentSettings& environment;
    /// The program's data directory, the one holding "xFiles/Effects.sfx".
    std::filesystem::path dataDir;
    /// On for the help build: pages then carry the keyword object. Off for the HTML Tree
    /// and the preview.
    bool htmlHelpMode = true;
    /// When set (the help build), every page is passed to it when built.
    CompiledPageFixes* compiledPages = nullptr;
    /// On for the browser document: pages declare a viewport for small screens and load
    /// the script that marks the words a search result was found by.
    bool readerAids = false;
};

/// Splits chapters into one page per topic. The special-effect definitions are read once
/// when the generator is made, so one generator serves a whole run.
///
/// Every failure (a chapter that cannot be read, a line cell that is not a number or lies
/// beyond its chapter, a page that cannot be written, a page path that the output guard
/// refuses: outside the project directory, through a link, over a chapter or over a file
/// the program did not write) throws FileError and ends the run; pages written before it
/// stay on disk.
class PageGenerator {
public:
    /// Pages are written through guard; without one the generator guards the table's
    /// project folder itself. An unreadable definitions file throws FileError.
    explicit PageGenerator(const PageContext& context, OutputGuard* guard = nullptr);
    ~PageGenerator();
    PageGenerator(const PageGenerator&) = delete;
    PageGenerator& operator=(const PageGenerator&) = delete;

    /// Writes the page of every topic that is not a web topic, reading each chapter file
    /// once. Returns the paths of the pages written, in table order.
    std::vector<std::string> generateAll();

    /// Reads the row's chapter and writes the row's page to target instead of the
    /// topic's own path (the preview). target must lie inside the project directory and
    /// must not be a chapter file.
    void generateOne(size_t row, const std::filesystem::path& target);

    /// The page of topic row `row`, built from its chapter's lines and head (see
    /// extractHead). Writes nothing.
    Lines buildPage(size_t row, const Lines& chapterLines, const Lines& head) const;

    /// Where the page of a topic row goes: project directory + chapter folder + FileName.
    std::filesystem::path pagePath(size_t row) const;

private:
    /// The page as the bytes to write (lines ended by CR LF) into text, whose memory
    /// serves again; the chapter's lines are views into its text, which is not copied.
    /// folder is the row's chapter folder and back its backPath.
    void buildPageText(size_t row, std::span<const std::string_view> chapterLines,
                       const Lines& head, const std::string& folder, const std::string& back,
                       std::string& text) const;

    /// Notes which lines of the head of the chapter's pages (the header lines, then head)
    /// hold a token replaced per topic: the others are the same on every page.
    void markHeadTokens(const Lines& head) const;

    PageContext m_context;
    std::unique_ptr<EffectsExpander> m_effects;
    TokenFinder m_quotes{"&quot;"};
    TokenFinder m_preOpen{"<pre>"};
    TokenFinder m_preClose{"</pre>"};
    TokenFinder m_preEnd{"pre>"};
    TokenFinder m_titleToken;  ///< replaced in the head by the topic's title
    TokenFinder m_imageToken;  ///< by its background image
    TokenFinder m_colourToken; ///< by its background colour
    std::string m_footer;      ///< the project's topic footer, trimmed
    // Kept from page to page so that their memory serves again.
    mutable Lines m_top;            ///< the head of the page being built
    mutable std::string m_line;     ///< a line of it being made
    mutable bool m_colourKnown = false;
    mutable std::string m_colourCell; ///< the colour cell of the last page with a token
    mutable std::string m_colour;     ///< and its colour as HTML writes it
    /// The chapter lines given to buildPageText are views into one text, in order.
    mutable bool m_linesInOneText = false;
    mutable std::vector<char> m_headTokens; ///< per line of m_top: it holds a token
    mutable bool m_anyHeadToken = false;
    mutable Lines m_lines;          ///< a page that needs work line by line
    mutable std::string m_pageText; ///< such a page as one text
    std::unique_ptr<OutputGuard> m_ownGuard;
    OutputGuard* m_guard = nullptr;
};

/// Appends line and the CR LF that ends it to a page's text.
void addPageLine(std::string& text, std::string_view line);
/// addPageLine for each of lines, which are views into one text in its order (as
/// splitLineViews gives them).
void addTextLines(std::string& text, std::span<const std::string_view> lines);

/// The lines of a page's text, each ended by CR LF (the last may lack it).
void splitPageText(std::string_view text, Lines& lines);

/// The chapter's head: every line up to the one holding "<BODY" (any case), continued
/// until a line holds ">". Empty when no line holds "<BODY".
Lines extractHead(const Lines& chapterLines);
Lines extractHead(std::span<const std::string_view> chapterLines);

/// "../" once per folder between a topic's chapter folder ("a/b/") and the project
/// directory; empty for a chapter in the project directory.
std::string backPath(std::string_view chapterFolder);

/// "#RRGGBB" for a stored colour text ("$BBGGRR" hexadecimal or one of the sixteen basic
/// colour names such as "clRed"). Any other text gives "#FFFFFF".
std::string htmlColour(std::string_view colourText);

/// Convenience for one run: PageGenerator(context, guard).generateAll().
std::vector<std::string> generateTopicPages(const PageContext& context,
                                                      OutputGuard* guard = nullptr);

/// Convenience for the preview: PageGenerator(context, guard).generateOne(row, target).
void generateTopicPage(const PageContext& context, size_t row, const std::filesystem::path& target,
                       OutputGuard* guard = nullptr);

} // namespace qw
