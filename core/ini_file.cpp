#include "core/ini_file.h"

#include "core/file_io.h"
#include "core/text_util.h"

namespace qw {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

/// The section name of a "[name]" line, or false when the line is no section line.
bool sectionName(std::string_view line, std::string_view& name) {
    const std::string_view trimmed = trimView(line);
    if (trimmed.size() < 2 || trimmed.front() != '[')
        return false;
    const size_t close = trimmed.find(']');
    if (close == std::string_view::npos)
        return false;
    name = trimView(trimmed.substr(1, close - 1));
    return true;
}

/// The key of a "key=value" line, or false when the line has no "=" or is a comment.
/// Both are views into the line: a lookup copies no value, however long.
bool keyName(std::string_view line, std::string_view& key, std::string_view& value) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = trimView(line.substr(0, eq));
    if (key.empty() || key[0] == ';')
        return false;
    value = line.substr(eq + 1);
    return true;
}

std::string unquote(std::string_view value) {
    value = trimView(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, IniFile::kMaxValueLength));
}

} // namespace

IniFile::IniFile(std::filesystem::path path, Unreadable unreadable) : m_path(std::move(path)) {
    std::error_code ec;
    if (!std::filesystem::exists(m_path, ec) && !ec)
        return;
    try {
        takeText(readFileBytes(m_path));
    } catch (const FileError& e) {
        if (unreadable == Unreadable::Throw)
            throw;
        // The defaults, but a file that could not be read is never written: the write
        // would replace everything in it by the few keys written.
        m_lines.clear();
        m_indexed = false;
        m_readError = e.what();
    }
}

IniFile::IniFile(std::filesystem::path path, std::string_view text) : m_path(std::move(path)) {
    takeText(text);
}

void IniFile::takeText(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        m_byteOrderMark = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    m_lines = splitLines(text);
    m_indexed = false;
}

void IniFile::indexLines() const {
    m_places.clear();
    SectionPlaces* current = nullptr; // null in a later section of a name met before
    std::string_view name, k, v;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const std::string& line = m_lines[i];
        if (sectionName(line, name)) {
            const auto [it, added] = m_places.try_emplace(toLower(name));
            current = added ? &it->second : nullptr;
            if (current != nullptr) {
                current->sectionLine = long(i);
                current->insertAt = long(i) + 1;
            }
            continue;
        }
        if (current == nullptr)
            continue;
        if (!trimView(line).empty())
            current->insertAt = long(i) + 1;
        if (keyName(line, k, v))
            current->keys.try_emplace(toLower(k), long(i));
    }
    m_indexed = true;
}

void IniFile::lineInserted(long at, SectionPlaces& places) {
    std::string_view name, k, v;
    const std::string& line = m_lines[size_t(at)];
    if (sectionName(line, name)) {
        m_indexed = false; // a key that reads as a section: counted afresh when next asked
        return;
    }
    // The line went in at the end of its section: only the sections after it move.
    for (auto& [sectionKey, other] : m_places) {
        if (&other == &places || other.sectionLine < at)
            continue;
        ++other.sectionLine;
        ++other.insertAt;
        for (auto& [placedKey, keyLine] : other.keys)
            ++keyLine;
    }
    if (!trimView(line).empty())
        places.insertAt = at + 1;
    if (keyName(line, k, v))
        places.keys.try_emplace(toLower(k), at);
}

IniFile::Found IniFile::find(std::string_view section, std::string_view key) const {
    if (!m_indexed)
        indexLines();
    Found found;
    const auto it = m_places.find(toLower(section));
    if (it == m_places.end())
        return found;
    found.sectionLine = it->second.sectionLine;
    found.insertAt = it->second.insertAt;
    if (const auto k = it->second.keys.find(toLower(key)); k != it->second.keys.end())
        found.keyLine = k->second;
    return found;
}

bool IniFile::hasSection(std::string_view section) const {
    return find(section, {}).sectionLine >= 0;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return find(section, key).keyLine >= 0;
}

bool IniFile::rawValue(std::string_view section, std::string_view key,
                       std::string_view& value) const {
    const Found found = find(section, key);
    if (found.keyLine < 0)
        return false;
    std::string_view k;
    keyName(m_lines[size_t(found.keyLine)], k, value);
    return true;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    std::string_view value;
    if (!rawValue(section, key, value))
        return std::string(fallback);
    return unquote(value);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const {
    std::string_view value;
    if (!rawValue(section, key, value))
        return fallback;
    value = trimView(value);
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        unsigned long long number = 0;
        for (size_t i = 2; i < value.size(); ++i) {
            const char c = value[i];
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0 || number > 0xFFFFFFFFull)
                return fallback;
            number = number * 16 + unsigned(digit);
        }
        if (number > 0xFFFFFFFFull)
            return fallback;
        return static_cast<int>(static_cast<uint32_t>(number));
    }
    return toIntDef(value, fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::string> IniFile::readList(std::string_view section, std::string_view key) const {
    std::string_view value;
    if (!rawValue(section, key, value))
        return {};
    return parseCommaText(trimView(value).substr(0, kMaxValueLength));
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
    std::vector<std::string> result;
    bool inSection = false;
    std::string_view name, k, v;
    for (const auto& line : m_lines) {
        if (sectionName(line, name)) {
            if (inSection)
                break;
            inSection = equalsNoCase(name, section);
            continue;
        }
        if (inSection && keyName(line, k, v))
            result.emplace_back(k);
    }
    return result;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    refuseUnreadFile();
    std::string line = std::string(key) + "=" + std::string(value);
    // A line break inside a value would split it into lines of its own.
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    const Found found = find(section, key);
    if (found.keyLine >= 0) {
        m_lines[size_t(found.keyLine)] = line; // the same key: every place stays
    } else if (found.sectionLine >= 0) {
        m_lines.insert(m_lines.begin() + found.insertAt, line);
        lineInserted(found.insertAt, m_places.find(toLower(section))->second);
    } else {
        m_lines.push_back("[" + std::string(section) + "]");
        m_lines.push_back(line);
        m_indexed = false;
    }
    m_dirty = true;
    if (m_batch == 0)
        save();
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::writeList(std::string_view section, std::string_view key,
                        const std::vector<std::string>& items) {
    writeString(section, key, toCommaText(items));
}

void IniFile::endBatch() {
    if (m_batch > 0 && --m_batch == 0 && m_dirty)
        save();
}

void IniFile::clear() {
    m_lines.clear();
    m_indexed = false;
    m_readError.clear();
    m_dirty = true;
    save();
}

void IniFile::save() {
    refuseUnreadFile();
    if (m_byteOrderMark && !m_lines.empty()) {
        Lines lines = m_lines;
        lines.front().insert(0, kByteOrderMark);
        writeLines(m_path, lines);
    } else {
        writeLines(m_path, m_lines);
    }
    m_dirty = false;
}

void IniFile::refuseUnreadFile() const {
    if (!m_readError.empty())
        throw FileError("Unable to write to " + m_path.string() + ": it could not be read (" +
                        m_readError + "), and writing would lose what it holds");
}

std::string toCommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items[0].empty())
        return "\"\"";
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        const std::string& item = items[i];
        bool quote = false;
        for (char c : item)
            if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',')
                quote = true;
        if (!quote) {
            out += item;
            continue;
        }
        out += '"';
        for (char c : item) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

std::vector<std::string> parseCommaText(std::string_view text) {
    std::vector<std::string> items;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    if (i >= n)
        return items;
    while (true) {
        std::string item;
        while (i < n && static_cast<unsigned char>(text[i]) <= ' ')
            ++i;
        if (i < n && text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
            while (i < n && text[i] != ',')
                ++i; // text after the closing quote belongs to no item
        } else {
            const size_t start = i;
            while (i < n && text[i] != ',')
                ++i;
            item = trim(text.substr(start, i - start));
        }
        items.push_back(std::move(item));
        if (i >= n)
            break;
        ++i; // the comma
    }
    return items;
}

} // namespace qw
