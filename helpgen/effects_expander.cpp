#include "helpgen/effects_expander.h"

#include "core/text_util.h"
#include "helpgen/token_replace.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

namespace qw {

namespace {

/// The keys of one section, by upper-cased name, each with its value as read.
using Section = std::map<std::string, std::string>;

std::string unquote(std::string_view raw) {
    std::string value = trim(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

/// Sections by upper-cased name; the first section and key of a name win.
std::map<std::string, Section> parseDefinitions(std::string_view text) {
    std::map<std::string, Section> sections;
    Section* current = nullptr;
    for (const std::string& line : splitLines(text)) {
        const std::string trimmed = trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const size_t close = trimmed.find(']');
            if (close == std::string::npos)
                continue;
            const std::string name = toUpper(trim(trimmed.substr(1, close - 1)));
            const bool repeated = sections.count(name) != 0;
            current = repeated ? nullptr : &sections[name];
            continue;
        }
        const size_t eq = line.find('=');
        if (current == nullptr || eq == std::string::npos)
            continue;
        const std::string key = toUpper(trim(std::string_view(line).substr(0, eq)));
        if (key.empty() || key[0] == ';')
            continue;
        current->emplace(key, unquote(std::string_view(line).substr(eq + 1)));
    }
    return sections;
}

const std::string* findValue(const Section& section, const std::string& key) {
    const auto it = section.find(key);
    return it == section.end() ? nullptr : &it->second;
}

/// A page's text with, for each byte, whether it is in the text (-1: not looked for
/// yet). Most scripts' tokens go by the same few characters, so a page is scanned once
/// for each of those rather than once for every script, and a script whose token's anchor
/// is absent is passed over without a search.
class TextBytes {
public:
    explicit TextBytes(std::string_view text) : m_text(text) { m_known.fill(-1); }
    /// Whether the text holds the finder's token.
    bool holds(const TokenFinder& finder) {
        return (occurs(finder.anchorLower()) || occurs(finder.anchorUpper())) &&
               finder.find(m_text) != std::string::npos;
    }

private:
    bool occurs(char c) {
        signed char& known = m_known[static_cast<unsigned char>(c)];
        if (known < 0)
            known = std::memchr(m_text.data(), c, m_text.size()) != nullptr ? 1 : 0;
        return known == 1;
    }
    std::string_view m_text;
    std::array<signed char, 256> m_known{};
};

} // namespace

EffectsExpander EffectsExpander::load(const std::filesystem::path& definitionFile) {
    std::error_code ec;
    if (!std::filesystem::exists(definitionFile, ec))
        return {};
    // A file that is there but cannot be read would leave raw markers in every page.
    if (!std::filesystem::is_regular_file(definitionFile, ec))
        throw FileError("Unable to read " + definitionFile.string());
    return fromText(readFileBytes(definitionFile));
}

EffectsExpander EffectsExpander::fromText(std::string_view text) {
    const std::map<std::string, Section> sections = parseDefinitions(text);
    EffectsExpander expander;
    for (int n = 1; n <= kMaxScripts; ++n) {
        const auto found = sections.find("SCRIPT" + std::to_string(n));
        if (found == sections.end() || findValue(found->second, "VARIABLE1") == nullptr)
            continue;
        const Section& section = found->second;
        Script& script = expander.m_scripts[size_t(n)];
        script.present = true;
        for (int k = 1; k <= kMaxVariables; ++k) {
            const std::string* token = findValue(section, "VARIABLE" + std::to_string(k));
            if (token == nullptr || *token == kMissing || trim(*token).empty())
                break;
            const std::string* replacer = findValue(section, "REPLACER" + std::to_string(k));
            script.tokens.push_back(*token);
            script.replacers.push_back(replacer != nullptr ? *replacer : kMissing);
        }
        for (int k = 1; k <= kMaxAdditional; ++k) {
            const std::string* line = findValue(section, "ADDITIONAL" + std::to_string(k));
            if (line == nullptr || *line == kMissing)
                break;
            script.additional.push_back(*line);
        }
        if (!script.tokens.empty())
            script.first = TokenFinder(script.tokens.front());
    }
    return expander;
}

bool EffectsExpander::hasScript(int n) const {
    return n >= 1 && n <= kMaxScripts && m_scripts[size_t(n)].present;
}

const std::vector<std::string>& EffectsExpander::tokens(int n) const {
    static const std::vector<std::string> none;
    return hasScript(n) ? m_scripts[size_t(n)].tokens : none;
}

bool EffectsExpander::applyScript(const Script& script, Lines& page) const {
    bool applied = false;
    for (size_t k = 0; k < script.tokens.size(); ++k) {
        if (replaceToken(page, script.tokens[k], script.replacers[k]) == 0)
            return false; // pieces replaced so far stay replaced
        applied = true;
    }
    return applied;
}

template <typename Visit>
bool EffectsExpander::visitScripts(int first, int last, Visit visit) const {
    for (int n = std::max(first, 1); n <= std::min(last, kMaxScripts); ++n) {
        const Script& script = m_scripts[size_t(n)];
        if (!script.present)
            break;
        if (!script.tokens.empty() && visit(script))
            return true;
    }
    return false;
}

void EffectsExpander::expand(Lines& page, int first, int last) const {
    joinPageText(page, m_pageText);
    expand(page, first, last, m_pageText);
}

void EffectsExpander::expand(Lines& page, int first, int last, std::string& text) const {
    // Most pages hold few markers or none: each script's first token is looked for in the
    // page's text taken as one piece, and only a script whose token is
    // there goes over the page line by line (without it, it would change nothing). Tokens
    // hold no line break, so the piece finds every token a line holds.
    bool textReady = true;
    TextBytes inText(text);
    visitScripts(first, last, [&](const Script& script) {
        if (!textReady) {
            joinPageText(page, text);
            textReady = true;
            inText = TextBytes(text);
        }
        if (!inText.holds(script.first))
            return false;
        textReady = false; // the script may change the page
        if (applyScript(script, page))
            page.insert(page.end(), script.additional.begin(), script.additional.end());
        return false;
    });
    if (!textReady)
        joinPageText(page, text);
}

bool EffectsExpander::wouldExpand(std::string_view text, int first, int last) const {
    TextBytes inText(text);
    return visitScripts(first, last,
                        [&inText](const Script& script) { return inText.holds(script.first); });
}

void joinPageText(const Lines& page, std::string& text) {
    text.clear();
    for (const std::string& line : page) {
        text += line;
        text += '\n';
    }
}

} // namespace qw
