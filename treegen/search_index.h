#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The search key of a text: each character decomposed (compatibility decomposition),
/// its combining marks dropped, lower-cased, and the final sigma taken as sigma; CJK
/// characters keep their marks (kana voicing) and only lose compatibility forms. "Évian" and "EVIAN" both give "evian". The search script of the
/// browser document folds the reader's words the same way.
std::string foldForSearch(std::string_view utf8);

/// True for a character of a script written without spaces between words (Han, kana,
/// Hangul): such text is indexed as pairs of neighbouring characters.
bool isCjkCharacter(char32_t c);

/// The search terms of a text in order, folded: runs of letters and digits of two
/// characters or more, and in runs of CJK characters each pair of neighbours (a lone
/// CJK character stands for itself). Terms longer than kMaxTermLength characters are cut.
std::vector<std::string> searchTerms(std::string_view utf8);
inline constexpr size_t kMaxTermLength = 40;

/// The first line of every index script, by which the program knows its own.
inline constexpr const char* kSearchIndexMark =
    "// Search index of this browser document, written by HTMLHelp Quirewright.\n";

/// One page's entry in a term's list.
struct SearchPosting {
    uint32_t document = 0;
    uint32_t count = 0;   ///< how often the term stands in the page (title included)
    bool inTitle = false; ///< the term is one of the title's
};

/// Collects the pages of a browser document and writes the index that its search box
/// reads: the pages (a line each: title, link and opening words separated by tabs) and,
/// per term in sorted order, the pages holding it with a weight by which title hits rank
/// first.
///
/// The index is a script that hands the data to qwSearchIndex(), so that a page opened
/// from the local disk can load it with a script element (browsers refuse to fetch local
/// files). Term lists are compact text: per page the distance to the previous page's
/// number in base 36 followed by one capital letter, A-M for a count of 1 to 13 in the
/// text, N-Z for the same counts when the title holds the term.
class SearchIndexBuilder {
public:
    /// Adds one page; text is its plain text (UTF-8), title its title as shown in the tree.
    void add(std::string_view title, std::string_view href, std::string_view text);

    size_t documentCount() const { return m_documents.size(); }
    /// The pages holding a folded term, in the order they were added; empty when none.
    std::vector<SearchPosting> postings(std::string_view term) const;
    /// The short opening text stored for a page.
    const std::string& summary(size_t document) const { return m_documents.at(document).summary; }

    /// The script text of the index.
    std::string script() const;

    /// The weight letter of a posting and its inverse, as the search script reads it.
    static char weightLetter(uint32_t count, bool inTitle);

private:
    struct Document {
        std::string title;
        std::string href;
        std::string summary;
    };
    struct Entry {
        uint32_t document;
        uint32_t count;
        bool inTitle;
    };
    uint32_t termId(std::string_view term);
    /// The slot of term in m_slots: the one holding it or the empty one it would take.
    size_t slotOf(std::string_view term, uint64_t hash) const;

    std::vector<Document> m_documents;
    /// Open addressing over the terms: term number + 1 per slot, 0 for an empty slot.
    std::vector<uint32_t> m_slots;
    std::vector<uint64_t> m_hashes; ///< per term
    std::vector<std::string> m_terms;
    std::vector<std::vector<Entry>> m_lists;
    // Per term: where in the current page's list it was counted (to count repeats).
    std::vector<uint32_t> m_lastDocument;
};

/// The opening words of a text: at most about limit bytes, cut at a space, never inside a
/// UTF-8 character; "..." marks a cut.
std::string searchSummary(std::string_view text, size_t limit = 100);

/// The plain text of an HTML page for the index: the title element and the body's text,
/// tags removed, script, style and comments dropped, character references and the common
/// named entities decoded, runs of white space made one space. The bytes are read in the
/// character set the page's meta element declares (any that ICU converts); a page that
/// declares none is read as UTF-8 where it is valid UTF-8 and as Windows-1252 elsewhere.
struct PageText {
    std::string title;
    std::string text;
};
PageText extractPageText(std::string_view bytes);

/// The character set a page declares in a meta element ("utf-8", "windows-1251"), lower
/// case; empty when it declares none.
std::string declaredCharset(std::string_view bytes);

/// The bytes as UTF-8, read in charset (see extractPageText for the fallbacks).
std::string pageBytesToUtf8(std::string_view bytes, std::string_view charset);

/// Decodes character references and named entities in UTF-8 text; unknown ones stay.
std::string decodeEntities(std::string_view text);

} // namespace qw
