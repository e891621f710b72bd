#include "treegen/search_index.h"

#include "core/text_util.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace qw {

namespace {

// ----- UTF-8 ----------------------------------------------------------------------------

/// The code point at text[pos], advancing pos; an invalid sequence gives U+FFFD and
/// advances one byte.
char32_t nextCodePoint(std::string_view text, size_t& pos) {
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int length = 0;
    char32_t c = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        c = b0 & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + size_t(length) > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + size_t(i)]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += size_t(length);
    return c;
}

// ----- folding --------------------------------------------------------------------------

enum class CharClass : uint8_t { Separator, Word, Cjk };

/// One character's class and its folded text (UTF-8, possibly empty for a lone mark).
struct Folded {
    CharClass kind = CharClass::Separator;
    uint8_t length = 0; ///< code points in text
    std::string text;
};

Folded foldCharacter(char32_t c) {
    Folded folded;
    const uint32_t category = U_GET_GC_MASK(UChar32(c));
    if (isCjkCharacter(c))
        folded.kind = CharClass::Cjk;
    else if ((category & (U_GC_L_MASK | U_GC_N_MASK | U_GC_M_MASK)) != 0)
        folded.kind = CharClass::Word;
    else
        return folded;
    UErrorCode status = U_ZERO_ERROR;
    if (folded.kind == CharClass::Cjk) {
        // Kana keep their voicing marks; only compatibility forms (half-width kana,
        // compatibility ideographs) become their usual form.
        const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
        icu::UnicodeString form = icu::UnicodeString(UChar32(c));
        if (U_SUCCESS(status))
            form = nfkc->normalize(form, status);
        if (U_FAILURE(status))
            form = icu::UnicodeString(UChar32(c));
        form.toUTF8String(folded.text);
        folded.length = uint8_t(form.countChar32());
        return folded;
    }
    icu::UnicodeString parts;
    const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(status);
    if (U_FAILURE(status) || !nfkd->getDecomposition(UChar32(c), parts))
        parts = icu::UnicodeString(UChar32(c));
    for (int32_t i = 0; i < parts.length(); i = parts.moveIndex32(i, 1)) {
        const UChar32 part = parts.char32At(i);
        if ((U_GET_GC_MASK(part) & U_GC_M_MASK) != 0)
            continue;
        char32_t lower = char32_t(u_tolower(part));
        if (lower == 0x03C2) // final sigma
            lower = 0x03C3;
        appendUtf8(folded.text, lower);
        ++folded.length;
    }
    return folded;
}

/// Folds characters beyond ASCII once each per run of the program.
class FoldCache {
public:
    const Folded& get(char32_t c) {
        auto it = m_cache.find(c);
        if (it == m_cache.end())
            it = m_cache.emplace(c, foldCharacter(c)).first;
        return it->second;
    }

private:
    std::unordered_map<char32_t, Folded> m_cache;
};

FoldCache& foldCache() {
    thread_local FoldCache cache;
    return cache;
}

constexpr bool isAsciiWord(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr char asciiLower(unsigned char c) {
    return char(c >= 'A' && c <= 'Z' ? c + 32 : c);
}

/// Calls emit(term) for every search term of text (see searchTerms).
template <typename Emit> void forEachTerm(std::string_view text, Emit&& emit) {
    FoldCache& cache = foldCache();
    std::string word;
    size_t wordChars = 0;  // characters of the original text in word
    size_t wordLength = 0; // folded code points in word
    std::vector<std::string> cjk;
    auto endWord = [&] {
        if (wordChars >= 2 && !word.empty())
            emit(std::string_view(word));
        word.clear();
        wordChars = wordLength = 0;
    };
    auto endCjk = [&] {
        if (cjk.size() == 1) {
            emit(std::string_view(cjk[0]));
        } else {
            std::string pair;
            for (size_t i = 0; i + 1 < cjk.size(); ++i) {
                pair = cjk[i];
                pair += cjk[i + 1];
                emit(std::string_view(pair));
            }
        }
        cjk.clear();
    };
    size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            ++pos;
            if (!cjk.empty())
                endCjk();
            if (isAsciiWord(byte)) {
                if (wordLength < kMaxTermLength) {
                    word += asciiLower(byte);
                    ++wordLength;
                }
                ++wordChars;
            } else if (!word.empty() || wordChars != 0) {
                endWord();
            }
            continue;
        }
        const Folded& f = cache.get(nextCodePoint(text, pos));
        if (f.kind == CharClass::Word) {
            if (!cjk.empty())
                endCjk();
            if (wordLength + f.length <= kMaxTermLength) {
                word += f.text;
                wordLength += f.length;
            }
            ++wordChars;
        } else if (f.kind == CharClass::Cjk) {
            if (wordChars != 0)
                endWord();
            if (!f.text.empty())
                cjk.push_back(f.text);
        } else {
            if (wordChars != 0)
                endWord();
            if (!cjk.empty())
                endCjk();
        }
    }
    if (wordChars != 0)
        endWord();
    if (!cjk.empty())
        endCjk();
}

// ----- script text ----------------------------------------------------------------------

/// Appends text as a double-quoted script string of ASCII only (so the index reads the
/// same whatever character set the page that loads it declares).
void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    auto escape16 = [&](uint32_t unit) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += kHex[(unit >> shift) & 0xF];
    };
    out += '"';
    size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte >= 0x80) {
            const char32_t c = nextCodePoint(text, pos);
            if (c >= 0x10000) {
                escape16(0xD800 + ((c - 0x10000) >> 10));
                escape16(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                escape16(uint32_t(c));
            }
            continue;
        }
        ++pos;
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += char(byte);
        } else if (byte == '<') {
            out += "\\u003c"; // never "</script>" inside
        } else if (byte < 0x20) {
            escape16(byte);
        } else {
            out += char(byte);
        }
    }
    out += '"';
}

/// Text without tabs and line breaks, which separate the fields of the page list.
std::string oneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return out;
}

void appendBase36(std::string& out, uint32_t value) {
    char digits[8];
    int n = 0;
    do {
        const uint32_t d = value % 36;
        digits[n++] = char(d < 10 ? '0' + d : 'a' + d - 10);
        value /= 36;
    } while (value != 0);
    while (n > 0)
        out += digits[--n];
}

} // namespace

bool isCjkCharacter(char32_t c) {
    return (c >= 0x1100 && c <= 0x11FF) ||   // Hangul jamo
           (c >= 0x2E80 && c <= 0x2FDF) ||   // CJK radicals
           (c >= 0x3005 && c <= 0x3007) ||   // iteration marks, ideographic zero
           (c >= 0x3040 && c <= 0x30FF) ||   // Hiragana, Katakana
           (c >= 0x3130 && c <= 0x318F) ||   // Hangul compatibility jamo
           (c >= 0x31F0 && c <= 0x31FF) ||   // Katakana extensions
           (c >= 0x3400 && c <= 0x4DBF) ||   // Han extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||   // Han
           (c >= 0xAC00 && c <= 0xD7AF) ||   // Hangul syllables
           (c >= 0xF900 && c <= 0xFAFF) ||   // Han compatibility
           (c >= 0xFF66 && c <= 0xFF9F) ||   // half-width Katakana
           (c >= 0x20000 && c <= 0x3FFFF);   // Han extensions B and later
}

std::string foldForSearch(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    FoldCache& cache = foldCache();
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            out += asciiLower(byte);
            ++pos;
            continue;
        }
        const size_t start = pos;
        const char32_t c = nextCodePoint(utf8, pos);
        const Folded& f = cache.get(c);
        if (f.kind == CharClass::Separator)
            out.append(utf8.substr(start, pos - start));
        else
            out += f.text;
    }
    return out;
}

std::vector<std::string> searchTerms(std::string_view utf8) {
    std::vector<std::string> terms;
    forEachTerm(utf8, [&](std::string_view term) { terms.emplace_back(term); });
    return terms;
}

char SearchIndexBuilder::weightLetter(uint32_t count, bool inTitle) {
    const uint32_t capped = std::clamp<uint32_t>(count, 1, 13);
    return char((inTitle ? 'N' : 'A') + capped - 1);
}

namespace {

uint64_t termHash(std::string_view term) {
    uint64_t h = 0xcbf29ce484222325ULL; // FNV-1a
    for (const char c : term)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    return h ^ (h >> 29);
}

} // namespace

size_t SearchIndexBuilder::slotOf(std::string_view term, uint64_t hash) const {
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = size_t(hash) & mask;; slot = (slot + 1) & mask) {
        const uint32_t entry = m_slots[slot];
        if (entry == 0 || (m_hashes[entry - 1] == hash && m_terms[entry - 1] == term))
            return slot;
    }
}

uint32_t SearchIndexBuilder::termId(std::string_view term) {
    if (m_slots.empty())
        m_slots.assign(1024, 0);
    const uint64_t hash = termHash(term);
    size_t slot = slotOf(term, hash);
    if (m_slots[slot] != 0)
        return m_slots[slot] - 1;
    const auto id = uint32_t(m_terms.size());
    m_terms.emplace_back(term);
    m_hashes.push_back(hash);
    m_lists.emplace_back();
    m_lastDocument.push_back(UINT32_MAX);
    m_slots[slot] = id + 1;
    // At most half full: grow and place every term again.
    if (m_terms.size() * 2 > m_slots.size()) {
        m_slots.assign(m_slots.size() * 2, 0);
        for (uint32_t t = 0; t < m_terms.size(); ++t)
            m_slots[slotOf(m_terms[t], m_hashes[t])] = t + 1;
    }
    return id;
}

void SearchIndexBuilder::add(std::string_view title, std::string_view href, std::string_view text) {
    const auto document = uint32_t(m_documents.size());
    m_documents.push_back({std::string(title), std::string(href), searchSummary(text)});
    auto count = [&](std::string_view term, bool inTitle) {
        const uint32_t id = termId(term);
        std::vector<Entry>& list = m_lists[id];
        if (m_lastDocument[id] == document) {
            ++list.back().count;
            list.back().inTitle = list.back().inTitle || inTitle;
            return;
        }
        m_lastDocument[id] = document;
        list.push_back({document, 1, inTitle});
    };
    forEachTerm(title, [&](std::string_view term) { count(term, true); });
    forEachTerm(text, [&](std::string_view term) { count(term, false); });
}

std::vector<SearchPosting> SearchIndexBuilder::postings(std::string_view term) const {
    std::vector<SearchPosting> found;
    if (m_slots.empty())
        return found;
    const uint32_t entry = m_slots[slotOf(term, termHash(term))];
    if (entry == 0)
        return found;
    for (const Entry& e : m_lists[entry - 1])
        found.push_back({e.document, e.count, e.inTitle});
    return found;
}

std::string SearchIndexBuilder::script() const {
    std::string out;
    out.reserve(m_documents.size() * 200 + m_terms.size() * 24);
    out += kSearchIndexMark;
    // The pages as one string (a string reads far faster than an array literal): a line
    // per page, its title, link and opening words separated by tabs.
    std::string docs;
    for (size_t i = 0; i < m_documents.size(); ++i) {
        const Document& d = m_documents[i];
        if (i != 0)
            docs += '\n';
        docs += oneLine(d.title);
        docs += '\t';
        docs += oneLine(d.href);
        docs += '\t';
        docs += oneLine(d.summary);
    }
    out += "qwSearchIndex({\"version\":2,\"docs\":";
    appendJsonString(out, docs);
    // Terms in the order of their UTF-8 bytes, which is the order of their code points.
    std::vector<uint32_t> order(m_terms.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [this](uint32_t a, uint32_t b) { return m_terms[a] < m_terms[b]; });
    std::string terms, lists;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i != 0) {
            terms += '\n';
            lists += ' ';
        }
        terms += m_terms[order[i]];
        uint32_t previous = 0;
        for (const Entry& e : m_lists[order[i]]) {
            appendBase36(lists, e.document - previous);
            lists += weightLetter(e.count, e.inTitle);
            previous = e.document;
        }
    }
    out += ",\n\"terms\":";
    appendJsonString(out, terms);
    out += ",\n\"lists\":";
    appendJsonString(out, lists);
    out += "});\n";
    return out;
}

std::string searchSummary(std::string_view text, size_t limit) {
    const std::string trimmed = trim(text);
    if (trimmed.size() <= limit)
        return trimmed;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(trimmed[cut]) & 0xC0) == 0x80)
        --cut;
    const size_t space = trimmed.rfind(' ', cut);
    if (space != std::string::npos && space > limit / 2)
        cut = space;
    return trim(trimmed.substr(0, cut)) + "...";
}

} // namespace qw
