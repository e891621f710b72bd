#include "chmwrite/lzx_encoder.h"

#include "chmwrite/huffman.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

namespace qw::chm {

namespace {

constexpr int kPositionSlots = 32; // for a 64 KB window
constexpr int kMainSymbols = 256 + 8 * kPositionSlots;
constexpr int kLengthSymbols = 249;
constexpr int kPretreeSymbols = 20;
constexpr size_t kMinMatch = 2;
constexpr size_t kMaxMatch = 257;
/// The largest distance back a match may reach in a 64 KB window.
constexpr size_t kMaxDistance = kLzxWindowSize - 3;
constexpr int kHashBits = 15;

struct SlotTable {
    std::array<uint32_t, kPositionSlots> base{};
    std::array<uint8_t, kPositionSlots> extra{};
    SlotTable() {
        uint32_t next = 0;
        for (int s = 0; s < kPositionSlots; ++s) {
            extra[s] = static_cast<uint8_t>(s < 4 ? 0 : std::min((s - 2) / 2, 17));
            base[s] = next;
            next += 1u << extra[s];
        }
    }
};
const SlotTable kSlots;

/// The position slot of a formatted offset (distance + 2, or 0..2 for a repeated one).
int positionSlot(uint32_t formatted) {
    if (formatted < 4)
        return static_cast<int>(formatted);
    int high = 31 - __builtin_clz(formatted);
    return 2 * high + static_cast<int>((formatted >> (high - 1)) & 1);
}

/// Writes bits most significant first into little-endian 16-bit words.
class BitWriter {
public:
    explicit BitWriter(std::string& out) : m_out(out) {}
    void put(uint32_t value, int count) {
        m_acc = (m_acc << count) | (value & ((1ull << count) - 1));
        m_bits += count;
        while (m_bits >= 16) {
            m_bits -= 16;
            const auto word = static_cast<uint16_t>(m_acc >> m_bits);
            m_out.push_back(static_cast<char>(word & 0xFF));
            m_out.push_back(static_cast<char>(word >> 8));
        }
    }
    /// Pads with zero bits up to the next word.
    void align() {
        if (m_bits > 0)
            put(0, 16 - m_bits);
    }

private:
    std::string& m_out;
    uint64_t m_acc = 0;
    int m_bits = 0;
};

/// A literal (length 0, value the byte) or a match (length, formatted offset).
struct Token {
    uint16_t length;
    uint32_t value;
};

/// Finds matches with hash chains over one interval.
class MatchFinder {
public:
    MatchFinder(std::string_view data, const LzxEffort& effort)
        : m_data(data), m_effort(effort), m_head(size_t{1} << kHashBits, -1),
          m_prev(data.size(), -1) {}

    void insert(size_t pos) {
        if (pos + 3 > m_data.size())
            return;
        const uint32_t h = hash(pos);
        m_prev[pos] = m_head[h];
        m_head[h] = static_cast<int32_t>(pos);
    }

    /// The longest match at pos no longer than limit: its length (0 when none of at
    /// least three bytes) and distance.
    std::pair<size_t, size_t> longest(size_t pos, size_t limit) const {
        size_t bestLength = 0, bestDistance = 0;
        if (pos + 3 > m_data.size() || limit < 3)
            return {0, 0};
        int chain = m_effort.chainLength;
        for (int32_t cand = m_head[hash(pos)]; cand >= 0 && chain-- > 0; cand = m_prev[cand]) {
            const size_t distance = pos - static_cast<size_t>(cand);
            if (distance > kMaxDistance)
                break;
            if (m_data[cand + bestLength] != m_data[pos + bestLength])
                continue;
            const size_t length = matchLength(static_cast<size_t>(cand), pos, limit);
            if (length > bestLength) {
                bestLength = length;
                bestDistance = distance;
                if (length == limit)
                    break;
            }
        }
        // A short match far back costs more than its literals.
        if (bestLength < 3 || (bestLength == 3 && bestDistance > 2048))
            return {0, 0};
        return {bestLength, bestDistance};
    }

    size_t matchLength(size_t from, size_t pos, size_t limit) const {
        size_t n = 0;
        while (n < limit && m_data[from + n] == m_data[pos + n])
            ++n;
        return n;
    }

private:
    uint32_t hash(size_t pos) const {
        const auto b = [&](size_t i) {
            return static_cast<uint32_t>(static_cast<uint8_t>(m_data[i]));
        };
        return ((b(pos) << 10) ^ (b(pos + 1) << 5) ^ b(pos + 2)) & ((1u << kHashBits) - 1);
    }

    std::string_view m_data;
    LzxEffort m_effort;
    std::vector<int32_t> m_head;
    std::vector<int32_t> m_prev;
};

/// Parses an interval into literals and matches; no match crosses a frame's end. Keeps
/// the three repeated offsets as the decoder will and uses them where they fit.
std::vector<Token> parseInterval(std::string_view data, const LzxEffort& effort) {
    std::vector<Token> tokens;
    tokens.reserve(data.size() / 3);
    MatchFinder finder(data, effort);
    std::array<size_t, 3> recent = {1, 1, 1};
    size_t pos = 0;
    const auto limitAt = [&](size_t p) {
        const size_t frameEnd = (p / kLzxFrameSize + 1) * kLzxFrameSize;
        return std::min({kMaxMatch, frameEnd - p, data.size() - p});
    };
    while (pos < data.size()) {
        auto [length, distance] = finder.longest(pos, limitAt(pos));
        finder.insert(pos);
        // One step of lazy evaluation: a longer match one byte on wins over this one.
        if (length > 0 && effort.lazy && length < 32 && pos + 1 < data.size()) {
            const auto next = finder.longest(pos + 1, limitAt(pos + 1));
            if (next.first > length) {
                tokens.push_back({0, static_cast<uint8_t>(data[pos])});
                ++pos;
                finder.insert(pos);
                std::tie(length, distance) = next;
            }
        }
        // A match at the most recent distance costs no offset bits: taken when as long.
        if (recent[0] <= pos) {
            const size_t repLength = finder.matchLength(pos - recent[0], pos, limitAt(pos));
            if (repLength >= kMinMatch && repLength >= length) {
                length = repLength;
                distance = recent[0];
            }
        }
        if (length == 0) {
            tokens.push_back({0, static_cast<uint8_t>(data[pos])});
            ++pos;
            continue;
        }
        for (size_t i = 1; i < length; ++i)
            finder.insert(pos + i);
        uint32_t formatted;
        if (distance == recent[0]) {
            formatted = 0;
        } else if (distance == recent[1]) {
            std::swap(recent[0], recent[1]);
            formatted = 1;
        } else if (distance == recent[2]) {
            std::swap(recent[0], recent[2]);
            formatted = 2;
        } else {
            recent[2] = recent[1];
            recent[1] = recent[0];
            recent[0] = distance;
            formatted = static_cast<uint32_t>(distance + 2);
        }
        tokens.push_back({static_cast<uint16_t>(length), formatted});
        pos += length;
    }
    return tokens;
}

/// Writes one run of a tree's code lengths through a pretree, as deltas against the
/// lengths of the previous tree and runs of zeros.
void writeLengths(BitWriter& out, const std::vector<uint8_t>& lengths,
                  const std::vector<uint8_t>& previous, size_t from, size_t to) {
    struct Item {
        uint8_t symbol, extraBits;
        uint8_t extra;
    };
    std::vector<Item> items;
    for (size_t i = from; i < to;) {
        if (lengths[i] == 0) {
            size_t run = 0;
            while (i + run < to && lengths[i + run] == 0)
                ++run;
            if (run >= 20) {
                const size_t n = std::min<size_t>(run, 51);
                items.push_back({18, 5, static_cast<uint8_t>(n - 20)});
                i += n;
                continue;
            }
            if (run >= 4) {
                items.push_back({17, 4, static_cast<uint8_t>(run - 4)});
                i += run;
                continue;
            }
        }
        items.push_back({static_cast<uint8_t>((previous[i] + 17 - lengths[i]) % 17), 0, 0});
        ++i;
    }
    std::vector<uint32_t> frequencies(kPretreeSymbols, 0);
    for (const Item& item : items)
        ++frequencies[item.symbol];
    const std::vector<uint8_t> pretree = huffmanLengths(frequencies, 15);
    const std::vector<uint32_t> codes = canonicalCodes(pretree);
    for (uint8_t length : pretree)
        out.put(length, 4);
    for (const Item& item : items) {
        out.put(codes[item.symbol], pretree[item.symbol]);
        if (item.extraBits != 0)
            out.put(item.extra, item.extraBits);
    }
}

/// Writes the tokens of an interval as one verbatim block, realigning after every frame.
LzxStream encodeInterval(const std::vector<Token>& tokens, size_t size) {
    std::vector<uint32_t> mainFreq(kMainSymbols, 0), lengthFreq(kLengthSymbols, 0);
    for (const Token& t : tokens) {
        if (t.length == 0) {
            ++mainFreq[t.value];
            continue;
        }
        const size_t header = std::min<size_t>(t.length - 2, 7);
        ++mainFreq[256 + positionSlot(t.value) * 8 + header];
        if (header == 7)
            ++lengthFreq[t.length - 9];
    }
    const std::vector<uint8_t> mainLengths = huffmanLengths(mainFreq, 16);
    const std::vector<uint8_t> lengthLengths = huffmanLengths(lengthFreq, 16);
    const std::vector<uint32_t> mainCodes = canonicalCodes(mainLengths);
    const std::vector<uint32_t> lengthCodes = canonicalCodes(lengthLengths);

    LzxStream stream;
    stream.bytes.reserve(size / 2);
    BitWriter out(stream.bytes);
    out.put(0, 1); // no call-instruction translation
    out.put(1, 3); // verbatim block
    out.put(static_cast<uint32_t>(size >> 8), 16);
    out.put(static_cast<uint32_t>(size & 0xFF), 8);
    const std::vector<uint8_t> noMain(kMainSymbols, 0), noLength(kLengthSymbols, 0);
    writeLengths(out, mainLengths, noMain, 0, 256);
    writeLengths(out, mainLengths, noMain, 256, kMainSymbols);
    writeLengths(out, lengthLengths, noLength, 0, kLengthSymbols);

    stream.frameOffsets.push_back(0);
    size_t pos = 0;
    for (const Token& t : tokens) {
        if (t.length == 0) {
            out.put(mainCodes[t.value], mainLengths[t.value]);
            ++pos;
        } else {
            const int slot = positionSlot(t.value);
            const size_t header = std::min<size_t>(t.length - 2, 7);
            const size_t symbol = 256 + static_cast<size_t>(slot) * 8 + header;
            out.put(mainCodes[symbol], mainLengths[symbol]);
            if (header == 7)
                out.put(lengthCodes[t.length - 9], lengthLengths[t.length - 9]);
            if (kSlots.extra[slot] != 0)
                out.put(t.value - kSlots.base[slot], kSlots.extra[slot]);
            pos += t.length;
        }
        if (pos % kLzxFrameSize == 0 && pos < size) {
            out.align();
            stream.frameOffsets.push_back(stream.bytes.size());
        }
    }
    out.align();
    return stream;
}

} // namespace

LzxStream compressLzxInterval(std::string_view data, const LzxEffort& effort) {
    return encodeInterval(parseInterval(data, effort), data.size());
}

LzxStream compressLzx(std::string_view data, unsigned threads, const LzxEffort& effort) {
    return compressLzx(
        data.size(),
        [&](size_t offset, size_t length, std::string& out) {
            out.assign(data.substr(offset, length));
        },
        threads, effort);
}

LzxStream compressLzx(size_t size, const StreamGather& gather, unsigned threads,
                      const LzxEffort& effort) {
    const size_t intervals = (size + kLzxResetInterval - 1) / kLzxResetInterval;
    std::vector<LzxStream> parts(intervals);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        std::string interval;
        for (size_t i = next++; i < intervals; i = next++) {
            const size_t offset = i * kLzxResetInterval;
            gather(offset, std::min(kLzxResetInterval, size - offset), interval);
            parts[i] = compressLzxInterval(interval, effort);
        }
    };
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(intervals, 1)));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();

    LzxStream all;
    size_t total = 0;
    for (const LzxStream& part : parts)
        total += part.bytes.size();
    all.bytes.reserve(total);
    for (const LzxStream& part : parts) {
        for (uint64_t offset : part.frameOffsets)
            all.frameOffsets.push_back(all.bytes.size() + offset);
        all.bytes += part.bytes;
    }
    return all;
}

} // namespace qw::chm
