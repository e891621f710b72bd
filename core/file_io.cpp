#include "core/file_io.h"

#include "core/text_util.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace qw {

std::string readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError("Unable to read " + path.string());
    std::string bytes;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        in.seekg(0);
        in.read(bytes.data(), size);
        bytes.resize(static_cast<size_t>(in.gcount()));
    }
    if (in.bad())
        throw FileError("Unable to read " + path.string());
    return bytes;
}

std::vector<std::string_view> splitLineViews(std::string_view bytes) {
    std::vector<std::string_view> lines;
    const char* base = bytes.data();
    const size_t n = bytes.size();
    // The next CR and the next LF at or after start, each found once by memchr and kept
    // until start passes it, so a file with only one kind of line end stays linear.
    auto next = [&](char c, size_t from) {
        const void* hit = n > from ? std::memchr(base + from, c, n - from) : nullptr;
        return hit ? size_t(static_cast<const char*>(hit) - base) : n;
    };
    size_t nextCr = next('\r', 0);
    size_t nextLf = next('\n', 0);
    size_t start = 0;
    while (start < n) {
        if (nextCr < start)
            nextCr = next('\r', start);
        if (nextLf < start)
            nextLf = next('\n', start);
        const size_t end = std::min(nextCr, nextLf);
        lines.push_back(bytes.substr(start, end - start));
        if (end + 1 < n && bytes[end] == '\r' && bytes[end + 1] == '\n')
            start = end + 2;
        else
            start = end + 1;
    }
    return lines;
}

Lines splitLines(std::string_view bytes) {
    const auto views = splitLineViews(bytes);
    return Lines(views.begin(), views.end());
}

Lines readLines(const fs::path& path) { return splitLines(readFileBytes(path)); }

void writeFileBytes(const fs::path& path, std::string_view bytes) {
    const std::string message = "Unable to write to " + path.string();
    fs::path temp = path;
    temp += ".qw-new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw FileError(message);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            throw FileError(message);
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw FileError(message);
    }
}

namespace {

std::string joinLines(const Lines& lines) {
    size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

void writeLines(const fs::path& path, const Lines& lines) { writeFileBytes(path, joinLines(lines)); }

void writeGeneratedLines(const fs::path& path, const Lines& lines) {
    const std::string bytes = joinLines(lines);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out)
        out.flush();
    if (!out)
        throw FileError("Unable to write to " + path.string());
}

bool fileExists(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

int64_t fileStamp(const fs::path& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    if (ec)
        return -1;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

std::string toSlashes(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

std::string toBackslashes(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '/')
            c = '\\';
    return out;
}

fs::path resolveCase(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(path, ec))
        return path;
    fs::path resolved = path.root_path();
    for (const auto& part : path.relative_path()) {
        fs::path candidate = resolved / part;
        if (fs::exists(candidate, ec) || part == "." || part == "..") {
            resolved = candidate;
            continue;
        }
        fs::path match;
        int matches = 0;
        const fs::path folder = resolved.empty() ? fs::path(".") : resolved;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (equalsNoCase(it->path().filename().string(), part.string())) {
                match = it->path().filename();
                ++matches;
            }
        }
        if (matches != 1)
            return path;
        resolved /= match;
    }
    return resolved;
}

bool isInsideDirectory(const fs::path& path, const fs::path& directory) {
    const fs::path p = fs::absolute(path).lexically_normal();
    const fs::path d = fs::absolute(directory).lexically_normal();
    auto pi = p.begin();
    for (auto di = d.begin(); di != d.end(); ++di) {
        if (di->empty())
            continue; // trailing separator
        if (pi == p.end() || *pi != *di)
            return false;
        ++pi;
    }
    return true;
}

std::string directoryOf(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string_view::npos)
        return {};
    return std::string(path.substr(0, slash + 1));
}

std::string fileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string baseNameOf(std::string_view path) {
    std::string name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string changeExtension(std::string_view path, std::string_view extension) {
    const size_t slash = path.find_last_of("/\\:");
    const size_t dot = path.rfind('.');
    std::string out(path);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        out.erase(dot);
    out += extension;
    return out;
}

} // namespace qw
