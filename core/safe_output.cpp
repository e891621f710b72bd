#include "core/safe_output.h"

#include "core/project_lock.h"
#include "core/topic_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace fs = std::filesystem;

namespace qw {

namespace {

constexpr std::string_view kAboutMark = "<HTML><HEAD><TITLE>About HTMLHelp Quirewright</TITLE>";
constexpr std::string_view kNotOwn = "it was not written by HTMLHelp Quirewright";

OutputGuard::Fault& faultHook() {
    static OutputGuard::Fault fault;
    return fault;
}

/// For a path given as text (or as a path object): the path object is made only when a
/// fault is set.
template <typename Path> bool injectedFault(std::string_view operation, const Path& path) {
    return faultHook() && faultHook()(operation, fs::path(path));
}

/// True when text is an absolute path in normal form already (no empty, "." or ".." part,
/// no separator at its end): normalPath would give it back unchanged.
bool isNormalAbsolute(std::string_view text) {
    if (text.size() < 2 || text[0] != '/' || text.back() == '/')
        return false;
    // One loop over the path: it runs several times for every page of a build.
    size_t partStart = 1;
    for (size_t at = 1; at <= text.size(); ++at) {
        if (at < text.size() && text[at] != '/')
            continue;
        const size_t length = at - partStart;
        if (length == 0 || (text[partStart] == '.' &&
                            (length == 1 || (length == 2 && text[partStart + 1] == '.'))))
            return false;
        partStart = at + 1;
    }
    return true;
}

fs::path normalPath(const fs::path& path) {
    // Pages are named by paths already absolute and normal: most calls need no work.
    if (isNormalAbsolute(path.native()))
        return path;
    fs::path p = fs::absolute(path).lexically_normal();
    return p.has_filename() ? p : p.parent_path();
}

/// normalPath of path, as path itself when that is normal already (no copy: a path
/// holds its parts in memory of their own, and every page of a build comes here twice),
/// else made in made.
const fs::path& normalPathIn(const fs::path& path, fs::path& made) {
    if (isNormalAbsolute(path.native()))
        return path;
    made = normalPath(path);
    return made;
}

int64_t modificationTime(const struct stat& st) {
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

/// The first bytes of a file; empty when it cannot be read.
std::string leadingBytes(const fs::path& path, size_t count) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string bytes(count, '\0');
    const ssize_t n = ::read(fd, bytes.data(), count);
    ::close(fd);
    bytes.resize(n > 0 ? size_t(n) : 0);
    return bytes;
}

/// Whether the plain file at path holds exactly bytes, read into buffer (kept by the
/// caller so that many comparisons need no new memory).
bool sameBytes(const std::string& path, std::string_view bytes, std::string& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    buffer.resize(bytes.size() + 1); // one more: a file that grew meanwhile differs
    size_t done = 0;
    bool ok = true;
    while (ok && done < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n >= 0;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    return ok && done == bytes.size() && std::string_view(buffer.data(), done) == bytes;
}

bool holdsBytes(const fs::path& path, std::string_view bytes) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        uint64_t(st.st_size) != bytes.size())
        return false;
    try {
        return readFileBytes(path) == bytes;
    } catch (const FileError&) {
        return false;
    }
}

std::string writeFailure(const std::string& path) {
    return "Unable to write to " + path;
}

std::string writeFailure(const fs::path& path) {
    return writeFailure(path.string());
}

/// Writes bytes into an existing or new plain file of one name, never through a link.
void writeInPlace(const std::string& path, std::string_view bytes,
                  const std::set<std::pair<uint64_t, uint64_t>>& protectedFiles) {
    if (injectedFault("write", path))
        throw FileError(writeFailure(path));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        throw FileError(writeFailure(path));
    struct stat st {};
    // An empty (new) file is not truncated: on ext4 a truncation to zero makes the close
    // start writing the file out at once, which costs a new page its delayed allocation.
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 &&
              protectedFiles.count({uint64_t(st.st_dev), uint64_t(st.st_ino)}) == 0 &&
              (st.st_size == 0 || ::ftruncate(fd, 0) == 0);
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n > 0 ? size_t(n) : 0;
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok)
        throw FileError(writeFailure(path));
}

} // namespace

void OutputGuard::setFaultForTesting(Fault fault) {
    faultHook() = std::move(fault);
}

fs::path OutputGuard::recordPath(const fs::path& projectPath) {
    fs::path record = normalPath(projectPath);
    record += ".written";
    return record;
}

namespace {

std::vector<fs::path> chapterFiles(const TopicTable& table) {
    std::vector<fs::path> chapters;
    for (size_t r = 1; r < table.endRow(); ++r)
        if (table.isChapterRow(r))
            chapters.emplace_back(table.cell(r, ColMainFileName));
    return chapters;
}

} // namespace

OutputGuard::OutputGuard(const TopicTable& table, const fs::path& projectPath)
    : OutputGuard(fs::path(table.projectDir()), chapterFiles(table), projectPath) {}

OutputGuard::OutputGuard(const fs::path& projectDir, const std::vector<fs::path>& protectedFiles,
                         const fs::path& projectPath)
    : m_projectDir(normalPath(projectDir)), m_marks{{std::string(kPageMark), {}},
                                                    {std::string(kAboutMark), {}}} {
    std::vector<fs::path> guarded = protectedFiles;
    if (!projectPath.empty()) {
        guarded.push_back(projectPath);
        guarded.push_back(ProjectLock::lockPath(projectPath));
        m_record = recordPath(projectPath);
        protectName(m_record.string());
        loadRecord();
    }
    for (const fs::path& file : guarded) {
        protectName(normalPath(file).string());
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0)
            m_protected.insert({uint64_t(st.st_dev), uint64_t(st.st_ino)});
        if (::lstat(file.c_str(), &st) == 0)
            m_protected.insert({uint64_t(st.st_dev), uint64_t(st.st_ino)});
    }
}

size_t OutputGuard::nameBit(std::string_view path) {
    // FNV-1a of the file name: the part that tells most paths of one project apart.
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : path.substr(path.rfind('/') + 1))
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return size_t(hash % kNameBits);
}

void OutputGuard::protectName(std::string name) {
    m_protectedNameBits.set(nameBit(name));
    m_protectedNames.insert(std::move(name));
}

std::optional<std::string_view> OutputGuard::below(std::string_view path) const {
    const std::string_view dir = m_projectDir.native();
    const size_t cut = dir == "/" ? 0 : dir.size();
    if (path.size() > cut + 1 && path.compare(0, dir.size(), dir) == 0 && path[cut] == '/')
        return path.substr(cut + 1);
    return std::nullopt;
}

std::string OutputGuard::recordKey(const fs::path& absolute) const {
    if (const auto relative = below(absolute.native()); relative && isNormalAbsolute(absolute.native()))
        return std::string(*relative);
    return absolute.lexically_relative(m_projectDir).generic_string();
}

std::string OutputGuard::linkedFolder(const std::string& absolute) const {
    return linkedFolder(absolute, isNormalAbsolute(absolute));
}

std::string OutputGuard::linkedFolder(const std::string& absolute, bool normal) const {
    // A file in the project folder or in a folder already found plain: nothing to look at.
    const std::string_view parent = std::string_view(absolute).substr(0, absolute.rfind('/'));
    if (normal) {
        // The pages of a chapter come one after another: the folder of the last one first.
        if (parent == m_projectDir.native() || parent == m_lastPlainFolder)
            return {};
        if (m_plainFolders.count(parent) != 0) {
            m_lastPlainFolder.assign(parent);
            return {};
        }
    }
    fs::path folder = m_projectDir;
    const fs::path relative = fs::path(absolute).lexically_relative(m_projectDir).parent_path();
    for (const fs::path& part : relative) {
        folder /= part;
        if (m_plainFolders.count(folder.string()) != 0)
            continue;
        struct stat st {};
        if (::lstat(folder.c_str(), &st) != 0)
            return {}; // a missing folder: the write itself fails
        if (S_ISLNK(st.st_mode))
            return folder.lexically_relative(m_projectDir).generic_string();
        if (!S_ISDIR(st.st_mode))
            return {};
        m_plainFolders.insert(folder.string());
    }
    return {};
}

std::string OutputGuard::refusalOf(const std::string& absolute, Replace how) const {
    // The path is looked at as text: a path object would be parsed into its parts (and
    // their memory) for each of the two checks of every page of a build.
    const bool normal = isNormalAbsolute(absolute);
    if (!normal || !below(absolute)) {
        const fs::path relative = fs::path(absolute).lexically_relative(m_projectDir);
        if (relative.empty() || relative == "." || *relative.begin() == "..")
            return "it lies outside the project folder";
    }
    if (const std::string link = linkedFolder(absolute, normal); !link.empty())
        return "it lies in the linked folder '" + link + "'";
    if (m_protectedNameBits.test(nameBit(absolute)) && m_protectedNames.count(absolute) != 0)
        return "it is a chapter or a file of the project";
    struct stat st {};
    if (::lstat(absolute.c_str(), &st) != 0)
        return {};
    if (S_ISLNK(st.st_mode))
        return "it is a link";
    if (!S_ISREG(st.st_mode))
        return "it is not a plain file";
    if (m_protected.count({uint64_t(st.st_dev), uint64_t(st.st_ino)}) != 0)
        return "it is a chapter or a file of the project";
    if (st.st_nlink > 1)
        return "it has other names (a hard link)";
    if (how == Replace::Own && !isOwn(absolute))
        return std::string(kNotOwn);
    return {};
}

std::string OutputGuard::refusal(const fs::path& path, Replace how) const {
    fs::path made;
    return refusalOf(normalPathIn(path, made).native(), how);
}

std::string OutputGuard::refusalOfText(const std::string& path, Replace how) const {
    return isNormalAbsolute(path) ? refusalOf(path, how) : refusal(fs::path(path), how);
}

void OutputGuard::check(const fs::path& path, Replace how) const {
    if (const std::string reason = refusal(path, how); !reason.empty())
        throw FileError(writeFailure(path) + ": " + reason);
}

bool OutputGuard::isOwn(const fs::path& path) const {
    fs::path made;
    const fs::path& absolute = normalPathIn(path, made);
    struct stat st {};
    if (::lstat(absolute.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const Stamp stamp{uint64_t(st.st_size), modificationTime(st)};
    const std::string key = recordKey(absolute);
    if (const auto it = m_stamps.find(key); it != m_stamps.end() && it->second == stamp)
        return true;
    // The check before a run and the write itself both ask: read each mark once.
    if (const auto it = m_marked.find(key); it != m_marked.end() && it->second == stamp)
        return true;
    const std::string head = leadingBytes(absolute, 4096);
    const auto marked = [&head](const Mark& mark) {
        return head.starts_with(mark.start) &&
               (mark.within.empty() || head.find(mark.within) != std::string::npos);
    };
    if (std::none_of(m_marks.begin(), m_marks.end(), marked))
        return false;
    m_marked[key] = stamp;
    return true;
}

void OutputGuard::addMark(std::string start, std::string within) {
    m_marks.push_back({std::move(start), std::move(within)});
}

void OutputGuard::write(const fs::path& path, std::string_view bytes, Replace how, bool record) {
    fs::path made;
    writeNormal(normalPathIn(path, made).native(), path.string(), bytes, how, record);
}

void OutputGuard::writePage(const std::string& path, std::string_view bytes) {
    // Pages carry their mark: they need no note in the record of written files.
    if (isNormalAbsolute(path))
        writeNormal(path, path, bytes, Replace::Own, false);
    else
        write(fs::path(path), bytes, Replace::Own, false);
}

void OutputGuard::writeNormal(const std::string& absolute, const std::string& shown,
                              std::string_view bytes, Replace how, bool record) {
    // Every refusal but that of a file the program did not write comes first.
    if (const std::string reason = refusalOf(absolute, Replace::Named); !reason.empty())
        throw FileError(writeFailure(shown) + ": " + reason);
    struct stat st {};
    const bool exists = ::lstat(absolute.c_str(), &st) == 0;
    // A file that already holds these very bytes is the program's own output, whoever
    // copied it there, and is left as it is: a rebuild after a small change rewrites only
    // the files that change, and the others keep their time stamps.
    if (exists && S_ISREG(st.st_mode) && uint64_t(st.st_size) == bytes.size() &&
        sameBytes(absolute, bytes, m_compareBuffer)) {
        if (record && how == Replace::Own)
            note(absolute);
        return;
    }
    if (exists && how == Replace::Own && !isOwn(absolute))
        throw FileError(writeFailure(shown) + ": " + std::string(kNotOwn));
    writeInPlace(absolute, bytes, m_protected);
    if (record && how == Replace::Own)
        note(absolute);
}

void OutputGuard::writeLines(const fs::path& path, const Lines& lines, Replace how, bool record) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    write(path, bytes, how, record);
}

bool OutputGuard::copy(const fs::path& source, const fs::path& target) {
    const std::string bytes = readFileBytes(source);
    if (holdsBytes(normalPath(target), bytes) && refusal(target, Replace::Named).empty()) {
        note(normalPath(target));
        return false;
    }
    write(target, bytes, Replace::Own);
    return true;
}

void OutputGuard::remove(const fs::path& path, Replace how) {
    const fs::path absolute = normalPath(path);
    struct stat st {};
    if (::lstat(absolute.c_str(), &st) != 0 && errno == ENOENT)
        return;
    const std::string failure = "Unable to delete " + path.string();
    if (const std::string reason = refusalOf(absolute.native(), how); !reason.empty())
        throw FileError(failure + ": " + reason);
    if (injectedFault("delete", absolute) || (::unlink(absolute.c_str()) != 0 && errno != ENOENT))
        throw FileError(failure);
    m_stamps.erase(recordKey(absolute));
}

void OutputGuard::makeDirectory(const fs::path& path) {
    const fs::path absolute = normalPath(path);
    const std::string failure = writeFailure(path);
    const fs::path relative = absolute.lexically_relative(m_projectDir);
    if (relative == ".")
        return; // the project folder itself, which holds the project file
    if (relative.empty() || *relative.begin() == "..")
        throw FileError(failure + ": it lies outside the project folder");
    if (const std::string link = linkedFolder(absolute.native()); !link.empty())
        throw FileError(failure + ": it lies in the linked folder '" + link + "'");
    struct stat st {};
    if (::lstat(absolute.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return;
        throw FileError(failure +
                        (S_ISLNK(st.st_mode) ? ": it is a link" : ": it is not a folder"));
    }
    if (injectedFault("mkdir", absolute) || ::mkdir(absolute.c_str(), 0755) != 0)
        throw FileError(failure);
}

void OutputGuard::note(const fs::path& absolute) {
    struct stat st {};
    if (::lstat(absolute.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        m_stamps[recordKey(absolute)] = {uint64_t(st.st_size), modificationTime(st)};
}

void OutputGuard::loadRecord() {
    struct stat st {};
    if (::lstat(m_record.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)
        return; // none yet, or not one the program would have written
    std::string bytes;
    try {
        bytes = readFileBytes(m_record);
    } catch (const FileError&) {
        return; // an unreadable record only makes fewer files count as the program's own
    }
    for (const std::string& line : splitLines(bytes)) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos)
            continue;
        Stamp stamp;
        const char* first = line.data();
        if (std::from_chars(first, first + tab1, stamp.size).ec != std::errc() ||
            std::from_chars(first + tab1 + 1, first + tab2, stamp.time).ec != std::errc())
            continue;
        m_stamps[line.substr(tab2 + 1)] = stamp;
    }
}

void OutputGuard::saveRecord() {
    if (m_record.empty())
        return;
    std::string bytes;
    for (const auto& [name, stamp] : m_stamps) {
        // Files deleted or changed since are no longer the program's to replace.
        const fs::path file = m_projectDir / name;
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0 ||
            !(stamp == Stamp{uint64_t(st.st_size), modificationTime(st)}))
            continue;
        bytes +=
            std::to_string(stamp.size) + '\t' + std::to_string(stamp.time) + '\t' + name + "\r\n";
    }
    if (const std::string link = linkedFolder(m_record.native()); !link.empty())
        throw FileError(writeFailure(m_record) + ": it lies in the linked folder '" + link + "'");
    struct stat st {};
    if (::lstat(m_record.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || st.st_nlink != 1))
        throw FileError(writeFailure(m_record) + ": it is not a plain file of one name");
    writeInPlace(m_record, bytes, m_protected);
}

} // namespace qw
