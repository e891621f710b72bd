#include "core/icon_strip.h"

#include "core/chapter_parser.h"
#include "core/file_io.h"
#include "core/text_util.h"

#include <cstdint>
#include <fstream>

namespace qw {

int iconStripCount(const std::filesystem::path& bmp) {
    std::ifstream in(bmp, std::ios::binary);
    unsigned char header[26] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header))
        return 0;
    if (header[0] != 'B' || header[1] != 'M')
        return 0;
    const int32_t width = int32_t(uint32_t(header[18]) | uint32_t(header[19]) << 8 |
                                  uint32_t(header[20]) << 16 | uint32_t(header[21]) << 24);
    if (width <= 0)
        return 0;
    return width / 16;
}

int maxIconIndex(const std::filesystem::path& projectDir, const std::string& customIconsBmp,
                 const std::filesystem::path& dataDir) {
    if (!customIconsBmp.empty() && endsWithNoCase(customIconsBmp, ".bmp")) {
        const auto path = resolveCase(projectDir / toSlashes(customIconsBmp));
        if (isInsideDirectory(path, projectDir)) {
            if (const int count = iconStripCount(path); count > 0)
                return count - 1;
        }
    }
    if (const int count = iconStripCount(dataDir / "deficons.bmp"); count > 0)
        return count - 1;
    return kBuiltInMaxIconIndex;
}

} // namespace qw
