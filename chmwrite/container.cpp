#include "chmwrite/container.h"

#include <algorithm>
#include <stdexcept>

namespace qw::chm {

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
/// One quick-reference entry for every kQuickRefSpacing entries of a chunk.
constexpr int kQuickRefDensity = 2;
constexpr size_t kQuickRefSpacing = 1 + (size_t{1} << kQuickRefDensity);
constexpr size_t kListingHeader = 0x14;
constexpr size_t kIndexHeader = 0x08;
constexpr size_t kDirectoryHeader = 0x54;
constexpr size_t kFileHeader = 0x60;
constexpr size_t kHeaderSection = 0x18;

const unsigned char kFileGuid1[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                      0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const unsigned char kFileGuid2[16] = {0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                      0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const unsigned char kDirectoryGuid[16] = {0x6A, 0x92, 0x02, 0x5D, 0x2E, 0x21, 0xD0, 0x11,
                                          0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

void putGuid(std::string& out, const unsigned char (&guid)[16]) {
    out.append(reinterpret_cast<const char*>(guid), 16);
}

size_t quickRefBytes(size_t entries) {
    return 2 + 2 * (entries == 0 ? 0 : (entries - 1) / kQuickRefSpacing);
}

/// One chunk's entries, already encoded, with where each starts.
struct ChunkFill {
    std::string bytes;
    std::vector<size_t> starts;
    std::string firstName;
};

/// Fills chunks of the given header size with the encoded entries, in order.
std::vector<ChunkFill> packEntries(const std::vector<std::pair<std::string, std::string>>& encoded,
                                   size_t headerSize) {
    std::vector<ChunkFill> chunks;
    for (const auto& entry : encoded) {
        const std::string& name = entry.first;
        const std::string& bytes = entry.second;
        const auto fits = [&](const ChunkFill& c) {
            return headerSize + c.bytes.size() + bytes.size() +
                       quickRefBytes(c.starts.size() + 1) <=
                   kChunkSize;
        };
        if (chunks.empty() || !fits(chunks.back())) {
            chunks.emplace_back();
            chunks.back().firstName = name;
            if (!fits(chunks.back()))
                throw std::length_error("A file name is too long for the document's directory: " +
                                        name);
        }
        chunks.back().starts.push_back(chunks.back().bytes.size());
        chunks.back().bytes += bytes;
    }
    return chunks;
}

/// Ends a chunk: its entries, free space and the quick-reference area at the end.
std::string finishChunk(std::string header, const ChunkFill& fill) {
    std::string chunk = std::move(header);
    chunk += fill.bytes;
    chunk.resize(kChunkSize, '\0');
    size_t at = kChunkSize - 2;
    chunk[at] = static_cast<char>(fill.starts.size() & 0xFF);
    chunk[at + 1] = static_cast<char>(fill.starts.size() >> 8);
    for (size_t i = kQuickRefSpacing; i < fill.starts.size(); i += kQuickRefSpacing) {
        at -= 2;
        chunk[at] = static_cast<char>(fill.starts[i] & 0xFF);
        chunk[at + 1] = static_cast<char>(fill.starts[i] >> 8);
    }
    return chunk;
}

uint32_t freeSpace(size_t headerSize, const ChunkFill& fill) {
    return static_cast<uint32_t>(kChunkSize - headerSize - fill.bytes.size());
}

} // namespace

void putLE16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void putLE32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putLE64(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void setLE32(std::string& out, size_t pos, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[pos + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putEncodedInt(std::string& out, uint64_t value) {
    char groups[10];
    int n = 0;
    do {
        groups[n++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1)
        out.push_back(static_cast<char>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

bool directoryNameLess(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca + 32);
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb + 32);
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

Directory buildDirectory(std::vector<DirectoryEntry> entries, uint32_t language) {
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return directoryNameLess(a.name, b.name);
    });
    std::vector<std::pair<std::string, std::string>> encoded;
    for (const DirectoryEntry& e : entries) {
        std::string bytes;
        putEncodedInt(bytes, e.name.size());
        bytes += e.name;
        putEncodedInt(bytes, e.section);
        putEncodedInt(bytes, e.offset);
        putEncodedInt(bytes, e.length);
        encoded.emplace_back(e.name, std::move(bytes));
    }
    const std::vector<ChunkFill> listing = packEntries(encoded, kListingHeader);
    const auto listingCount = static_cast<uint32_t>(std::max<size_t>(listing.size(), 1));

    Directory dir;
    for (uint32_t i = 0; i < listing.size(); ++i) {
        std::string header = "PMGL";
        putLE32(header, freeSpace(kListingHeader, listing[i]));
        putLE32(header, 0);
        putLE32(header, i == 0 ? kNone : i - 1);
        putLE32(header, i + 1 == listing.size() ? kNone : i + 1);
        dir.chunks += finishChunk(std::move(header), listing[i]);
    }
    if (listing.empty()) {
        ChunkFill empty;
        std::string header = "PMGL";
        putLE32(header, freeSpace(kListingHeader, empty));
        putLE32(header, 0);
        putLE32(header, kNone);
        putLE32(header, kNone);
        dir.chunks += finishChunk(std::move(header), empty);
    }

    // Index levels, each naming the first entry of every chunk of the level below.
    std::vector<std::pair<std::string, uint32_t>> below;
    for (uint32_t i = 0; i < listing.size(); ++i)
        below.emplace_back(listing[i].firstName, i);
    uint32_t chunkCount = listingCount;
    uint32_t depth = 1;
    uint32_t root = kNone;
    while (below.size() > 1) {
        std::vector<std::pair<std::string, std::string>> level;
        for (const auto& [name, chunk] : below) {
            std::string bytes;
            putEncodedInt(bytes, name.size());
            bytes += name;
            putEncodedInt(bytes, chunk);
            level.emplace_back(name, std::move(bytes));
        }
        const std::vector<ChunkFill> index = packEntries(level, kIndexHeader);
        below.clear();
        for (const ChunkFill& fill : index) {
            std::string header = "PMGI";
            putLE32(header, freeSpace(kIndexHeader, fill));
            dir.chunks += finishChunk(std::move(header), fill);
            below.emplace_back(fill.firstName, chunkCount++);
        }
        ++depth;
        root = chunkCount - 1;
    }

    std::string& h = dir.header;
    h = "ITSP";
    putLE32(h, 1);
    putLE32(h, kDirectoryHeader);
    putLE32(h, 0x0A);
    putLE32(h, kChunkSize);
    putLE32(h, kQuickRefDensity);
    putLE32(h, depth);
    putLE32(h, root);
    putLE32(h, 0);
    putLE32(h, listingCount - 1);
    putLE32(h, kNone);
    putLE32(h, chunkCount);
    putLE32(h, language);
    putGuid(h, kDirectoryGuid);
    putLE32(h, kDirectoryHeader);
    putLE32(h, kNone);
    putLE32(h, kNone);
    putLE32(h, kNone);
    return dir;
}

std::string assembleContainer(const Directory& directory, const std::string& section0,
                              uint32_t language, uint32_t timestamp) {
    const uint64_t directoryLength = directory.header.size() + directory.chunks.size();
    const uint64_t contentOffset = kFileHeader + kHeaderSection + directoryLength;
    std::string out;
    out.reserve(contentOffset + section0.size());
    out = "ITSF";
    putLE32(out, 3);
    putLE32(out, kFileHeader);
    putLE32(out, 1);
    for (int shift = 24; shift >= 0; shift -= 8) // the stamp is stored big-endian
        out.push_back(static_cast<char>((timestamp >> shift) & 0xFF));
    putLE32(out, language);
    putGuid(out, kFileGuid1);
    putGuid(out, kFileGuid2);
    putLE64(out, kFileHeader);
    putLE64(out, kHeaderSection);
    putLE64(out, kFileHeader + kHeaderSection);
    putLE64(out, directoryLength);
    putLE64(out, contentOffset);

    putLE32(out, 0x1FE);
    putLE32(out, 0);
    putLE64(out, contentOffset + section0.size());
    putLE32(out, 0);
    putLE32(out, 0);

    out += directory.header;
    out += directory.chunks;
    out += section0;
    return out;
}

} // namespace qw::chm
