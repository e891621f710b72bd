#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qw::chm {

/// Frame size of the compressed stream: the output is realigned after every frame and the
/// reset table records where each frame's compressed bytes begin.
inline constexpr size_t kLzxFrameSize = 0x8000;
/// The window and the distance between resets of the compressor's state (two frames).
/// Longer intervals compress large projects to a third less, but chmls (Free Pascal's
/// reader) then reads no file at all: it expects a reset every window.
inline constexpr size_t kLzxWindowSize = 0x10000;
inline constexpr size_t kLzxResetInterval = 0x10000;

/// An LZX stream: the bytes and, for every frame of input, the offset of its first
/// compressed byte.
struct LzxStream {
    std::string bytes;
    std::vector<uint64_t> frameOffsets;
};

/// How hard the matcher looks: the longest chain of earlier positions it follows.
struct LzxEffort {
    int chainLength = 48;
    bool lazy = true;
};

/// Compresses one reset interval (at most kLzxResetInterval bytes, a multiple of the frame
/// size unless it is the stream's last) into verbatim blocks that need nothing from
/// earlier intervals; frameOffsets are relative to the interval's first byte.
LzxStream compressLzxInterval(std::string_view data, const LzxEffort& effort = {});

/// Compresses a whole stream, the intervals spread over `threads` threads (0: all cores).
/// A final partial frame is compressed as it is; callers that need whole frames pad.
LzxStream compressLzx(std::string_view data, unsigned threads = 0, const LzxEffort& effort = {});

/// The same for a stream of `size` bytes that is never held whole: gather(offset, length,
/// out) fills out with that part of it (called from several threads at once).
using StreamGather = std::function<void(size_t offset, size_t length, std::string& out)>;
LzxStream compressLzx(size_t size, const StreamGather& gather, unsigned threads = 0,
                      const LzxEffort& effort = {});

} // namespace qw::chm
