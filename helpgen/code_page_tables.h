#pragma once

#include <array>

namespace qw::codepage_tables {

/// The Unicode code points of bytes 0x80 to 0xFF of one single-byte code page.
using UpperHalf = std::array<char16_t, 128>;

extern const UpperHalf k1250, k1251, k1252, k1253, k1254, k1255, k1256, k1257, k1258, k874;

} // namespace qw::codepage_tables
