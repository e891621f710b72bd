#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qw::chm {

struct DocumentLinks;
struct TopicEntry;

/// A window type of the document, as a help project file's [WINDOWS] line gives it.
struct WindowDefinition {
    std::string name;
    std::string caption;
    std::string contentsFile;
    std::string indexFile;
    std::string defaultFile;
    std::string homeFile;
    std::string jump1Url, jump1Text, jump2Url, jump2Text;
    uint32_t navigationStyle = 0; ///< navigation pane style flags
    uint32_t navigationWidth = 0;
    uint32_t buttons = 0; ///< toolbar button flags
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    uint32_t windowStyle = 0, extendedStyle = 0;
    uint32_t showState = 0;
    uint32_t navigationClosed = 0, defaultTab = 0, tabPosition = 0, notifyId = 0;
};

/// Document-wide settings.
struct DocumentOptions {
    std::string title;
    std::string defaultTopic;  ///< the page opened first
    std::string defaultWindow; ///< the window type the document opens in
    std::string contentsFile;  ///< a file added to the document
    std::string indexFile;     ///< a file added to the document
    std::string compiledName;  ///< the document's own name without extension
    std::string defaultFont;   ///< "face,size,charset" or empty
    uint32_t language = 0x409; ///< Windows language identifier
    bool fullTextSearch = false;
    uint32_t codePage = 1252; ///< the code page the pages are written in
    /// The Unicode code points of the code page's bytes 0x80 to 0xFF (0 where undefined);
    /// empty when unknown. The search index finds and folds words by it.
    std::vector<char16_t> codePageUpperHalf;
    uint32_t timestamp = 0; ///< seconds since 1970, stored in the headers
    /// Write the keyword index and associative links the index file and pages name.
    bool binaryIndex = true;
    /// Set while the document is written: which link indexes it holds.
    bool keywordLinks = false;
    bool associativeLinks = false;
};

/// Collects a help document's files, contents, index, options and window types and
/// writes the compiled document. Names are paths inside the document with "/"
/// separators, without a leading "/"; names differing only in case are one file.
class ChmWriter {
public:
    void setOptions(const DocumentOptions& options) { m_options = options; }
    const DocumentOptions& options() const { return m_options; }
    void addWindow(const WindowDefinition& window) { m_windows.push_back(window); }
    /// Adds a file; a later file of the same name (any case) replaces the earlier one.
    void addFile(const std::string& name, std::string bytes);
    /// Adds the contents file and names it in the options.
    void setContents(const std::string& name, std::string bytes);
    /// Adds the index file and names it in the options.
    void setIndex(const std::string& name, std::string bytes);
    /// Number of files added.
    size_t fileCount() const { return m_files.size(); }
    /// How the index file's and pages' texts become UTF-8 for the keyword indexes (by
    /// default: UTF-8 as it stands, else Windows-1252).
    void setTextDecoder(std::function<std::string(const std::string&)> decoder) {
        m_decoder = std::move(decoder);
    }

    /// The compiled document's bytes. threads: how many threads compress (0: all cores).
    std::string document(unsigned threads = 0) const;
    /// Writes the document to path (replacing it). Throws std::runtime_error when the file
    /// cannot be written.
    void write(const std::string& path, unsigned threads = 0) const;

private:
    struct File {
        std::string name;
        std::string bytes;
    };
    /// The keyword and associative link indexes of the files; notes in options which
    /// the document holds. topics may grow (references to anchors and addresses).
    DocumentLinks linkFiles(const std::vector<const File*>& files,
                            const std::vector<const std::string*>& pages,
                            std::vector<TopicEntry>& topics, DocumentOptions& options) const;
    static void addLinkFiles(const DocumentLinks& links,
                             std::vector<std::pair<std::string, const std::string*>>& out);
    /// The full-text search index of the pages among the files, given in name order.
    std::string fullTextFile(const std::vector<const File*>& sortedFiles) const;

    DocumentOptions m_options;
    std::vector<WindowDefinition> m_windows;
    std::vector<File> m_files;
    std::unordered_map<std::string, size_t> m_byName; ///< lower-case name to index
    std::function<std::string(const std::string&)> m_decoder;
};

} // namespace qw::chm
