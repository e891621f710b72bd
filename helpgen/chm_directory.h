#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The directory of a compiled help document as its listing chunks hold it: the ITSP
/// header's first and last listing chunk, and the chain the listing chunks form through
/// their previous/next fields. Readers that enumerate the document start at the
/// header's first chunk and follow the next fields.
struct ChmDirectory {
    std::string error;              ///< why the directory could not be read; empty when it was
    uint64_t itspOffset = 0;        ///< where the directory header lies in the file
    int32_t headerFirst = -1;       ///< first listing chunk named by the header
    int32_t headerLast = -1;        ///< last listing chunk named by the header
    int32_t chainFirst = -1;        ///< the listing chunk that has no previous one
    int32_t chainLast = -1;         ///< the listing chunk that has no next one
    std::vector<std::string> names; ///< every entry, in chain order ("/page.htm")
    bool readable() const { return error.empty(); }
    /// True when an enumerating reader sees every chunk.
    bool headerMatchesChain() const { return headerFirst == chainFirst && headerLast == chainLast; }
};

/// Reads the directory from the document's first bytes: the ITSF header and the whole
/// directory section behind it (more bytes may follow and are ignored).
ChmDirectory readChmDirectory(std::string_view bytes);

/// What checking a compiled document did.
struct ChmCheck {
    std::string error;                ///< empty when the document is sound (after mending)
    bool mended = false;              ///< the header's listing chunks were corrected
    std::vector<std::string> missing; ///< listed files that are not in the directory
    bool ok() const { return error.empty() && missing.empty(); }
};

/// Checks the directory of the document at path, writes the chain's first and last
/// listing chunk into its header when they differ, then looks up every name of
/// expectedFiles (paths relative to the document's root, "/" separators, any case) in
/// the directory. Never throws; a document that cannot be read or written gives error.
ChmCheck checkAndMendChm(const std::filesystem::path& path,
                         const std::vector<std::string>& expectedFiles);

} // namespace qw
