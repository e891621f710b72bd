// Encodes generated pages and text files in the document's code page.
#include "helpgen/code_page.h"

#include "core/text_util.h"

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

/// Changes the charset a meta tag names (from at, the tag's "<") to charset.
void renameCharset(std::string& line, size_t at, const std::string& charset) {
    const size_t end = line.find('>', at);
    const size_t key = findNoCase(line, "charset=", at);
    if (key == std::string::npos || (end != std::string::npos && key > end))
        return;
    size_t value = key + 8;
    if (value < line.size() && (line[value] == '"' || line[value] == '\''))
        ++value;
    size_t stop = value;
    while (stop < line.size() && std::strchr("\"'; \t>/", line[stop]) == nullptr)
        ++stop;
    line.replace(value, stop - value, charset);
}

/// Tells, tag by tag, whether the text after a position lies inside a script or style
/// element, and renames the charset of meta tags on the way.
class ElementTracker {
public:
    explicit ElementTracker(std::string charset) : m_charset(std::move(charset)) {}
    /// Walks the tags of one line; calls part(text, inScript) for each stretch of text.
    template <typename Part> void walk(std::string& line, Part part) {
        size_t done = 0;
        for (size_t lt = line.find('<'); lt != std::string::npos; lt = line.find('<', lt + 1)) {
            const bool wasInside = m_inside;
            if (!m_inside && hasTagName(line, lt + 1, "meta")) {
                renameCharset(line, lt, m_charset);
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

private:
    std::string m_charset;
    bool m_inside = false;
};

bool isAsciiText(std::string_view text) {
    unsigned char any = 0;
    for (char c : text)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

} // namespace

void encodePage(Lines& page, const CodePage& codePage, EncodeReport& report) {
    // ASCII reads the same in every code page (and in UTF-8, whatever a meta tag says).
    bool ascii = true;
    for (const std::string& line : page)
        ascii = ascii && isAsciiText(line);
    if (ascii)
        return;
    ElementTracker tracker(codePage.charsetName());
    std::string encoded;
    for (std::string& line : page) {
        const bool ascii = isAsciiText(line);
        encoded.clear();
        tracker.walk(line, [&](std::string_view text, bool inScript) {
            if (!ascii)
                encoded += codePage.encode(text, !inScript, report);
        });
        if (!ascii)
            line.swap(encoded);
    }
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
