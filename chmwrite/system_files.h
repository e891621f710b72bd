#pragma once

#include "chmwrite/chm_writer.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qw::chm {

/// The "#STRINGS" file: NUL-terminated strings, each stored once; offset 0 is the empty
/// string.
class StringTable {
public:
    StringTable() : m_bytes(1, '\0') {}
    /// The offset of text in the table (0 for empty text), adding it when new.
    uint32_t add(const std::string& text);
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    std::map<std::string, uint32_t> m_offsets;
};

/// A page of the document as the topic files list it.
struct TopicEntry {
    std::string name;  ///< path inside the document, "/" separators, no leading "/"
    std::string title; ///< the page's title, empty when it has none
    bool inContents = false;
};

/// The "#SYSTEM" file for the options; keywordLinks says whether a keyword index exists.
std::string systemFile(const DocumentOptions& options);
/// The "#WINDOWS" file; its texts go into strings.
std::string windowsFile(const std::vector<WindowDefinition>& windows, StringTable& strings);

/// "#TOPICS", "#URLTBL" and "#URLSTR" for the pages; titles go into strings.
struct TopicFiles {
    std::string topics, urlTable, urlStrings;
};
TopicFiles topicFiles(const std::vector<TopicEntry>& pages, StringTable& strings);

/// The "#IDXHDR" file (4096 bytes).
std::string indexHeaderFile(uint32_t topicCount, uint32_t timestamp);

/// The text of a page's <title> element, without surrounding blanks; empty when none.
std::string pageTitle(const std::string& html);

/// The "Local" values of the sitemap objects of a contents or index file.
std::vector<std::string> sitemapLocals(const std::string& sitemap);

} // namespace qw::chm
