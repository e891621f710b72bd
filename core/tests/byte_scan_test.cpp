#include "core/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace qw {
namespace {

std::vector<size_t> positionsOf(std::string_view text, char a, char b, char c, BlockWidth width) {
    std::vector<size_t> found;
    forEachByteOf(text, a, b, c, [&](size_t at) { found.push_back(at); }, width);
    return found;
}

TEST(ByteScanTest, EveryWidthFindsEachWantedByteOnceInOrder) {
    // Texts of every length around the block widths, the bytes sought at the first and
    // last place of a block and in runs, bytes above ASCII (signed in a char) among them.
    std::mt19937 random(5);
    const std::string alphabet = "ab=\n\r(\x80\xFF\x3D";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const size_t size = round < 100 ? size_t(round) : random() % 200;
        for (size_t i = 0; i < size; ++i)
            text += alphabet[random() % alphabet.size()];
        const char a = round % 3 == 0 ? '\xFF' : '=';
        std::vector<size_t> expected;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == a || text[i] == '\n' || text[i] == '(')
                expected.push_back(i);
        for (const BlockWidth width : {BlockWidth::Widest, BlockWidth::Sixteen, BlockWidth::One})
            ASSERT_EQ(positionsOf(text, a, '\n', '(', width), expected)
                << "round " << round << ", width " << int(width);
    }
}

TEST(ByteScanTest, LooksAtNoByteOutsideTheText) {
    // A view into the middle of a larger text: bytes sought just before and after it stay
    // unseen, whatever the width.
    const std::string whole = std::string(40, '=') + std::string(70, 'x') + std::string(40, '=');
    const std::string_view inner = std::string_view(whole).substr(40, 70);
    for (const BlockWidth width : {BlockWidth::Widest, BlockWidth::Sixteen, BlockWidth::One})
        EXPECT_TRUE(positionsOf(inner, '=', '=', '=', width).empty()) << int(width);
}

} // namespace
} // namespace qw
