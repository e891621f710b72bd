#include "core/popup_text_file.h"

#include "core/text_util.h"

#include <algorithm>
#include <array>

namespace qw {

namespace {

constexpr std::string_view kFontKey = "MyFont";
constexpr size_t kMaxFontName = 31;

std::string unquoteValue(std::string value) {
    if (!value.empty() && value.front() == '"')
        value.erase(0, 1);
    if (!value.empty() && value.back() == '"')
        value.pop_back();
    return value;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string decodeText(std::string text) {
    replaceAll(text, "&quot;", "\"");
    replaceAll(text, "&#92;", "\\");
    return text;
}

std::string encodeText(std::string_view raw) {
    std::string text;
    for (char c : raw) {
        if (c == '"')
            text += "&quot;";
        else if (c == '\\')
            text += "&#92;";
        else if (c == '\r' || c == '\n')
            text += ' ';
        else
            text += c;
    }
    return text;
}

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

PopupTextContent parsePopupText(const Lines& lines) {
    PopupTextContent content;
    std::optional<std::string> fontValue;
    for (const std::string& raw : lines) {
        const std::string line = trim(raw);
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = trim(std::string_view(line).substr(0, eq));
        std::string value = unquoteValue(trim(std::string_view(line).substr(eq + 1)));
        if (key == kFontKey)
            fontValue = std::move(value);
        else
            content.entries.push_back({key, decodeText(std::move(value))});
    }
    if (!fontValue || trim(*fontValue).empty())
        content.error = kNoFontParameters;
    else if (!(content.font = parsePopupFont(*fontValue)))
        content.error = kBadFontParameterCount;
    return content;
}

PopupTextContent readPopupTextFile(const std::filesystem::path& path) {
    return parsePopupText(readLines(path));
}

std::optional<PopupFont> parsePopupFont(std::string_view value) {
    std::vector<std::string> fields(1);
    for (char c : value) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    if (fields.size() != 4)
        return std::nullopt;
    PopupFont font;
    font.name = trim(fields[0]);
    font.size = toIntDef(trim(fields[1]), 10);
    const std::string style = toUpper(trim(fields[3]));
    font.italic = style == "ITALIC";
    font.bold = style == "BOLD";
    return font;
}

std::string popupFontLine(const PopupFont& font) {
    const std::string style = font.italic ? "ITALIC" : font.bold ? "BOLD" : "PLAIN";
    return std::string(kFontKey) + "=\"" + font.name.substr(0, kMaxFontName) + "," +
           std::to_string(font.size) + ",," + style + "\"";
}

std::string popupEntryLine(std::string_view reference, std::string_view text) {
    return std::string(reference) + "=\"" + encodeText(text) + "\"";
}

Lines popupTextLines(const PopupFont& font, const std::vector<PopupEntry>& entries) {
    Lines lines{popupFontLine(font)};
    for (const PopupEntry& entry : entries) {
        const std::string reference = trim(entry.reference);
        const std::string text = trim(entry.text);
        if (!reference.empty() && !text.empty())
            lines.push_back(popupEntryLine(reference, text));
    }
    return lines;
}

void writePopupTextFile(const std::filesystem::path& path, const PopupFont& font,
                        const std::vector<PopupEntry>& entries) {
    writeLines(path, popupTextLines(font, entries));
}

bool isPopupTextFileName(const std::filesystem::path& path) {
    return toUpper(path.filename().string()) == "TXPOPUPS.JS";
}

void appendPopupEntry(const std::filesystem::path& path, std::string_view reference,
                      std::string_view text) {
    std::string bytes;
    if (fileExists(path))
        bytes = readFileBytes(path);
    else
        bytes = std::string(kDefaultFontLine) + "\r\n";
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r')
        bytes += "\r\n";
    bytes += popupEntryLine(reference, text) + "\r\n";
    writeFileBytes(path, bytes);
}

bool isUsablePopupReference(std::string_view reference) {
    static constexpr std::array<std::string_view, 46> kReserved = {
        "break",      "case",      "catch",  "class",    "const",      "continue",  "debugger",
        "default",    "delete",    "do",     "else",     "enum",       "export",    "extends",
        "false",      "finally",   "for",    "function", "if",         "import",    "in",
        "instanceof", "new",       "null",   "return",   "super",      "switch",    "this",
        "throw",      "true",      "try",    "typeof",   "var",        "void",      "while",
        "with",       "yield",     "let",    "static",   "implements", "interface", "package",
        "private",    "protected", "public", "await",
    };
    if (reference.empty() || !(isAsciiLetter(reference[0]) || reference[0] == '_'))
        return false;
    for (char c : reference)
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_')
            return false;
    if (reference == kFontKey)
        return false;
    return std::find(kReserved.begin(), kReserved.end(), reference) == kReserved.end();
}

PopupTextStep::PopupTextStep(FileChooser chooseFile, ErrorSink showError)
    : m_chooseFile(std::move(chooseFile)), m_showError(std::move(showError)) {}

bool PopupTextStep::addEntry(std::string_view reference, std::string_view text) {
    if (!isUsablePopupReference(reference)) {
        m_showError(kUnusablePopupReference);
        return false;
    }
    if (m_file.empty() || !fileExists(m_file)) {
        m_file.clear();
        std::optional<std::filesystem::path> chosen = m_chooseFile();
        if (!chosen)
            return false;
        if (!isPopupTextFileName(*chosen)) {
            m_showError(kPopupFileNameError);
            return false;
        }
        m_file = std::move(*chosen);
    }
    appendPopupEntry(m_file, reference, text);
    return true;
}

} // namespace qw
