#include "chmwrite/huffman.h"

#include <algorithm>
#include <queue>

namespace qw::chm {

namespace {

/// Unlimited Huffman code lengths for the symbols of nonzero frequency.
std::vector<uint8_t> plainLengths(const std::vector<uint32_t>& frequencies) {
    struct Node {
        uint64_t weight;
        int left, right;
    };
    std::vector<Node> nodes;
    using Entry = std::pair<uint64_t, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (size_t s = 0; s < frequencies.size(); ++s)
        if (frequencies[s] != 0) {
            nodes.push_back({frequencies[s], -1, static_cast<int>(s)});
            queue.push({frequencies[s], static_cast<int>(nodes.size() - 1)});
        }
    while (queue.size() > 1) {
        const auto [wa, a] = queue.top();
        queue.pop();
        const auto [wb, b] = queue.top();
        queue.pop();
        nodes.push_back({wa + wb, a, b});
        queue.push({wa + wb, static_cast<int>(nodes.size() - 1)});
    }
    std::vector<uint8_t> lengths(frequencies.size(), 0);
    if (nodes.empty())
        return lengths;
    // Depth-first walk from the root; leaves carry their symbol in `right`.
    std::vector<std::pair<int, int>> stack = {{queue.top().second, 0}};
    while (!stack.empty()) {
        const auto [index, depth] = stack.back();
        stack.pop_back();
        const Node& node = nodes[static_cast<size_t>(index)];
        if (node.left < 0) {
            lengths[static_cast<size_t>(node.right)] = static_cast<uint8_t>(std::min(depth, 255));
            continue;
        }
        stack.push_back({node.left, depth + 1});
        stack.push_back({node.right, depth + 1});
    }
    return lengths;
}

} // namespace

std::vector<uint8_t> huffmanLengths(std::vector<uint32_t> frequencies, int maxLength) {
    size_t used = 0;
    for (uint32_t f : frequencies)
        used += f != 0;
    for (size_t s = 0; used < 2 && s < frequencies.size(); ++s)
        if (frequencies[s] == 0) {
            frequencies[s] = 1;
            ++used;
        }
    for (;;) {
        std::vector<uint8_t> lengths = plainLengths(frequencies);
        if (*std::max_element(lengths.begin(), lengths.end()) <= maxLength)
            return lengths;
        // Flatten the distribution until the deepest code fits.
        for (uint32_t& f : frequencies)
            if (f != 0)
                f = (f >> 1) | 1;
    }
}

std::vector<uint32_t> canonicalCodes(const std::vector<uint8_t>& lengths) {
    std::vector<uint32_t> count(33, 0), next(33, 0);
    for (uint8_t length : lengths)
        ++count[length];
    count[0] = 0;
    uint32_t code = 0;
    for (size_t bits = 1; bits <= 32; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint32_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s] != 0)
            codes[s] = next[lengths[s]]++;
    return codes;
}

} // namespace qw::chm
