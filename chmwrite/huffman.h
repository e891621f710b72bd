#pragma once

#include <cstdint>
#include <vector>

namespace qw::chm {

/// Code lengths of a complete prefix code for the symbol frequencies, none longer than
/// maxLength. At least two symbols get a code even when fewer occur (readers reject a
/// tree that does not fill its code space), so a symbol with frequency zero may get one.
std::vector<uint8_t> huffmanLengths(std::vector<uint32_t> frequencies, int maxLength);

/// The canonical codes for the lengths: shorter codes first, equal lengths in symbol
/// order; a symbol of length 0 gets no code.
std::vector<uint32_t> canonicalCodes(const std::vector<uint8_t>& lengths);

} // namespace qw::chm
