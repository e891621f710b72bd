#include "helpgen/body_style.h"

#include "core/text_util.h"
#include "helpgen/token_replace.h"

#include <algorithm>
#include <cctype>

namespace qw {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/// Where a "<body" tag starts in the line, npos when none.
size_t findBodyTag(std::string_view line) {
    static const TokenFinder body("<body");
    for (size_t at = body.find(line); at != std::string::npos; at = body.find(line, at + 1)) {
        const size_t after = at + 5;
        if (after == line.size() || isBlank(line[after]) || line[after] == '>')
            return at;
    }
    return std::string::npos;
}

/// The position of the ">" that ends a tag begun before from, respecting quotes.
size_t tagEnd(std::string_view text, size_t from) {
    char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0 && c == quote)
            quote = 0;
        else if (quote == 0 && (c == '"' || c == '\''))
            quote = c;
        else if (quote == 0 && c == '>')
            return i;
    }
    return std::string::npos;
}

/// "#" before six hexadecimal digits, as browsers read a colour attribute.
std::string cssColour(const std::string& value) {
    if (value.size() == 6 && std::all_of(value.begin(), value.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return "#" + value;
    return value;
}

std::string cssLength(const std::string& value) {
    const bool number = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    return number ? value + "px" : value;
}

/// A quote would end the url's string early; it is written as its escape.
std::string cssUrl(std::string url) {
    for (size_t at = url.find('"'); at != std::string::npos; at = url.find('"', at))
        url.replace(at, 1, "%22");
    return url;
}

std::string jsString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '/' && i > 0 && text[i - 1] == '<')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

struct BodyRules {
    std::string body;  ///< declarations of the body rule
    std::string links; ///< rules for the link colours
    std::string script;
};

BodyRules rulesFor(const std::vector<TagAttribute>& attributes) {
    BodyRules rules;
    const auto declare = [&](const std::string& property, const std::string& value) {
        rules.body += property + ":" + value + ";";
    };
    for (const auto& [name, value] : attributes) {
        if (value.empty() && name != "style")
            continue;
        if (name == "bgcolor")
            declare("background-color", cssColour(value));
        else if (name == "background")
            declare("background-image", "url(\"" + cssUrl(value) + "\")");
        else if (name == "bgproperties" && equalsNoCase(value, "fixed"))
            declare("background-attachment", "fixed");
        else if (name == "text")
            declare("color", cssColour(value));
        else if (name == "link" || name == "vlink" || name == "alink")
            rules.links += std::string(name == "link"    ? "a:link"
                                       : name == "vlink" ? "a:visited"
                                                         : "a:active") +
                           "{color:" + cssColour(value) + "}";
        else if (name == "leftmargin" || name == "rightmargin" || name == "topmargin" ||
                 name == "bottommargin")
            declare("margin-" + name.substr(0, name.size() - 6), cssLength(value));
        else if (name == "marginwidth")
            declare("margin-left", cssLength(value)), declare("margin-right", cssLength(value));
        else if (name == "marginheight")
            declare("margin-top", cssLength(value)), declare("margin-bottom", cssLength(value));
        else if (name == "style")
            rules.body += value + (value.empty() || value.back() == ';' ? "" : ";");
        else
            rules.script += "b.setAttribute(" + jsString(name) + "," + jsString(value) + ");";
    }
    return rules;
}

/// What a body tag turns into: nothing for a bare tag, else its rules and the style
/// element that holds them (empty when the tag has no rule for the style sheet).
struct MovedTag {
    bool bare = true;
    BodyRules rules;
    std::string style;
};

MovedTag moveTag(std::string_view tag) {
    MovedTag moved;
    const std::vector<TagAttribute> attributes = parseTagAttributes(tag);
    if (attributes.empty())
        return moved;
    moved.bare = false;
    moved.rules = rulesFor(attributes);
    const BodyRules& rules = moved.rules;
    if (!rules.body.empty() || !rules.links.empty())
        moved.style = "<style type=\"text/css\">" +
                      (rules.body.empty() ? "" : "body{" + rules.body + "}") + rules.links +
                      "</style>";
    return moved;
}

/// moveTag of the tag, kept for the next call: the pages of a run mostly share their
/// body tag, and its attributes need not be read again for each.
const MovedTag& movedTag(std::string_view tag) {
    thread_local std::string lastTag;
    thread_local MovedTag last;
    thread_local bool known = false;
    if (!known || tag != lastTag) {
        last = moveTag(tag);
        lastTag.assign(tag);
        known = true;
    }
    return last;
}

} // namespace

std::vector<TagAttribute> parseTagAttributes(std::string_view tag) {
    std::vector<TagAttribute> attributes;
    size_t i = tag.empty() || tag[0] != '<' ? 0 : 1;
    while (i < tag.size() && !isBlank(tag[i]) && tag[i] != '>')
        ++i; // the tag's name
    while (i < tag.size()) {
        while (i < tag.size() && (isBlank(tag[i]) || tag[i] == '/'))
            ++i;
        if (i >= tag.size() || tag[i] == '>')
            break;
        const size_t nameStart = i;
        while (i < tag.size() && !isBlank(tag[i]) && tag[i] != '=' && tag[i] != '>')
            ++i;
        std::string name = toLower(tag.substr(nameStart, i - nameStart));
        while (i < tag.size() && isBlank(tag[i]))
            ++i;
        std::string value;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && isBlank(tag[i]))
                ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                const size_t close = tag.find(tag[i], i + 1);
                const size_t end = close == std::string_view::npos ? tag.size() : close;
                value = std::string(tag.substr(i + 1, end - i - 1));
                i = end + 1;
            } else {
                const size_t start = i;
                while (i < tag.size() && !isBlank(tag[i]) && tag[i] != '>')
                    ++i;
                value = std::string(tag.substr(start, i - start));
            }
        }
        attributes.emplace_back(std::move(name), trim(value));
    }
    return attributes;
}

bool moveBodyAttributesToStyle(Lines& page) {
    size_t first = 0, at = std::string::npos;
    for (; first < page.size() && at == std::string::npos; ++first)
        at = findBodyTag(page[first]);
    if (at == std::string::npos)
        return false;
    --first;
    // The tag's text, joined over the lines it spans.
    std::string text = page[first].substr(at);
    size_t last = first, end = tagEnd(text, 1);
    while (end == std::string::npos && last + 1 < page.size()) {
        text += "\n" + page[++last];
        end = tagEnd(text, 1);
    }
    if (end == std::string::npos)
        return false;
    const MovedTag& moved = movedTag(std::string_view(text).substr(0, end + 1));
    if (moved.bare)
        return false;
    const BodyRules& rules = moved.rules;

    std::string bodyLine = page[first].substr(0, at) + "<body>";
    if (!rules.script.empty())
        bodyLine += "<script type=\"text/javascript\">(function(b){" + rules.script +
                    "})(document.body);</script>";
    bodyLine += text.substr(end + 1);
    page[first] = std::move(bodyLine);
    page.erase(page.begin() + long(first) + 1, page.begin() + long(last) + 1);

    if (moved.style.empty())
        return true;
    const std::string& style = moved.style;
    for (size_t h = first + 1; h-- > 0;) {
        const size_t close = findNoCase(page[h], "</head");
        if (close != std::string::npos && (h < first || close < at)) {
            page[h].insert(close, style);
            return true;
        }
    }
    page[first].insert(at, style);
    return true;
}

} // namespace qw
