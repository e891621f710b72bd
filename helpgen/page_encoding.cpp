// Encodes generated pages and text files in the document's code page.
#include "helpgen/code_page.h"

#include "core/text_util.h"

#include <cstdint>
#include <cstring>

namespace qw {

namespace {

bool hasTagName(std::string_view line, size_t at, std::string_view name) {
    if (line.size() - at < name.size() || !equalsNoCase(line.substr(at, name.size()), name))
        return false;
    if (line.size() - at == name.size())
        return true;
    const char next = line[at + name.size()];
    return next == '>' || next == ' ' || next == '\t' || next == '/';
}

/// Changes the charset a meta tag names (from at, the tag's "<") to charset; false when
/// the tag names none.
bool renameCharset(std::string& line, size_t at, const std::string& charset) {
    const size_t end = line.find('>', at);
    const size_t key = findNoCase(line, "charset=", at);
    if (key == std::string::npos || (end != std::string::npos && key > end))
        return false;
    size_t value = key + 8;
    if (value < line.size() && (line[value] == '"' || line[value] == '\''))
        ++value;
    size_t stop = value;
    while (stop < line.size() && std::strchr("\"'; \t>/", line[stop]) == nullptr)
        ++stop;
    line.replace(value, stop - value, charset);
    return true;
}

/// Tells, tag by tag, whether the text after a position lies inside a script or style
/// element, renames the charset of meta tags on the way and notes where the head begins.
class ElementTracker {
public:
    explicit ElementTracker(std::string charset) : m_charset(std::move(charset)) {}
    /// Walks the tags of line number index; calls part(text, inScript) for each stretch
    /// of text.
    template <typename Part> void walk(std::string& line, size_t index, Part part) {
        size_t done = 0;
        for (size_t lt = line.find('<'); lt != std::string::npos; lt = line.find('<', lt + 1)) {
            const bool wasInside = m_inside;
            if (!m_inside && hasTagName(line, lt + 1, "meta")) {
                m_declared = renameCharset(line, lt, m_charset) || m_declared;
            } else if (!m_inside && m_headLine == kNone && hasTagName(line, lt + 1, "head")) {
                m_headLine = index;
            } else if (hasTagName(line, lt + 1, "script") || hasTagName(line, lt + 1, "style")) {
                m_inside = true;
            } else if (hasTagName(line, lt + 1, "/script") || hasTagName(line, lt + 1, "/style")) {
                m_inside = false;
            }
            if (wasInside != m_inside) {
                part(std::string_view(line).substr(done, lt - done), wasInside);
                done = lt;
            }
        }
        part(std::string_view(line).substr(done), m_inside);
    }

    static constexpr size_t kNone = size_t(-1);
    bool declared() const { return m_declared; }
    size_t headLine() const { return m_headLine; }

private:
    std::string m_charset;
    bool m_inside = false;
    bool m_declared = false;
    size_t m_headLine = kNone;
};

/// Declares the charset in a meta element right after the "<head>" tag, or after the
/// leading comments when the page has no head: some viewers read a page without one in
/// Latin-1, whatever the document's language.
void declareCharset(Lines& page, size_t headLine, const std::string& charset) {
    const std::string meta =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">";
    if (headLine != ElementTracker::kNone) {
        std::string& line = page[headLine];
        const size_t head = findNoCase(line, "<head");
        const size_t end = line.find('>', head);
        if (end != std::string::npos) {
            line.insert(end + 1, meta);
            return;
        }
    }
    size_t at = 0;
    while (at < page.size() && startsWith(page[at], "<!--"))
        ++at;
    page.insert(page.begin() + long(at), meta);
}

} // namespace

bool isAsciiText(std::string_view text) {
    // Runs over every byte of every page: eight bytes at a time.
    uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        any |= word;
    }
    for (; i < text.size(); ++i)
        any |= static_cast<unsigned char>(text[i]);
    return (any & 0x8080808080808080ULL) == 0;
}

void encodePage(Lines& page, const CodePage& codePage, EncodeReport& report) {
    // ASCII reads the same in every code page (and in UTF-8, whatever a meta tag says).
    bool ascii = true;
    for (const std::string& line : page)
        ascii = ascii && isAsciiText(line);
    if (ascii)
        return;
    ElementTracker tracker(codePage.charsetName());
    std::string encoded;
    for (size_t i = 0; i < page.size(); ++i) {
        std::string& line = page[i];
        const bool plain = isAsciiText(line);
        encoded.clear();
        tracker.walk(line, i, [&](std::string_view text, bool inScript) {
            if (!plain)
                encoded += codePage.encode(text, !inScript, report);
        });
        if (!plain)
            line.swap(encoded);
    }
    if (!tracker.declared())
        declareCharset(page, tracker.headLine(), codePage.charsetName());
}

EncodeReport encodeFile(const std::filesystem::path& path, const CodePage& codePage,
                        bool references, bool keepOtherLines) {
    EncodeReport report;
    const std::string bytes = readFileBytes(path);
    if (isAsciiText(bytes))
        return report;
    // Line by line: a line that is not UTF-8 does not make its neighbours Windows-1252.
    std::string out;
    out.reserve(bytes.size());
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        const std::string_view line = std::string_view(bytes).substr(start, end - start);
        if (keepOtherLines && !isValidUtf8(line))
            out += line;
        else
            out += codePage.encode(line, references, report);
        start = end;
    }
    writeFileBytes(path, out);
    return report;
}

} // namespace qw
