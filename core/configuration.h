#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace qw {

class IniFile;

inline constexpr const char* kEmptyRecent = "<Empty>";
inline constexpr const char* kNoneRecent = "[none]";

/// The main window's stored bounds and help choice ("FormSettings").
struct WindowSettings {
    int height = 480;
    int width = 640;
    int top = 0;
    int left = 0;
    bool useHHhelp = true;
};

/// Display widths of columns 1 to 10 ("ColWidths"); -1 hides a column.
struct ColumnWidths {
    std::array<int, 10> widths = {125, 95, 38, 77, 64, 93, 100, -1, -1, -1};
    static const std::array<const char*, 10>& keys();
};

/// The default choices of the build's options dialog ("COMPILE_OPT_DEF").
struct CompileOptions {
    bool closeHHeDocs = true;
    bool editContents = false;
    bool viewLog = true;
    bool viewChm = true;
    bool cleanUpFiles = true;
    /// Check links, files and markers before the pages are generated.
    bool checkLinks = false;
};

/// The four recent projects, most recent first; empty places hold "<Empty>" or "[none]".
class RecentList {
public:
    RecentList() { m_entries.fill(kEmptyRecent); }
    const std::array<std::string, 4>& entries() const { return m_entries; }
    void setEntry(size_t index, std::string path) { m_entries[index] = std::move(path); }
    /// Puts path first; entries equal to it (with case) move out, "[none]" filling in.
    void add(const std::string& path);
    /// Every entry becomes "<Empty>".
    void clear() { m_entries.fill(kEmptyRecent); }
    static bool isEmptyEntry(const std::string& entry);

private:
    std::array<std::string, 4> m_entries;
};

/// The configuration file shared by both programs: the sections owned by the main
/// program. Each call reads or writes the file at once.
class Configuration {
public:
    explicit Configuration(std::filesystem::path path) : m_path(std::move(path)) {}
    const std::filesystem::path& path() const { return m_path; }

    WindowSettings readWindow() const;
    void writeWindow(const WindowSettings& window) const;
    RecentList readRecent() const;
    void writeRecent(const RecentList& list) const;
    ColumnWidths readColumnWidths() const;
    void writeColumnWidths(const ColumnWidths& widths) const;
    CompileOptions readCompileOptions() const;
    void writeCompileOptions(const CompileOptions& options) const;
    /// Size of the related-topics and keywords editor: height, width.
    std::pair<int, int> readRelatedEditorSize() const;
    void writeRelatedEditorSize(int height, int width) const;

private:
    std::filesystem::path m_path;
};

/// The folders where the programs look for their support files, in order: the folder
/// QUIREW_DATA_DIR names (then the only one), the executable's folder and its "data"
/// (a portable install), <executable's prefix>/share/quirew (an installed or staged
/// copy), the source tree's "data" (a build tree, wherever it lies) and the install
/// prefix's share/quirew known when the program was built.
std::vector<std::filesystem::path> dataDirectoryCandidates(const std::filesystem::path& executable);
/// The first candidate that holds "xFiles", else the first candidate.
std::filesystem::path findDataDirectory(const std::filesystem::path& executable);
/// Refuses a command that needs the support files when dataDirectory lacks them: throws
/// FileError naming the missing file and the folders the running program looks in.
void requireSupportFiles(const std::filesystem::path& dataDirectory);
/// The configuration file: in the data directory when that is writable, else
/// $XDG_CONFIG_HOME/quirew/quirew.cfg (or ~/.config/quirew/quirew.cfg).
std::filesystem::path findConfigurationFile(const std::filesystem::path& dataDirectory);

} // namespace qw
