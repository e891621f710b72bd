#include "core/configuration.h"

#include "core/file_io.h"
#include "core/ini_file.h"

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qw {

namespace {
constexpr const char* kFormSection = "FormSettings";
constexpr const char* kRecentSection = "MRUFiles";
constexpr const char* kWidthsSection = "ColWidths";
constexpr const char* kCompileSection = "COMPILE_OPT_DEF";
constexpr const char* kRelatedSection = "RT_KW_SIZES";
} // namespace

const std::array<const char*, 10>& ColumnWidths::keys() {
    static const std::array<const char*, 10> names = {
        "Title",       "FileName",  "Icon",    "BgImage", "BgColour",
        "KeyWords",    "RelatedInfo", "StartLine", "EndLine", "MainFileName"};
    return names;
}

void RecentList::add(const std::string& path) {
    std::vector<std::string> list;
    int removed = 0;
    for (const auto& entry : m_entries) {
        if (entry == path)
            ++removed;
        else
            list.push_back(entry);
    }
    for (int i = 0; i < removed; ++i)
        list.push_back(kNoneRecent);
    list.insert(list.begin(), path);
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i] = list[i];
}

bool RecentList::isEmptyEntry(const std::string& entry) {
    return entry.empty() || entry == kEmptyRecent || entry == kNoneRecent;
}

WindowSettings Configuration::readWindow() const {
    const IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    WindowSettings w;
    w.height = ini.readInteger(kFormSection, "Height", w.height);
    w.width = ini.readInteger(kFormSection, "Width", w.width);
    w.top = ini.readInteger(kFormSection, "Top", w.top);
    w.left = ini.readInteger(kFormSection, "Left", w.left);
    w.useHHhelp = ini.readBool(kFormSection, "UseHHhelp", w.useHHhelp);
    return w;
}

void Configuration::writeWindow(const WindowSettings& w) const {
    IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    ini.beginBatch();
    ini.writeInteger(kFormSection, "Height", w.height);
    ini.writeInteger(kFormSection, "Width", w.width);
    ini.writeInteger(kFormSection, "Top", w.top);
    ini.writeInteger(kFormSection, "Left", w.left);
    ini.writeBool(kFormSection, "UseHHhelp", w.useHHhelp);
    ini.endBatch();
}

RecentList Configuration::readRecent() const {
    const IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    RecentList list;
    for (size_t i = 0; i < 4; ++i)
        list.setEntry(i, ini.readString(kRecentSection, "MRU" + std::to_string(i), kEmptyRecent));
    return list;
}

void Configuration::writeRecent(const RecentList& list) const {
    IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    ini.beginBatch();
    for (size_t i = 0; i < 4; ++i)
        ini.writeString(kRecentSection, "MRU" + std::to_string(i), list.entries()[i]);
    ini.endBatch();
}

ColumnWidths Configuration::readColumnWidths() const {
    const IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    ColumnWidths w;
    for (size_t i = 0; i < w.widths.size(); ++i)
        w.widths[i] = ini.readInteger(kWidthsSection, ColumnWidths::keys()[i], w.widths[i]);
    return w;
}

void Configuration::writeColumnWidths(const ColumnWidths& w) const {
    IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    ini.beginBatch();
    for (size_t i = 0; i < w.widths.size(); ++i)
        ini.writeInteger(kWidthsSection, ColumnWidths::keys()[i], w.widths[i]);
    ini.endBatch();
}

CompileOptions Configuration::readCompileOptions() const {
    const IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    CompileOptions o;
    o.closeHHeDocs = ini.readBool(kCompileSection, "CloseHHeDocs", o.closeHHeDocs);
    o.editContents = ini.readBool(kCompileSection, "EditContents", o.editContents);
    o.viewLog = ini.readBool(kCompileSection, "ViewLog", o.viewLog);
    o.viewChm = ini.readBool(kCompileSection, "ViewCHM", o.viewChm);
    o.cleanUpFiles = ini.readBool(kCompileSection, "CleanUpFiles", o.cleanUpFiles);
    o.checkLinks = ini.readBool(kCompileSection, "CheckLinks", o.checkLinks);
    return o;
}

void Configuration::writeCompileOptions(const CompileOptions& o) const {
    IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    ini.beginBatch();
    ini.writeBool(kCompileSection, "CloseHHeDocs", o.closeHHeDocs);
    ini.writeBool(kCompileSection, "EditContents", o.editContents);
    ini.writeBool(kCompileSection, "ViewLog", o.viewLog);
    ini.writeBool(kCompileSection, "ViewCHM", o.viewChm);
    ini.writeBool(kCompileSection, "CleanUpFiles", o.cleanUpFiles);
    ini.writeBool(kCompileSection, "CheckLinks", o.checkLinks);
    ini.endBatch();
}

std::pair<int, int> Configuration::readRelatedEditorSize() const {
    const IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    return {ini.readInteger(kRelatedSection, "RT_KW_Height", 291),
            ini.readInteger(kRelatedSection, "RT_KW_Width", 351)};
}

void Configuration::writeRelatedEditorSize(int height, int width) const {
    IniFile ini(m_path, IniFile::Unreadable::UseDefaults);
    ini.beginBatch();
    ini.writeInteger(kRelatedSection, "RT_KW_Height", height);
    ini.writeInteger(kRelatedSection, "RT_KW_Width", width);
    ini.endBatch();
}

std::vector<fs::path> dataDirectoryCandidates(const fs::path& executable) {
    if (const char* env = std::getenv("QUIREW_DATA_DIR"); env != nullptr && *env != '\0')
        return {fs::path(env)};
    std::error_code ec;
    const fs::path dir = fs::absolute(executable, ec).parent_path();
    std::vector<fs::path> candidates = {dir, dir / "data", dir.parent_path() / "share" / "quirew"};
#ifdef QW_SOURCE_DATA_DIR
    candidates.emplace_back(QW_SOURCE_DATA_DIR);
#endif
#ifdef QW_INSTALL_DATA_DIR
    candidates.emplace_back(QW_INSTALL_DATA_DIR);
#endif
    return candidates;
}

fs::path findDataDirectory(const fs::path& executable) {
    const std::vector<fs::path> candidates = dataDirectoryCandidates(executable);
    std::error_code ec;
    for (const fs::path& candidate : candidates)
        if (fs::is_directory(candidate / "xFiles", ec))
            return candidate;
    return candidates.front();
}

void requireSupportFiles(const fs::path& dataDirectory) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const std::vector<fs::path> lookedIn = dataDirectoryCandidates(ec ? dataDirectory : self);
    for (const char* file : {"xFiles/quirew.css", "xFiles/quirew.js", "xFiles/Effects.sfx"}) {
        std::error_code exists;
        if (fs::exists(dataDirectory / file, exists))
            continue; // one that cannot be read is reported by its reader
        std::string folders;
        for (const fs::path& folder : lookedIn)
            folders += (folders.empty() ? "" : ", ") + folder.string();
        throw FileError("Support file not found: " + (dataDirectory / file).string() +
                        " (looked in " + folders +
                        "; set QUIREW_DATA_DIR to the folder that holds xFiles)");
    }
}

fs::path findConfigurationFile(const fs::path& dataDirectory) {
    if (::access(dataDirectory.c_str(), W_OK) == 0)
        return dataDirectory / "quirew.cfg";
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home != nullptr)
        base = fs::path(home) / ".config";
    else
        base = fs::temp_directory_path();
    return base / "quirew" / "quirew.cfg";
}

} // namespace qw
