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

/// Splits bytes into lines ending at CR, LF or CR LF. A final line break does not
/// start another line. No character-set conversion is made.
Lines splitLines(std::string_view bytes);

/// The same split as splitLines, as views into bytes (which must outlive them).
std::vector<std::string_view> splitLineViews(std::string_view bytes);

/// Reads a text file into lines; throws FileError when it cannot be read.
Lines readLines(const std::filesystem::path& path);

/// Writes lines, each ended by CR LF, replacing any file of that name: the text goes to a
/// new file beside it first and then replaces it by rename, so a failure never leaves a
/// half-written file. Throws FileError("Unable to write to %s").
void writeLines(const std::filesystem::path& path, const Lines& lines);
/// Writes lines like writeLines but straight into the file, without the new file and
/// rename: half the directory work, for the many generated pages that the program itself
/// owns and writes anew on every build. Never use it for the author's files.
void writeGeneratedLines(const std::filesystem::path& path, const Lines& lines);
/// Writes bytes the same way as writeLines.
void writeFileBytes(const std::filesystem::path& path, std::string_view bytes);

bool fileExists(const std::filesystem::path& path);

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
