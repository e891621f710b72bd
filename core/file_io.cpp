#include "core/file_io.h"

#include "core/byte_scan.h"
#include "core/text_util.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <system_error>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


namespace fs = std::filesystem;

namespace qw {

std::string readFileBytes(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError("Unable to read " + path.string() + ": " + systemReason(errno));
    // Read straight into the string, sized from the file and grown if the file grows.
    struct stat st;
    size_t capacity = 65536;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        capacity = size_t(st.st_size) + 1;
    std::string bytes;
    reserveMapped(bytes, capacity);
    bytes.resize(capacity);
    size_t used = 0;
    while (true) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw FileError("Unable to read " + path.string() + ": " + systemReason(error));
        }
        used += size_t(n);
    }
    ::close(fd);
    bytes.resize(used);
    return bytes;
}

bool fileHoldsBytes(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) == bytes.size();
    constexpr size_t kPiece = 65536;
    const std::unique_ptr<char[]> piece(same ? new char[kPiece] : nullptr);
    // One byte more than expected is asked for at the end, so a file that grew shows.
    size_t done = 0;
    while (same) {
        const size_t want = std::min(kPiece, bytes.size() - done + 1);
        const ssize_t n = ::read(fd, piece.get(), want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            same = n == 0 && done == bytes.size();
            break;
        }
        same = size_t(n) <= bytes.size() - done &&
               std::memcmp(piece.get(), bytes.data() + done, size_t(n)) == 0;
        done += size_t(n);
    }
    ::close(fd);
    return same;
}


void splitLineViews(std::string_view bytes, std::vector<std::string_view>& lines) {
    lines.clear();
    const size_t n = bytes.size();
    size_t start = 0;
    forEachByteOf(bytes, '\r', '\n', '\n', [&](size_t end) {
        if (end < start)
            return; // the LF of a CR LF, taken with its CR
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1 < n && bytes[end] == '\r' && bytes[end + 1] == '\n' ? end + 2 : end + 1;
    });
    if (start < n)
        lines.push_back(bytes.substr(start));
}

std::vector<uint32_t> lineStarts(std::string_view bytes,
                                 const std::vector<std::string_view>& lines) {
    std::vector<uint32_t> starts;
    if (bytes.size() > UINT32_MAX)
        return starts;
    starts.reserve(lines.size());
    for (const std::string_view line : lines)
        starts.push_back(uint32_t(line.data() - bytes.data()));
    return starts;
}

void linesFromStarts(std::string_view bytes, const std::vector<uint32_t>& starts,
                     std::vector<std::string_view>& lines) {
    lines.clear();
    lines.reserve(starts.size());
    const auto lineEnd = [&bytes](size_t start, size_t next) {
        // next follows the line's break: LF after CR is one break of two bytes (a CR that
        // ends a line alone is never followed by LF), anything else one byte.
        if (next >= start + 2 && bytes[next - 1] == '\n' && bytes[next - 2] == '\r')
            return next - 2;
        return next - 1;
    };
    for (size_t i = 0; i + 1 < starts.size(); ++i)
        lines.push_back(bytes.substr(starts[i], lineEnd(starts[i], starts[i + 1]) - starts[i]));
    if (starts.empty())
        return;
    // The last line runs to the end, less a final line break.
    const size_t last = starts.back();
    size_t end = bytes.size();
    if (end > last && (bytes[end - 1] == '\n' || bytes[end - 1] == '\r'))
        end = lineEnd(last, end);
    lines.push_back(bytes.substr(last, end - last));
}

std::vector<std::string_view> splitLineViews(std::string_view bytes) {
    std::vector<std::string_view> lines;
    splitLineViews(bytes, lines);
    return lines;
}

Lines splitLines(std::string_view bytes) {
    const auto views = splitLineViews(bytes);
    return Lines(views.begin(), views.end());
}

Lines readLines(const fs::path& path) {
    return splitLines(readFileBytes(path));
}

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

namespace {

[[noreturn]] void throwWriteError(const fs::path& path, int error) {
    throw FileError("Unable to write to " + path.string() + ": " + systemReason(error));
}

/// candidate, then candidate with ".n" before its extension.
fs::path numberedName(const fs::path& candidate, int n) {
    if (n == 0)
        return candidate;
    fs::path name = candidate;
    name.replace_extension();
    name += std::string(".").append(std::to_string(n));
    name += candidate.extension();
    return name;
}

/// Writes all bytes, going on after short writes and interrupted calls; errno on failure.
int writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= size_t(n);
    }
    return 0;
}

/// Opens the first free name of the candidate's series for writing; -1 with errno set.
int createFresh(const fs::path& candidate, mode_t mode, fs::path& used) {
    for (int n = 0; n < 1000; ++n) {
        used = numberedName(candidate, n);
        const int fd =
            ::open(used.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

/// Gives the new file the old one's permission bits and, where permitted, its owner.
int copyAccess(int fd, const fs::path& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) != 0)
        return 0; // a new file keeps the default mode
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && errno != EPERM)
        return errno;
    if (::fchmod(fd, st.st_mode & 07777) != 0)
        return errno;
    return 0;
}

} // namespace

namespace {

fs::path writeStaged(const fs::path& target, const fs::path& candidate, std::string_view bytes,
                     bool flush) {
    fs::path used;
    const int fd = createFresh(candidate, 0666, used);
    if (fd < 0)
        throwWriteError(target, errno);
    int error = writeAll(fd, bytes);
    if (error == 0)
        error = copyAccess(fd, target);
    if (error == 0 && flush && ::fsync(fd) != 0)
        error = errno;
    // Unflushed: the writing out starts now, so that it runs while the next files are
    // written (a failure here only means the flush later does all the work).
    if (error == 0 && !flush)
        (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(used.c_str());
        throwWriteError(target, error);
    }
    return used;
}

} // namespace

fs::path writeStagedFile(const fs::path& target, const fs::path& candidate,
                         std::string_view bytes) {
    return writeStaged(target, candidate, bytes, true);
}

fs::path writeStagedFileUnflushed(const fs::path& target, const fs::path& candidate,
                                  std::string_view bytes) {
    return writeStaged(target, candidate, bytes, false);
}

void flushStagedFile(const fs::path& staged, const fs::path& target) {
    const int fd = ::open(staged.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        throwWriteError(target, errno);
    const int error = ::fsync(fd) != 0 ? errno : 0;
    if (::close(fd) != 0 && error == 0)
        throwWriteError(target, errno);
    if (error != 0)
        throwWriteError(target, error);
}

fs::path keepStagedCopy(const fs::path& file, const fs::path& candidate) {
    for (int n = 0; n < 1000; ++n) {
        const fs::path name = numberedName(candidate, n);
        if (::link(file.c_str(), name.c_str()) == 0)
            return name;
        if (errno == EEXIST)
            continue;
        if (errno == ENOENT && !fs::exists(name.parent_path()))
            throwWriteError(name, errno);
        if (errno == ENOENT)
            return {}; // no such file: nothing to keep
        if (errno != EPERM && errno != EXDEV && errno != EOPNOTSUPP && errno != EMLINK)
            throwWriteError(name, errno);
        // A file system without hard links: a copy with the same access does as well.
        return writeStagedFile(file, candidate, readFileBytes(file));
    }
    throwWriteError(candidate, EEXIST);
}

void renameOver(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        throwWriteError(to, errno);
}

void syncDirectory(const fs::path& directory) {
    const fs::path dir = directory.empty() ? fs::path(".") : directory;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throwWriteError(dir, errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL && error != ENOTSUP)
        throwWriteError(dir, error);
}

void writeFileBytes(const fs::path& path, std::string_view bytes) {
    fs::path temp = path;
    temp += ".qw-new";
    const fs::path staged = writeStagedFile(path, temp, bytes);
    try {
        renameOver(staged, path);
    } catch (const FileError&) {
        ::unlink(staged.c_str());
        throw;
    }
    syncDirectory(path.parent_path());
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

void writeLines(const fs::path& path, const Lines& lines) {
    writeFileBytes(path, joinLines(lines));
}

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

FileState fileState(const fs::path& path) {
    FileState state;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return state;
    state.exists = true;
    state.size = uint64_t(st.st_size);
    state.modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    state.device = uint64_t(st.st_dev);
    state.inode = uint64_t(st.st_ino);
    return state;
}

bool pathExists(const fs::path& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0)
        return true;
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    throw FileError("Unable to read " + path.string() + ": " + systemReason(errno));
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

namespace {

/// The one name in folder that equals name but for case; empty when none or several do
/// (or the folder cannot be listed). Lists with readdir: a folder of thousands of pages
/// is listed for every reference that leads nowhere.
std::string onlyNameNoCase(const fs::path& folder, std::string_view name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return {};
    std::string match;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName(entry->d_name);
        if (entryName.size() == name.size() && equalsNoCase(entryName, name) &&
            entryName != "." && entryName != "..") {
            match.assign(entryName);
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? match : std::string();
}

} // namespace

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
        const std::string match =
            onlyNameNoCase(resolved.empty() ? fs::path(".") : resolved, part.native());
        if (match.empty())
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

namespace {

/// The length of the path's folder part, its last separator included (0 without one).
/// A plain backward loop: a search for either separator costs a call per character, and
/// this runs for every page of every build.
size_t folderLength(std::string_view path) {
    size_t end = path.size();
    while (end > 0 && path[end - 1] != '/' && path[end - 1] != '\\')
        --end;
    return end;
}

} // namespace

std::string directoryOf(std::string_view path) {
    return std::string(path.substr(0, folderLength(path)));
}

std::string fileNameOf(std::string_view path) {
    return std::string(path.substr(folderLength(path)));
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
