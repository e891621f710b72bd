// Reads the directory of a compiled help document (ITSF file, ITSP directory header,
// PMGL listing chunks) and mends the header's first and last listing chunk.
#include "helpgen/chm_directory.h"

#include "core/text_util.h"

#include <algorithm>
#include <fstream>
#include <unordered_set>

namespace qw {

namespace {

constexpr size_t kItsfSize = 0x58; // up to and including the directory's length
constexpr size_t kItspSize = 0x54;
constexpr size_t kItspFirstListing = 0x20;
constexpr size_t kItspLastListing = 0x24;
constexpr size_t kListingHeader = 0x14;

uint32_t le32(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

uint64_t le64(std::string_view bytes, size_t at) {
    return uint64_t(le32(bytes, at)) | (uint64_t(le32(bytes, at + 4)) << 32);
}

/// Reads a variable-length number (seven bits a byte, most significant first); false
/// when it runs past end.
bool readEncInt(std::string_view bytes, size_t& at, size_t end, uint64_t& value) {
    value = 0;
    while (at < end) {
        const auto b = static_cast<unsigned char>(bytes[at++]);
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0)
            return true;
    }
    return false;
}

struct Chunk {
    bool listing = false;
    int32_t prev = -1, next = -1;
};

/// Appends the entry names of one listing chunk; false when an entry is malformed.
bool readEntries(std::string_view chunk, std::vector<std::string>& names) {
    const uint32_t freeSpace = le32(chunk, 4);
    if (freeSpace > chunk.size() - kListingHeader)
        return false;
    const size_t end = chunk.size() - freeSpace;
    for (size_t at = kListingHeader; at < end;) {
        uint64_t length = 0, section = 0, offset = 0, size = 0;
        if (!readEncInt(chunk, at, end, length) || length > end - at)
            return false;
        names.emplace_back(chunk.substr(at, length));
        at += length;
        if (!readEncInt(chunk, at, end, section) || !readEncInt(chunk, at, end, offset) ||
            !readEncInt(chunk, at, end, size))
            return false;
    }
    return true;
}

ChmDirectory failed(std::string why) {
    ChmDirectory directory;
    directory.error = std::move(why);
    return directory;
}

/// Follows the chain from the listing chunk without a previous one; fills chainFirst,
/// chainLast and the names, or error when the chunks do not form one chain.
void followChain(std::string_view dir, const std::vector<Chunk>& chunks, uint32_t chunkSize,
                 ChmDirectory& out) {
    size_t listings = 0;
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (!chunks[i].listing)
            continue;
        ++listings;
        if (chunks[i].prev == -1 && out.chainFirst == -1)
            out.chainFirst = int32_t(i);
    }
    std::vector<bool> seen(chunks.size(), false);
    size_t visited = 0;
    for (int32_t i = out.chainFirst; i != -1; i = chunks[size_t(i)].next) {
        if (i < 0 || size_t(i) >= chunks.size() || !chunks[size_t(i)].listing || seen[size_t(i)]) {
            out.error = "the listing chunks do not form one chain";
            return;
        }
        seen[size_t(i)] = true;
        ++visited;
        out.chainLast = i;
        if (!readEntries(dir.substr(kItspSize + size_t(i) * chunkSize, chunkSize), out.names)) {
            out.error = "listing chunk " + std::to_string(i) + " is malformed";
            return;
        }
    }
    if (visited != listings || listings == 0)
        out.error = "the listing chunks do not form one chain";
}

} // namespace

ChmDirectory readChmDirectory(std::string_view bytes) {
    if (bytes.size() < kItsfSize || bytes.substr(0, 4) != "ITSF")
        return failed("not a compiled help document (no ITSF header)");
    const uint64_t dirOffset = le64(bytes, 0x48);
    const uint64_t dirLength = le64(bytes, 0x50);
    if (dirOffset > bytes.size() || dirLength > bytes.size() - dirOffset || dirLength < kItspSize)
        return failed("the directory lies outside the file");
    const std::string_view dir = bytes.substr(dirOffset, dirLength);
    if (dir.substr(0, 4) != "ITSP")
        return failed("no ITSP directory header");
    const uint32_t chunkSize = le32(dir, 0x10);
    const uint32_t chunkCount = le32(dir, 0x2C);
    if (chunkSize < kListingHeader + 2 || uint64_t(chunkCount) * chunkSize > dirLength - kItspSize)
        return failed("the directory's chunk count or size is wrong");

    ChmDirectory out;
    out.itspOffset = dirOffset;
    out.headerFirst = int32_t(le32(dir, kItspFirstListing));
    out.headerLast = int32_t(le32(dir, kItspLastListing));
    std::vector<Chunk> chunks(chunkCount);
    for (size_t i = 0; i < chunkCount; ++i) {
        const std::string_view chunk = dir.substr(kItspSize + i * chunkSize, chunkSize);
        chunks[i].listing = chunk.substr(0, 4) == "PMGL";
        chunks[i].prev = int32_t(le32(chunk, 0x0C));
        chunks[i].next = int32_t(le32(chunk, 0x10));
    }
    followChain(dir, chunks, chunkSize, out);
    return out;
}

namespace {

std::string readPrefix(std::ifstream& in, uint64_t size) {
    std::string bytes(size, '\0');
    in.seekg(0);
    in.read(bytes.data(), std::streamsize(size));
    bytes.resize(size_t(in.gcount()));
    return bytes;
}

void putLe32(std::string& bytes, int32_t value) {
    bytes.resize(4);
    for (size_t i = 0; i < 4; ++i)
        bytes[i] = char((uint32_t(value) >> (8 * i)) & 0xFF);
}

/// Writes the chain's ends into the header in place; false when that failed.
bool writeHeaderEnds(const std::filesystem::path& path, const ChmDirectory& directory) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    std::string field;
    putLe32(field, directory.chainFirst);
    file.seekp(std::streamoff(directory.itspOffset + kItspFirstListing));
    file.write(field.data(), 4);
    putLe32(field, directory.chainLast);
    file.seekp(std::streamoff(directory.itspOffset + kItspLastListing));
    file.write(field.data(), 4);
    file.flush();
    return bool(file);
}

} // namespace

ChmCheck checkAndMendChm(const std::filesystem::path& path,
                         const std::vector<std::string>& expectedFiles) {
    ChmCheck check;
    std::ifstream in(path, std::ios::binary);
    std::string bytes = in ? readPrefix(in, kItsfSize) : std::string();
    std::error_code ec;
    const uint64_t fileSize = std::filesystem::file_size(path, ec);
    if (!ec && bytes.size() == kItsfSize && bytes.substr(0, 4) == "ITSF") {
        // The header and the directory; a header that claims more than the file holds
        // is read as far as the file goes and then refused by the reader.
        const uint64_t offset = le64(bytes, 0x48), length = le64(bytes, 0x50);
        bytes = readPrefix(in, offset < fileSize
                                   ? std::min(fileSize, offset + std::min(length, fileSize))
                                   : kItsfSize);
    }
    in.close();
    ChmDirectory directory = readChmDirectory(bytes);
    if (!directory.readable()) {
        check.error = path.string() + ": " + directory.error;
        return check;
    }
    if (!directory.headerMatchesChain()) {
        if (!writeHeaderEnds(path, directory)) {
            check.error = "Unable to write to " + path.string();
            return check;
        }
        check.mended = true;
        std::ifstream again(path, std::ios::binary);
        if (!readChmDirectory(readPrefix(again, bytes.size())).headerMatchesChain()) {
            check.error = path.string() + ": the directory header could not be mended";
            return check;
        }
    }
    std::unordered_set<std::string> names;
    for (const std::string& name : directory.names)
        names.insert(toLower(name));
    for (const std::string& file : expectedFiles)
        if (names.count(toLower("/" + file)) == 0)
            check.missing.push_back(file);
    return check;
}

} // namespace qw
