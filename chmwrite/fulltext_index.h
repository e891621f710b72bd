#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qw::chm {

/// The letters of a single-byte code page: which bytes make up words and the lower-case
/// byte of each, so that words are found and folded in the document's own code page.
class CodePageLetters {
public:
    /// upperHalf: the Unicode code points of bytes 0x80 to 0xFF, or empty when they are not
    /// known; then only ASCII letters and digits make words.
    explicit CodePageLetters(const std::vector<char16_t>& upperHalf = {});
    /// The lower-case form of a word byte; 0 for a byte that separates words.
    uint8_t fold(uint8_t byte) const { return m_fold[byte]; }
    /// The byte of the code page that holds a character; -1 when it holds none.
    int byteFor(char32_t codePoint) const;

private:
    std::array<uint8_t, 256> m_fold{};
    std::unordered_map<char32_t, uint8_t> m_bytes; ///< upper half only
};

/// Calls take(word, inTitle) for each word of a page, in order: the title's words with
/// inTitle set, then the words of the text. Tags, comments, scripts and styles are
/// skipped, character references decoded; words are folded to lower case and longer than
/// 99 bytes are left out, as is a word holding a character the code page cannot hold.
void forEachWord(std::string_view html, const CodePageLetters& letters,
                 const std::function<void(std::string_view word, bool inTitle)>& take);

/// Writes numbers bit by bit, the highest bit first, as the search index's word location
/// codes store them.
class BitWriter {
public:
    explicit BitWriter(std::string& out) : m_out(out) {}
    void put(uint32_t bits, unsigned count);
    /// Fills the last byte with zero bits.
    void align();

private:
    std::string& m_out;
    uint8_t m_byte = 0;
    unsigned m_used = 0;
};

/// A number in the scale-2 root-r code: values below 2^root as a 0 bit and root bits;
/// a value of n > root bits as n - root one bits, a zero bit and its n - 1 low bits.
void putScaleRoot(BitWriter& out, uint32_t value, unsigned root);
/// Bits the scale-2 root-r code takes for value.
unsigned scaleRootBits(uint32_t value, unsigned root);

/// The full-text search index of a document ("$FIftiMain"): every word of the pages'
/// titles and texts with the pages and places it stands in, in a tree of nodes that
/// viewers search by word.
class FullTextIndex {
public:
    FullTextIndex(const CodePageLetters& letters, uint32_t codePage, uint32_t language,
                  uint32_t nodeSize = 4096);
    /// Adds the next page; pages are numbered in the order added, as the topics file
    /// lists them.
    void addPage(std::string_view html);
    /// The index file.
    std::string file() const;

    /// Levels of the tree file() writes, leaves included.
    unsigned depth() const { return m_depth; }
    size_t wordCount() const { return m_words.size(); }

private:
    /// Where a word stands in one context (text or title): per page the page-number
    /// difference, the count and the location differences, as 7-bit groups until file().
    struct Postings {
        std::string packed;
        uint32_t pages = 0;
        uint32_t lastPage = 0;
    };
    struct Word {
        std::string text;
        Postings places[2]; ///< text, title
    };
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    const CodePageLetters& m_letters;
    uint32_t m_codePage, m_language, m_nodeSize;
    uint32_t m_pages = 0;
    std::vector<Word> m_words;
    std::unordered_map<std::string, uint32_t, Hash, std::equal_to<>> m_ids;
    /// Bit-length counts of page differences, location counts and location differences.
    std::array<std::array<uint64_t, 33>, 3> m_histogram{};
    uint64_t m_occurrences = 0, m_occurrenceLength = 0;
    std::vector<std::pair<uint32_t, uint32_t>> m_pageWords; ///< (slot, location), reused
    mutable unsigned m_depth = 0;
};

} // namespace qw::chm
