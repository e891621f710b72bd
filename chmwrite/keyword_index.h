#pragma once

#include "chmwrite/system_files.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qw::chm {

/// Turns text as a page or an index file holds it (the document's code page) into UTF-8.
using TextDecoder = std::function<std::string(const std::string&)>;

/// UTF-8 as it stands when it is valid UTF-8, else the bytes read as Windows-1252.
std::string decodeUtf8OrWindows1252(const std::string& bytes);

/// One object of an index file: a keyword (with the keywords above it for a sub-keyword)
/// and the pages it leads to, or the keyword it refers the reader to.
struct IndexFileKeyword {
    std::vector<std::string> levels; ///< "printing", then "paper size" for a sub-keyword
    std::vector<std::string> locals; ///< the "Local" values, as written
    std::string seeAlso;             ///< the "See Also" value; empty for most
};

/// The keywords of an index file in the order written. Texts are decoded (entities
/// included) to UTF-8.
std::vector<IndexFileKeyword> indexFileKeywords(const std::string& sitemap,
                                                const TextDecoder& decode = {});

/// What the keyword objects of a page give: index keywords ("Keyword", several separated
/// by ";", a sub-keyword after its keyword and ",") and associative link names
/// ("ALink Name").
struct PageLinkNames {
    std::vector<std::vector<std::string>> keywords;
    std::vector<std::string> associativeNames;
};
PageLinkNames pageLinkNames(const std::string& html, const TextDecoder& decode = {});

/// The four files of a keyword or associative link index.
struct LinkIndexFiles {
    std::string btree, data, map, property;
};

/// Keywords with the topics (entries of #TOPICS) they lead to. Keywords that differ only
/// in case are one, spelled as first added; a sub-keyword brings its keyword in when that
/// has no entry of its own. The files list them sorted as readers search them: level by
/// level, ignoring case, a keyword's sub-keywords right after it.
class LinkIndex {
public:
    /// Adds topic to the keyword named by levels (UTF-8); empty levels are dropped.
    void add(const std::vector<std::string>& levels, uint32_t topic);
    /// Adds the keyword without a topic (a heading of sub-keywords).
    void addKeyword(const std::vector<std::string>& levels);
    /// Makes the keyword refer to another one ("See Also") when it leads to no topic.
    void addSeeAlso(const std::vector<std::string>& levels, const std::string& target);
    /// Number of keywords (sub-keywords included).
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    /// The BTree, Data, Map and Property files; the header records the document's
    /// language and code page.
    LinkIndexFiles files(uint32_t language, uint32_t codePage) const;

private:
    struct Entry {
        std::vector<std::u16string> levels;
        std::u16string seeAlso;
        std::vector<uint32_t> topics;
    };
    /// The entry of the first count levels, made when new.
    size_t entryFor(const std::vector<std::u16string>& levels, size_t count);
    /// The entry of levels (UTF-8), with entries made for the keywords above it; null when
    /// no level has text.
    Entry* entryWithParents(const std::vector<std::string>& levels);
    std::vector<Entry> m_entries;
    std::unordered_map<std::u16string, size_t> m_byKey; ///< case-folded path to entry
};

/// The link indexes of a whole document.
struct DocumentLinks {
    bool keywords = false;    ///< the keyword index files are filled
    bool associative = false; ///< the associative link files are filled
    LinkIndexFiles keywordFiles, associativeFiles;
};

/// Builds the keyword index from the index file (may be null) and the keyword objects of
/// the pages, and the associative links from the pages' link names. pages[i] holds the
/// bytes of topics[i]; a reference of the index file that names no page (an anchor, an
/// address outside) gets a topic of its own, appended to topics.
DocumentLinks documentLinks(const std::string* indexFile,
                            const std::vector<const std::string*>& pages,
                            std::vector<TopicEntry>& topics, uint32_t language, uint32_t codePage,
                            const TextDecoder& decode = {});

} // namespace qw::chm
