#pragma once

#include "core/file_io.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The text of each chapter file as it was loaded (or last saved), with the file's state
/// at that moment. The write-back copies topic content from here, never from a file
/// that may have changed since, and refuses to replace a file changed on disk unless the
/// author chose to keep the program's version.
class ChapterSources {
public:
    struct Source {
        std::shared_ptr<const std::string> bytes;
        /// Where each line of bytes starts, when the load worked it out (else empty):
        /// the lines are then had without searching the text again.
        std::shared_ptr<const std::vector<uint32_t>> lineStarts;
        FileState state;               ///< the file when its text was taken
        bool overwriteAllowed = false; ///< the author chose the program's version

        /// The lines of bytes (emptied first), as splitLineViews gives them.
        void lineViews(std::vector<std::string_view>& lines) const;
    };

    void clear() { m_sources.clear(); }
    /// Keeps bytes as the text of path; lineStarts, when not empty, are its lines' starts.
    void keep(const std::string& path, std::string bytes, const FileState& state,
              std::vector<uint32_t> lineStarts = {});
    /// The loaded source of a path, or nullptr when it was never loaded.
    const Source* find(const std::string& path) const;
    /// Paths whose file now differs from the loaded text's file and that the author has
    /// not chosen to overwrite; in path order.
    std::vector<std::string> changedOnDisk() const;
    /// The author keeps the program's version of every changed file: the next save
    /// writes the loaded text over it.
    void allowOverwriteOfChanged();
    /// Drops every source that no path in keepPaths names.
    void retainOnly(const std::vector<std::string>& keepPaths);

    /// The lines of a chapter as loaded, or of the file as it is now when it was never
    /// loaded. Throws FileError when such a file cannot be read.
    Lines lines(const std::string& path) const;

private:
    std::map<std::string, Source, std::less<>> m_sources;
};

} // namespace qw
