#include "chmwrite/system_files.h"

#include "chmwrite/container.h"

#include <algorithm>

namespace qw::chm {

namespace {

constexpr uint32_t kWindowEntrySize = 0xC4;
/// #URLTBL is read in blocks of 4096 bytes, each holding 341 entries of 12 bytes.
constexpr size_t kUrlEntriesPerBlock = 341;

void putSystemEntry(std::string& out, uint16_t code, const std::string& data) {
    putLE16(out, code);
    putLE16(out, static_cast<uint16_t>(data.size()));
    out += data;
}

void putSystemText(std::string& out, uint16_t code, const std::string& text) {
    if (!text.empty())
        putSystemEntry(out, code, text + '\0');
}

std::string le32(uint32_t value) {
    std::string s;
    putLE32(s, value);
    return s;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

/// Position of needle in text from `from` on, ignoring ASCII case; npos when absent.
size_t findNoCase(const std::string& text, const std::string& needle, size_t from = 0) {
    const auto it = std::search(
        text.begin() + static_cast<std::ptrdiff_t>(std::min(from, text.size())), text.end(),
        needle.begin(), needle.end(), [](char a, char b) { return lower(a) == lower(b); });
    return it == text.end() ? std::string::npos : static_cast<size_t>(it - text.begin());
}

std::string collapseBlanks(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (blank) {
            if (!out.empty() && out.back() != ' ')
                out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

/// The entry that goes with a keyword index.
void putLinkEntries(std::string& out, const DocumentOptions& options) {
    if (options.keywordLinks)
        putSystemEntry(out, 7, le32(0));
}

} // namespace

uint32_t StringTable::add(const std::string& text) {
    if (text.empty())
        return 0;
    const auto found = m_offsets.find(text);
    if (found != m_offsets.end())
        return found->second;
    const auto offset = static_cast<uint32_t>(m_bytes.size());
    m_bytes += text;
    m_bytes.push_back('\0');
    m_offsets.emplace(text, offset);
    return offset;
}

std::string systemFile(const DocumentOptions& options) {
    std::string out;
    putLE32(out, 3);
    putSystemEntry(out, 10, le32(options.timestamp));
    putSystemText(out, 9, "Quirewright help compiler 1.0");
    std::string info;
    putLE32(info, options.language);
    putLE32(info, 0); // no double-byte character set
    putLE32(info, options.fullTextSearch ? 1 : 0);
    putLE32(info, options.keywordLinks ? 1 : 0);
    putLE32(info, options.associativeLinks ? 1 : 0);
    putLE64(info, (uint64_t{options.timestamp} + 11644473600ull) * 10000000ull);
    putLE32(info, 0);
    putLE32(info, 0);
    putSystemEntry(out, 4, info);
    putSystemText(out, 2, options.defaultTopic);
    putSystemText(out, 3, options.title);
    putSystemText(out, 16, options.defaultFont);
    putSystemText(out, 6, options.compiledName);
    putSystemText(out, 0, options.contentsFile);
    putSystemText(out, 1, options.indexFile);
    putSystemText(out, 5, options.defaultWindow);
    putLinkEntries(out, options);
    return out;
}

std::string windowsFile(const std::vector<WindowDefinition>& windows, StringTable& strings) {
    std::string out;
    putLE32(out, static_cast<uint32_t>(windows.size()));
    putLE32(out, kWindowEntrySize);
    for (const WindowDefinition& w : windows) {
        const size_t start = out.size();
        putLE32(out, kWindowEntrySize);
        putLE32(out, 0); // texts are not Unicode
        putLE32(out, strings.add(w.name));
        putLE32(out, 0xFFFFFFFF); // every field below is valid
        putLE32(out, w.navigationStyle);
        putLE32(out, strings.add(w.caption));
        putLE32(out, w.windowStyle);
        putLE32(out, w.extendedStyle);
        for (int32_t v : {w.left, w.top, w.right, w.bottom})
            putLE32(out, static_cast<uint32_t>(v));
        putLE32(out, w.showState);
        for (int i = 0; i < 6; ++i) // window handles and the information types pointer
            putLE32(out, 0);
        putLE32(out, w.navigationWidth);
        for (int i = 0; i < 4; ++i) // topic pane rectangle
            putLE32(out, 0);
        putLE32(out, strings.add(w.contentsFile));
        putLE32(out, strings.add(w.indexFile));
        putLE32(out, strings.add(w.defaultFile));
        putLE32(out, strings.add(w.homeFile));
        putLE32(out, w.buttons);
        putLE32(out, w.navigationClosed);
        putLE32(out, w.defaultTab);
        putLE32(out, w.tabPosition);
        putLE32(out, w.notifyId);
        out.append(20, '\0'); // tab order
        putLE32(out, 0);      // history depth
        putLE32(out, strings.add(w.jump1Text));
        putLE32(out, strings.add(w.jump2Text));
        putLE32(out, strings.add(w.jump1Url));
        putLE32(out, strings.add(w.jump2Url));
        for (int i = 0; i < 4; ++i) // smallest size
            putLE32(out, 0);
        putLE32(out, 0); // information types
        putLE32(out, 0); // custom tabs
        out.resize(start + kWindowEntrySize, '\0');
    }
    return out;
}

TopicFiles topicFiles(const std::vector<TopicEntry>& pages, StringTable& strings) {
    TopicFiles files;
    files.urlStrings.assign(1, '\0');
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i % kUrlEntriesPerBlock == 0 && i != 0)
            files.urlTable.append(4, '\0');
        const auto urlStringOffset = static_cast<uint32_t>(files.urlStrings.size());
        putLE32(files.urlStrings, 0); // no address outside the document
        putLE32(files.urlStrings, 0); // no frame name
        files.urlStrings += pages[i].name;
        files.urlStrings.push_back('\0');

        const auto urlTableOffset = static_cast<uint32_t>(files.urlTable.size());
        putLE32(files.urlTable, static_cast<uint32_t>(i + 1)); // the entry's own number
        putLE32(files.urlTable, static_cast<uint32_t>(i));
        putLE32(files.urlTable, urlStringOffset);

        putLE32(files.topics, 0); // no binary contents
        putLE32(files.topics, pages[i].title.empty() ? 0xFFFFFFFF : strings.add(pages[i].title));
        putLE32(files.topics, urlTableOffset);
        putLE16(files.topics, pages[i].inContents ? 6 : 2);
        putLE16(files.topics, 0);
    }
    return files;
}

std::string indexHeaderFile(uint32_t topicCount, uint32_t timestamp) {
    std::string out = "T#SM";
    putLE32(out, timestamp);
    putLE32(out, 1);
    putLE32(out, topicCount);
    out.resize(4096, '\0');
    return out;
}

std::string pageTitle(const std::string& html) {
    const size_t open = findNoCase(html, "<title");
    if (open == std::string::npos)
        return {};
    const size_t start = html.find('>', open);
    if (start == std::string::npos)
        return {};
    const size_t end = findNoCase(html, "</title", start);
    if (end == std::string::npos)
        return {};
    return collapseBlanks(html.substr(start + 1, end - start - 1));
}

std::vector<std::string> sitemapLocals(const std::string& sitemap) {
    std::vector<std::string> locals;
    for (size_t at = findNoCase(sitemap, "name=\"local\""); at != std::string::npos;
         at = findNoCase(sitemap, "name=\"local\"", at + 1)) {
        const size_t value = findNoCase(sitemap, "value=\"", at);
        const size_t tagEnd = sitemap.find('>', at);
        if (value == std::string::npos || value > tagEnd)
            continue;
        const size_t end = sitemap.find('"', value + 7);
        if (end != std::string::npos)
            locals.push_back(sitemap.substr(value + 7, end - value - 7));
    }
    return locals;
}

} // namespace qw::chm
