#pragma once

#include "core/file_io.h"
#include "helpgen/code_page.h"
#include "helpgen/page_references.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace qw {

/// What the help build does to every page for the compiled document: notes the files
/// the page refers to, makes its body tag bare for chmcmd's indexer, and writes it in
/// the document's code page. One object serves a whole run.
class CompiledPageFixes {
public:
    CompiledPageFixes(std::filesystem::path projectDir, CodePage codePage, bool bareBody);

    /// Called by the page builder with each finished page.
    void apply(Lines& page, std::string_view chapterFolder, std::string_view pageName);
    /// apply for a page given as the text to write: lines each ended by CR LF.
    /// ownPages, skipBegin and skipEnd: see PageReferences::scanText.
    void apply(std::string& pageText, std::string_view chapterFolder, std::string_view pageName,
               std::span<const std::string_view> ownPages = {}, size_t skipBegin = 0,
               size_t skipEnd = 0);

    PageReferences& references() { return m_references; }
    const PageReferences& referencesConst() const { return m_references; }
    const CodePage& codePage() const { return m_codePage; }
    const EncodeReport& encoded() const { return m_encoded; }
    bool forChmcmd() const { return m_bareBody; }

private:
    PageReferences m_references;
    CodePage m_codePage;
    bool m_bareBody;
    EncodeReport m_encoded;
    Lines m_lines; ///< a page that needs work line by line
};

class TopicTable;
struct ProjectSettings;

/// The fixes of one help build: the code page of the document's language (see
/// documentLanguage) and, for chmcmd, bare body tags.
CompiledPageFixes compiledPageFixes(const std::string& projectDir, const std::string& base,
                                    const std::string& projectPath, bool forChmcmd);

/// The topic pages the help project lists: lower-case paths relative to the project
/// directory with "/".
std::unordered_set<std::string> listedPages(const TopicTable& table);

/// The files to list after the topic pages: additional, then every existing file the
/// pages refer to that neither the topic pages nor additional already name (any case).
/// Resolves the references first.
std::vector<std::string> filesToList(const TopicTable& table, std::vector<std::string> additional,
                                     PageReferences& references);

/// After the help project's file list is up to date: writes the contents, index and
/// help project files ("<base>_toc.hhc", "_indx.hhk", ".hhp") in the document's code
/// page, fills an empty default topic with the first page of the contents, turns
/// chmcmd's binary index off when the index holds more than ASCII, and returns
/// the warnings of the run (characters the code page could not hold, references to
/// missing files). Throws FileError.
std::vector<std::string> finishHelpFiles(const std::string& base, const TopicTable& table,
                                         const ProjectSettings& project,
                                         const CompiledPageFixes& fixes);

/// Checks the compiled "<base>.chm" against the file list of "<base>.hhp", mending its
/// directory header when needed. Returns why the document is unusable, empty when it is
/// sound.
std::string checkCompiledDocument(const std::string& base);

/// Appends the warnings, then the error when there is one, to the compiler's log, so
/// that the author sees them there.
void appendWarningsToLog(const std::string& logPath, const std::vector<std::string>& warnings,
                         const std::string& error = {});

/// The document's language: the "Language=" of the help project file when it exists,
/// else the project file's hand-added [OPTIONS] key, else 0x809 (what the build writes).
uint32_t documentLanguage(const std::string& helpProjectPath, const std::string& projectPath);

/// Puts topic into the [OPTIONS] "Default topic=" line when that is missing or empty,
/// and into the default-topic field of every window definition of [WINDOWS] where that
/// is empty; false when nothing was empty (or topic is empty).
bool fillDefaultTopic(Lines& helpProject, const std::string& topic);

/// Adds "key=value" at the top of [OPTIONS] (made when missing) unless the section
/// already sets key; false when it does.
bool addOptionWhenMissing(Lines& helpProject, std::string_view key, std::string_view value);

/// The names the [FILES] section lists, with "/" separators.
std::vector<std::string> listedFiles(const Lines& helpProject);

/// The warnings for characters of file that the code page could not hold, the one on
/// character references followed by referenceNote; none when the report is clean.
std::vector<std::string> encodingWarnings(const std::string& file, const EncodeReport& report,
                                          const CodePage& codePage,
                                          std::string_view referenceNote = {});

} // namespace qw
