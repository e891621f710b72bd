#include "chmwrite/chm_writer.h"

#include "chmwrite/container.h"
#include "chmwrite/fulltext_index.h"
#include "chmwrite/keyword_index.h"
#include "chmwrite/lzx_encoder.h"
#include "chmwrite/system_files.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <stdexcept>

namespace qw::chm {

namespace {

const std::string kStorage = "::DataSpace/Storage/MSCompressed/";
const std::string kTransformGuid = "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}";
/// The associative links' property file when the document has none.
const std::string kEmptyProperty(4, '\0');

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return text;
}

bool isPage(const std::string& name) {
    const std::string lower = lowerAscii(name);
    for (const char* ext : {".htm", ".html"})
        if (lower.size() > std::char_traits<char>::length(ext) &&
            lower.compare(lower.size() - std::char_traits<char>::length(ext), std::string::npos,
                          ext) == 0)
            return true;
    return false;
}

/// A contents or index reference without "./" and with "/" separators, for comparing.
std::string normalisedReference(std::string local) {
    std::replace(local.begin(), local.end(), '\\', '/');
    const size_t hash = local.find('#');
    if (hash != std::string::npos)
        local.erase(hash);
    while (local.rfind("./", 0) == 0)
        local.erase(0, 2);
    if (!local.empty() && local[0] == '/')
        local.erase(0, 1);
    return lowerAscii(local);
}

/// Text as UTF-16LE, for the names the storage files hold.
std::string utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

std::string nameList() {
    std::string out;
    putLE16(out, 0);
    putLE16(out, 2);
    for (const char* name : {"Uncompressed", "MSCompressed"}) {
        const std::string text(name);
        putLE16(out, static_cast<uint16_t>(text.size()));
        out += utf16(text);
        putLE16(out, 0);
    }
    out[0] = static_cast<char>((out.size() / 2) & 0xFF);
    out[1] = static_cast<char>((out.size() / 2) >> 8);
    return out;
}

std::string controlData() {
    std::string out;
    putLE32(out, 6);
    out += "LZXC";
    putLE32(out, 2);
    putLE32(out, static_cast<uint32_t>(kLzxResetInterval / kLzxFrameSize));
    putLE32(out, static_cast<uint32_t>(kLzxWindowSize / kLzxFrameSize));
    putLE32(out, 1);
    putLE32(out, 0);
    return out;
}

std::string resetTable(const LzxStream& stream, uint64_t uncompressedLength) {
    std::string out;
    putLE32(out, 2);
    putLE32(out, static_cast<uint32_t>(stream.frameOffsets.size() + 1));
    putLE32(out, 8);
    putLE32(out, 0x28);
    putLE64(out, uncompressedLength);
    putLE64(out, stream.bytes.size());
    putLE64(out, kLzxFrameSize);
    for (uint64_t offset : stream.frameOffsets)
        putLE64(out, offset);
    // Readers take the entry after a frame's as its end: the last ends the stream.
    putLE64(out, stream.bytes.size());
    return out;
}

} // namespace

void ChmWriter::addFile(const std::string& name, std::string bytes) {
    const auto [it, added] = m_byName.try_emplace(lowerAscii(name), m_files.size());
    if (!added) {
        m_files[it->second] = {name, std::move(bytes)};
        return;
    }
    m_files.push_back({name, std::move(bytes)});
}

void ChmWriter::setContents(const std::string& name, std::string bytes) {
    m_options.contentsFile = name;
    addFile(name, std::move(bytes));
}

void ChmWriter::setIndex(const std::string& name, std::string bytes) {
    m_options.indexFile = name;
    addFile(name, std::move(bytes));
}

DocumentLinks ChmWriter::linkFiles(const std::vector<const File*>& files,
                                   const std::vector<const std::string*>& pages,
                                   std::vector<TopicEntry>& topics,
                                   DocumentOptions& options) const {
    if (!options.binaryIndex)
        return {};
    const std::string* index = nullptr;
    for (const File* file : files)
        if (!options.indexFile.empty() &&
            lowerAscii(file->name) == lowerAscii(normalisedReference(options.indexFile)))
            index = &file->bytes;
    DocumentLinks links =
        documentLinks(index, pages, topics, options.language, options.codePage, m_decoder);
    options.keywordLinks = links.keywords;
    options.associativeLinks = links.associative;
    return links;
}

void ChmWriter::addLinkFiles(const DocumentLinks& links,
                             std::vector<std::pair<std::string, const std::string*>>& out) {
    const auto add = [&](const std::string& folder, const LinkIndexFiles& files) {
        out.emplace_back(folder + "/BTree", &files.btree);
        out.emplace_back(folder + "/Data", &files.data);
        out.emplace_back(folder + "/Map", &files.map);
        out.emplace_back(folder + "/Property", &files.property);
    };
    if (links.associative)
        add("$WWAssociativeLinks", links.associativeFiles);
    else if (links.keywords) // readers look for it beside a keyword index
        out.emplace_back("$WWAssociativeLinks/Property", &kEmptyProperty);
    if (links.keywords)
        add("$WWKeywordLinks", links.keywordFiles);
}

std::string ChmWriter::document(unsigned threads) const {
    std::vector<const File*> files;
    for (const File& file : m_files)
        files.push_back(&file);
    std::sort(files.begin(), files.end(),
              [](const File* a, const File* b) { return directoryNameLess(a->name, b->name); });

    // Pages in the contents are marked so; every page gets a topic entry.
    std::set<std::string> listed;
    for (const File* file : files)
        if (lowerAscii(file->name) == lowerAscii(m_options.contentsFile))
            for (const std::string& local : sitemapLocals(file->bytes))
                listed.insert(normalisedReference(local));
    std::vector<TopicEntry> topics;
    std::vector<const std::string*> pages;
    for (const File* file : files)
        if (isPage(file->name)) {
            topics.push_back(
                {file->name, pageTitle(file->bytes), listed.count(lowerAscii(file->name)) != 0});
            pages.push_back(&file->bytes);
        }
    DocumentOptions options = m_options;
    const DocumentLinks links = linkFiles(files, pages, topics, options);

    StringTable strings;
    const std::string windows = windowsFile(m_windows, strings);
    const TopicFiles topicData = topicFiles(topics, strings);
    std::vector<std::pair<std::string, const std::string*>> systemFiles = {
        {"#IDXHDR", nullptr},
        {"#ITBITS", nullptr},
        {"#STRINGS", &strings.bytes()},
        {"#TOPICS", &topicData.topics},
        {"#URLSTR", &topicData.urlStrings},
        {"#URLTBL", &topicData.urlTable},
        {"#WINDOWS", &windows}};
    addLinkFiles(links, systemFiles);
    const std::string indexHeader =
        indexHeaderFile(static_cast<uint32_t>(topics.size()), m_options.timestamp);
    const std::string searchIndex = m_options.fullTextSearch ? fullTextFile(files) : std::string();

    // The compressed section: the system files, then the files in name order. It is
    // gathered interval by interval, never held whole.
    std::vector<DirectoryEntry> entries;
    std::vector<std::pair<uint64_t, const std::string*>> pieces;
    std::vector<std::string> generated;
    generated.reserve(systemFiles.size());
    uint64_t streamSize = 0;
    const auto addCompressed = [&](const std::string& name, const std::string& bytes) {
        entries.push_back({"/" + name, 1, streamSize, bytes.size()});
        if (!bytes.empty())
            pieces.emplace_back(streamSize, &bytes);
        streamSize += bytes.size();
    };
    for (const auto& [name, bytes] : systemFiles) {
        generated.push_back(bytes ? *bytes : name == "#IDXHDR" ? indexHeader : std::string());
        addCompressed(name, generated.back());
    }
    if (m_options.fullTextSearch)
        addCompressed("$FIftiMain", searchIndex);
    for (const File* file : files)
        addCompressed(file->name, file->bytes);
    // Readers decode whole frames: the last one is filled up with zeros.
    streamSize = (streamSize + kLzxFrameSize - 1) / kLzxFrameSize * kLzxFrameSize;
    const auto gather = [&](size_t offset, size_t length, std::string& out) {
        out.assign(length, '\0');
        auto it = std::upper_bound(pieces.begin(), pieces.end(), offset,
                                   [](uint64_t at, const auto& piece) { return at < piece.first; });
        if (it != pieces.begin())
            --it;
        for (; it != pieces.end() && it->first < offset + length; ++it) {
            const uint64_t from = std::max<uint64_t>(offset, it->first);
            const uint64_t to = std::min<uint64_t>(offset + length, it->first + it->second->size());
            if (from < to)
                out.replace(from - offset, to - from, *it->second, from - it->first, to - from);
        }
    };
    const LzxStream compressed = compressLzx(streamSize, gather, threads);

    std::string section0;
    const auto addPlain = [&](const std::string& name, const std::string& bytes) {
        entries.push_back({name, 0, section0.size(), bytes.size()});
        section0 += bytes;
    };
    addPlain("/#SYSTEM", systemFile(options));
    addPlain("::DataSpace/NameList", nameList());
    addPlain(kStorage + "ControlData", controlData());
    std::string spanInfo;
    putLE64(spanInfo, streamSize);
    addPlain(kStorage + "SpanInfo", spanInfo);
    addPlain(kStorage + "Transform/List", utf16(kTransformGuid));
    addPlain(kStorage + "Transform/" + kTransformGuid + "/InstanceData/ResetTable",
             resetTable(compressed, streamSize));
    addPlain(kStorage + "Content", compressed.bytes);
    // Folders are listed too; extracting readers create them from these entries.
    std::set<std::string> folders = {"/"};
    const auto addFolder = [&](const std::string& name, size_t slash) {
        std::string folder = "/";
        folder.append(name, 0, slash + 1);
        folders.insert(std::move(folder));
    };
    for (const auto& [name, bytes] : systemFiles)
        if (const size_t slash = name.find('/'); slash != std::string::npos)
            addFolder(name, slash);
    for (const File* file : files)
        for (size_t slash = file->name.find('/'); slash != std::string::npos;
             slash = file->name.find('/', slash + 1))
            addFolder(file->name, slash);
    for (const std::string& folder : folders)
        entries.push_back({folder, 0, 0, 0});

    const Directory directory = buildDirectory(std::move(entries), m_options.language);
    return assembleContainer(directory, section0, m_options.language, m_options.timestamp);
}

std::string ChmWriter::fullTextFile(const std::vector<const File*>& sortedFiles) const {
    // Pages are numbered as the topics file lists them: the pages in name order.
    const CodePageLetters letters(m_options.codePageUpperHalf);
    FullTextIndex index(letters, m_options.codePage, m_options.language);
    for (const File* file : sortedFiles)
        if (isPage(file->name))
            index.addPage(file->bytes);
    return index.file();
}

void ChmWriter::write(const std::string& path, unsigned threads) const {
    const std::string bytes = document(threads);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("Unable to write to " + path);
}

} // namespace qw::chm
