#include "core/text_util.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace qw {

namespace {
char upperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char lowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
} // namespace

std::string toUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = upperChar(c);
    return out;
}

std::string toLower(std::string_view text) {
    std::string out;
    appendLowered(out, text);
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperChar(a[i]) != upperChar(b[i]))
            return false;
    return true;
}

size_t findNoCase(std::string_view haystack, std::string_view needle, size_t from) {
    const size_t npos = std::string_view::npos;
    if (needle.empty())
        return from <= haystack.size() ? from : npos;
    if (haystack.size() < needle.size() || from > haystack.size() - needle.size())
        return npos;
    // Candidates are found by memchr for each case of the first character, each case
    // advanced on its own so that the rarer one is not searched for again at every
    // candidate of the other.
    const size_t last = haystack.size() - needle.size();
    const char lower = lowerChar(needle[0]), upper = upperChar(needle[0]);
    const auto next = [&](char c, size_t at) {
        if (at > last)
            return npos;
        const void* hit = std::memchr(haystack.data() + at, c, last + 1 - at);
        return hit == nullptr ? npos : size_t(static_cast<const char*>(hit) - haystack.data());
    };
    const std::string_view rest = needle.substr(1);
    size_t nextLower = next(lower, from);
    size_t nextUpper = upper != lower ? next(upper, from) : npos;
    for (;;) {
        const size_t hit = std::min(nextLower, nextUpper);
        if (hit == npos)
            return npos;
        if (equalsNoCase(haystack.substr(hit + 1, rest.size()), rest))
            return hit;
        if (hit == nextLower)
            nextLower = next(lower, hit + 1);
        else
            nextUpper = next(upper, hit + 1);
    }
}

bool containsNoCase(std::string_view haystack, std::string_view needle) {
    return findNoCase(haystack, needle) != std::string_view::npos;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

void appendLowered(std::string& out, std::string_view text) {
    const size_t at = out.size();
    out.append(text);
    for (size_t i = at; i < out.size(); ++i)
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = char(out[i] - 'A' + 'a');
}

std::string_view trimView(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::string trim(std::string_view text) {
    return std::string(trimView(text));
}

std::string_view nextItem(std::string_view cell, size_t& at) {
    while (at <= cell.size()) {
        size_t comma = cell.find(',', at);
        if (comma == std::string_view::npos)
            comma = cell.size();
        size_t begin = at, end = comma;
        at = comma + 1;
        while (begin < end && static_cast<unsigned char>(cell[begin]) <= ' ')
            ++begin;
        while (end > begin && static_cast<unsigned char>(cell[end - 1]) <= ' ')
            --end;
        if (end > begin)
            return cell.substr(begin, end - begin);
    }
    return {};
}

std::vector<std::string> splitItems(std::string_view cell) {
    std::vector<std::string> items;
    size_t at = 0;
    for (std::string_view item = nextItem(cell, at); !item.empty(); item = nextItem(cell, at))
        items.emplace_back(item);
    return items;
}

std::string join(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += separator;
        out += items[i];
    }
    return out;
}

size_t replaceAllNoCase(std::string& text, std::string_view token, std::string_view replacement) {
    if (token.empty())
        return 0;
    size_t count = 0;
    size_t pos = findNoCase(text, token);
    while (pos != std::string::npos) {
        text.replace(pos, token.size(), replacement);
        ++count;
        pos = findNoCase(text, token, pos + replacement.size());
    }
    return count;
}

bool parseInt(std::string_view text, long long& value) {
    if (text.empty())
        return false;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (*begin == '+')
        ++begin;
    if (begin == end)
        return false;
    auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

int toIntDef(std::string_view text, int fallback) {
    long long value = 0;
    if (!parseInt(text, value) || value < INT32_MIN || value > INT32_MAX)
        return fallback;
    return static_cast<int>(value);
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

void reserveMapped(std::string& text, size_t size) {
    text.reserve(size);
#ifdef MADV_POPULATE_WRITE
    // Below this the memory is most likely reused from earlier allocations already.
    constexpr size_t kLarge = 128 * 1024;
    if (text.capacity() < kLarge)
        return;
    const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
    const uintptr_t start = (uintptr_t(text.data()) + page - 1) & ~(page - 1);
    const uintptr_t end = (uintptr_t(text.data()) + text.capacity()) & ~(page - 1);
    // Only a hint: where the system cannot do it, the pages come as they are written.
    if (end > start)
        (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#endif
}

} // namespace qw
