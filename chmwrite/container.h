#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qw::chm {

/// One name of the document's directory: where its bytes lie in which content section
/// (0 uncompressed, 1 compressed; offsets are into the section's uncompressed bytes).
struct DirectoryEntry {
    std::string name;
    uint32_t section = 0;
    uint64_t offset = 0;
    uint64_t length = 0;
};

/// Directory chunk size; the listing and index chunks each take one.
inline constexpr size_t kChunkSize = 0x1000;

/// Case-insensitive (ASCII) ordering of directory names, the order lookups expect.
bool directoryNameLess(const std::string& a, const std::string& b);

/// The directory: listing chunks with the entries in name order, then as many levels of
/// index chunks as needed to reach every listing chunk from one root. The second value is
/// the header that describes them. Throws std::length_error for a name too long to fit a
/// chunk.
struct Directory {
    std::string header; ///< the directory header
    std::string chunks; ///< all chunks, each kChunkSize bytes
};
Directory buildDirectory(std::vector<DirectoryEntry> entries, uint32_t language);

/// The whole file: file header, header section, directory, then the uncompressed
/// section's bytes (which hold the compressed section's stream as one of its files).
std::string assembleContainer(const Directory& directory, const std::string& section0,
                              uint32_t language, uint32_t timestamp);

/// Appends a variable-length number (seven bits a byte, high bit set on all but the last).
void putEncodedInt(std::string& out, uint64_t value);
void putLE32(std::string& out, uint32_t value);
void putLE64(std::string& out, uint64_t value);
void putLE16(std::string& out, uint16_t value);
/// Overwrites four bytes at pos.
void setLE32(std::string& out, size_t pos, uint32_t value);

} // namespace qw::chm
