#pragma once

// Writes small compiled help files for the tests: an ITSF header, an ITSP directory
// header and listing chunks that hold the given names, chained in a chosen order, with
// a chosen first listing chunk in the header. No content section: only the directory
// is read back.

#include <cstdint>
#include <string>
#include <vector>

namespace qw::chmtest {

constexpr uint32_t kChunkSize = 512;

inline void put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

inline void put64(std::string& out, uint64_t value) {
    put32(out, uint32_t(value));
    put32(out, uint32_t(value >> 32));
}

inline void putEncInt(std::string& out, uint64_t value) {
    std::string bytes(1, char(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.insert(bytes.begin(), char(0x80 | (value & 0x7F)));
    out += bytes;
}

struct Layout {
    size_t perChunk = 3;       ///< names per listing chunk
    std::vector<size_t> chain; ///< chunk numbers in chain order; empty: 0, 1, 2, ...
    int32_t headerFirst = -2;  ///< first listing chunk in the header; -2: the right one
};

/// The bytes of a document whose directory lists names ("/a.htm", ...).
inline std::string syntheticChm(const std::vector<std::string>& names, Layout layout = {}) {
    const size_t count = names.empty() ? 1 : (names.size() + layout.perChunk - 1) / layout.perChunk;
    std::vector<size_t> chain = layout.chain;
    for (size_t i = chain.size(); i < count; ++i)
        chain.push_back(i);
    std::vector<std::string> chunks(count);
    for (size_t k = 0; k < count; ++k) {
        const size_t physical = chain[k];
        std::string entries;
        size_t n = 0;
        for (size_t i = k * layout.perChunk; i < names.size() && i < (k + 1) * layout.perChunk;
             ++i, ++n) {
            putEncInt(entries, names[i].size());
            entries += names[i];
            putEncInt(entries, 0);
            putEncInt(entries, i * 100);
            putEncInt(entries, 100);
        }
        std::string chunk = "PMGL";
        put32(chunk, uint32_t(kChunkSize - 0x14 - entries.size()));
        put32(chunk, 0);
        put32(chunk, k == 0 ? 0xFFFFFFFF : uint32_t(chain[k - 1]));
        put32(chunk, k + 1 == count ? 0xFFFFFFFF : uint32_t(chain[k + 1]));
        chunk += entries;
        chunk.resize(kChunkSize - 2, '\0');
        chunk += char(n & 0xFF);
        chunk += char(n >> 8);
        chunks[physical] = chunk;
    }
    const uint64_t dirOffset = 0x60 + 0x18;
    const uint64_t dirLength = 0x54 + uint64_t(count) * kChunkSize;
    std::string out = "ITSF";
    for (uint32_t v : {3u, 0x60u, 1u, 0u, 0x809u})
        put32(out, v);
    out.append(32, '\0'); // two GUIDs
    put64(out, 0x60);
    put64(out, 0x18);
    put64(out, dirOffset);
    put64(out, dirLength);
    put64(out, dirOffset + dirLength);
    out.append(0x18, '\0'); // section 0
    out += "ITSP";
    for (uint32_t v : {1u, 0x54u, 0x0Au, kChunkSize, 2u, 1u, 0xFFFFFFFFu})
        put32(out, v);
    const int32_t first = layout.headerFirst == -2 ? int32_t(chain.front()) : layout.headerFirst;
    put32(out, uint32_t(first));
    put32(out, uint32_t(chain.back()));
    put32(out, 0xFFFFFFFF);
    put32(out, uint32_t(count));
    put32(out, 0x809);
    out.append(16, '\0');
    for (uint32_t v : {0x54u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu})
        put32(out, v);
    for (const std::string& chunk : chunks)
        out += chunk;
    return out;
}

} // namespace qw::chmtest
