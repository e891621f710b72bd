#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// A failure of the file layer. Its message is the text shown to the author,
/// for example "Unable to write to /home/a/proj/chap.htm".
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Lines = std::vector<std::string>;

/// The whole file as bytes; throws FileError("Unable to read %s") when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);

/// Whether the file at path holds exactly bytes; false when it differs or cannot be read.
/// The file is read piece by piece into one small buffer, never whole.
bool fileHoldsBytes(const std::filesystem::path& path, std::string_view bytes);

/// Splits bytes into lines ending at CR, LF or CR LF. A final line break does not
/// start another line. No character-set conversion is made.
Lines splitLines(std::string_view bytes);

/// The same split as splitLines, as views into bytes (which must outlive them).
std::vector<std::string_view> splitLineViews(std::string_view bytes);
/// splitLineViews into lines (emptied first), whose memory is reused.
void splitLineViews(std::string_view bytes, std::vector<std::string_view>& lines);
/// Where each of lines (splitLineViews of bytes) starts in bytes: a quarter of the memory
/// of the views. Empty when bytes is too long for such offsets.
std::vector<uint32_t> lineStarts(std::string_view bytes,
                                 const std::vector<std::string_view>& lines);
/// The lines of bytes from their starts (lineStarts), as splitLineViews gives them,
/// without a search of the text: only the line ends next to each start are looked at.
void linesFromStarts(std::string_view bytes, const std::vector<uint32_t>& starts,
                     std::vector<std::string_view>& lines);

/// Reads a text file into lines; throws FileError when it cannot be read.
Lines readLines(const std::filesystem::path& path);

/// Writes lines, each ended by CR LF, replacing any file of that name: the text goes to a
/// new file beside it first, flushed to disk, and then replaces it by rename, so a failure
/// never leaves a half-written file. The replaced file's permissions (and owner, where
/// permitted) are kept. Throws FileError("Unable to write to %s: reason").
void writeLines(const std::filesystem::path& path, const Lines& lines);
/// Writes lines like writeLines but straight into the file, without the new file and
/// rename: half the directory work, for the many generated pages that the program itself
/// owns and writes anew on every build. Never use it for the author's files.
void writeGeneratedLines(const std::filesystem::path& path, const Lines& lines);
/// Writes bytes the same way as writeLines.
void writeFileBytes(const std::filesystem::path& path, std::string_view bytes);

bool fileExists(const std::filesystem::path& path);
/// Whether anything stands at path; false only when nothing does. Throws FileError
/// ("Unable to read %s: reason") when the system cannot tell, so that a failing disk is
/// never taken for a missing file.
bool pathExists(const std::filesystem::path& path);

/// What a stat tells of a file; a later state that differs means the file was changed,
/// replaced or removed in between.
struct FileState {
    bool exists = false;
    uint64_t size = 0;
    int64_t modified = 0; ///< nanoseconds
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileState&) const = default;
};
FileState fileState(const std::filesystem::path& path);

/// The system's words for an error number ("No space left on device").
std::string systemReason(int error);

/// Writes bytes into a new file beside target and flushes it to disk. The file is named
/// candidate, or candidate with ".1", ".2", ... before its extension when that name is
/// taken: nothing that exists is replaced. It gets target's permission bits and, where
/// permitted, target's owner (a new target: 0666 less the umask). Returns the name
/// used; throws FileError("Unable to write to %s: reason") after removing what it wrote.
std::filesystem::path writeStagedFile(const std::filesystem::path& target,
                                      const std::filesystem::path& candidate,
                                      std::string_view bytes);
/// writeStagedFile without waiting for the disk: the writing out is started and the call
/// returns; flushStagedFile must follow before the file is relied on. Many files written
/// so reach the disk together instead of one after the other.
std::filesystem::path writeStagedFileUnflushed(const std::filesystem::path& target,
                                               const std::filesystem::path& candidate,
                                               std::string_view bytes);
/// Waits until a file written by writeStagedFileUnflushed is on disk. Throws
/// FileError("Unable to write to <target>: reason").
void flushStagedFile(const std::filesystem::path& staged, const std::filesystem::path& target);
/// A further name for an existing file (a hard link, or a copy where links are not
/// possible), named like writeStagedFile's files; an empty path when there is no such
/// file. Throws FileError.
std::filesystem::path keepStagedCopy(const std::filesystem::path& file,
                                     const std::filesystem::path& candidate);
/// Renames from over to in one step. Throws FileError("Unable to write to <to>: reason").
void renameOver(const std::filesystem::path& from, const std::filesystem::path& to);
/// Flushes a folder's entries (new names, renames) to disk; folders that cannot be
/// flushed on their file system are left as they are. Throws FileError on a real failure.
void syncDirectory(const std::filesystem::path& directory);

/// The file system's full-resolution modification stamp (nanoseconds); -1 for a missing file.
int64_t fileStamp(const std::filesystem::path& path);

/// Both "\" and "/" separate folders in stored relative paths; returns the "/" form.
std::string toSlashes(std::string_view path);
/// Returns the "\" form used in stored project files.
std::string toBackslashes(std::string_view path);

/// Resolves a path whose components may differ in case from the files on disk: each
/// component that does not exist as written is replaced by the one entry of its folder
/// that matches ignoring case. The path is returned unchanged when nothing matches or
/// when more than one entry does.
std::filesystem::path resolveCase(const std::filesystem::path& path);

/// True when path, made absolute and normalised, lies inside directory (or is it).
bool isInsideDirectory(const std::filesystem::path& path, const std::filesystem::path& directory);

/// Directory of a file path with a trailing "/" ("" for a bare name).
std::string directoryOf(std::string_view path);
/// Name part of a path without its directory.
std::string fileNameOf(std::string_view path);
/// Name part without its extension ("sub/intro.htm" gives "intro").
std::string baseNameOf(std::string_view path);
/// Path with its extension (from the last "." after the last separator) replaced.
std::string changeExtension(std::string_view path, std::string_view extension);

} // namespace qw
