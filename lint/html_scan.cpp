#include "lint/html_scan.h"

#include "core/file_io.h"
#include "core/text_util.h"

#include <cctype>

namespace qw {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_';
}

/// The value starting at at (quoted or not); in url(...) an unquoted value ends at ")".
std::string_view valueAt(std::string_view line, size_t at, bool inUrl) {
    while (at < line.size() && isBlank(line[at]))
        ++at;
    if (at < line.size() && (line[at] == '"' || line[at] == '\'')) {
        const size_t close = line.find(line[at], at + 1);
        return close == std::string_view::npos ? line.substr(at + 1)
                                               : line.substr(at + 1, close - at - 1);
    }
    size_t end = at;
    while (end < line.size() && !isBlank(line[end]) && line[end] != '>' &&
           (!inUrl || line[end] != ')'))
        ++end;
    return line.substr(at, end - at);
}

/// The attribute name that ends just before the "=" at eq, or empty when the text before
/// it is no attribute name (part of a value, a script expression).
std::string_view attributeBefore(std::string_view line, size_t eq) {
    size_t end = eq;
    while (end > 0 && isBlank(line[end - 1]))
        --end;
    size_t start = end;
    while (start > 0 && isNameChar(line[start - 1]))
        --start;
    if (start == end)
        return {};
    if (start > 0 && !isBlank(line[start - 1]) && line[start - 1] != '<' &&
        line[start - 1] != '"' && line[start - 1] != '\'')
        return {};
    return line.substr(start, end - start);
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += char(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

void HtmlScanner::attribute(std::string_view name, std::string_view value,
                            std::vector<LineReference>& refs,
                            std::vector<std::string>* anchors) const {
    if (name.size() > 10)
        return;
    const std::string lower = toLower(name);
    if (lower == "href")
        refs.push_back({std::string(value), ReferenceKind::Link});
    else if (lower == "src" || lower == "background" || lower == "lowsrc" || lower == "dynsrc" ||
             lower == "data")
        refs.push_back({std::string(value), ReferenceKind::File});
    else if (lower == "value" && startsWithNoCase(value, "Bitmap:"))
        refs.push_back({std::string(value.substr(7)), ReferenceKind::Bitmap});
    else if (anchors != nullptr && (lower == "id" || lower == "name"))
        anchors->emplace_back(value);
}

void HtmlScanner::scanLine(std::string_view line, std::vector<LineReference>& refs,
                           std::vector<std::string>* anchors) {
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (m_state == State::Comment) {
            const size_t close = line.find("-->", i);
            if (close == std::string_view::npos)
                break;
            m_state = State::Text;
            i = close + 2;
        } else if (m_state == State::Text) {
            // Text is most of a page: go from tag to tag.
            i = line.find('<', i);
            if (i == std::string_view::npos)
                break;
            if (line.compare(i, 4, "<!--") == 0) {
                m_state = State::Comment;
                i += 3;
            } else if (i + 1 < line.size() &&
                       std::isalpha(static_cast<unsigned char>(line[i + 1])) != 0) {
                m_state = State::Tag;
            }
        } else if (m_quote != 0) {
            if (c == m_quote)
                m_quote = 0;
        } else if (c == '>') {
            m_state = State::Text;
        } else if (c == '"' || c == '\'') {
            m_quote = c;
        } else if (c == '=') {
            const std::string_view name = attributeBefore(line, i);
            size_t at = i + 1;
            while (at < line.size() && isBlank(line[at]))
                ++at;
            const std::string_view value = valueAt(line, at, false);
            if (!name.empty())
                attribute(name, value, refs, anchors);
            if (at < line.size() && (line[at] == '"' || line[at] == '\'')) {
                const size_t close = line.find(line[at], at + 1);
                if (close == std::string_view::npos) {
                    m_quote = line[at]; // the value goes on on the next line
                    break;
                }
                i = close;
            } else {
                i = at + value.size() - 1; // the loop steps on to what follows it
            }
        }
    }
    for (size_t open = line.find('('); open != std::string_view::npos;
         open = line.find('(', open + 1))
        if (open >= 3 && equalsNoCase(line.substr(open - 3, 3), "url"))
            refs.push_back({std::string(valueAt(line, open + 1, true)), ReferenceKind::File});
}

void scanLine(std::string_view line, std::vector<LineReference>& refs,
              std::vector<std::string>* anchors) {
    HtmlScanner().scanLine(line, refs, anchors);
}

Target classifyReference(std::string_view value) {
    const std::string text = trim(value);
    Target target;
    if (text.empty() || text.find_first_of("'+\"") != std::string::npos)
        return target;
    if (text[0] == '#') {
        target.kind = TargetKind::SamePage;
        target.fragment = text.substr(1);
        return target;
    }
    const size_t colon = text.find(':');
    const size_t slash = text.find_first_of("/\\");
    const bool drive = colon == 1 && std::isalpha(static_cast<unsigned char>(text[0])) != 0;
    if (drive || text[0] == '/' || text[0] == '\\' || startsWithNoCase(text, "file:")) {
        target.kind = TargetKind::Absolute;
        target.path = text;
        return target;
    }
    if (colon != std::string::npos && (slash == std::string::npos || colon < slash))
        return target; // another scheme: http:, mailto:, javascript:, ms-its: ...
    const size_t hash = text.find('#');
    std::string path = text.substr(0, std::min(hash, text.find('?')));
    if (hash != std::string::npos)
        target.fragment = text.substr(hash + 1);
    target.path = toSlashes(percentDecoded(path));
    target.kind = target.path.empty() ? TargetKind::SamePage : TargetKind::Local;
    return target;
}

} // namespace qw
