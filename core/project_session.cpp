#include "core/project_session.h"

#include "core/chapter_parser.h"
#include "core/file_io.h"
#include "core/icon_strip.h"
#include "core/ini_file.h"
#include "core/progress.h"
#include "core/project_file_check.h"
#include "core/project_lock.h"
#include "core/special_topics.h"
#include "core/text_util.h"

namespace fs = std::filesystem;

namespace qw {

namespace {

constexpr const char* kChangedText = "One or more HTML Chapter files have changed.";
constexpr const char* kMustReload = "The Project must be reloaded to reflect these changes.";

std::string changedWhileModifiedText() {
    return std::string(kChangedText) + kMustReload + "\r\n\r\n" +
           "However, reloading will overwrite any changes made in HTMLHelp Quirewright since "
           "last saved.\r\n\r\n" +
           "Choose 'Yes' to reload the project, but lose any HTMLHelp Quirewright changes "
           "(Recommended).\r\n" +
           "Choose 'No' so HTMLHelp Quirewright changes can be saved, but overwrite any Chapter "
           "changes.\r\n\r\n" +
           "Tip: To avoid this conflict, set 'Save Project On Lost Focus' in Environment "
           "Options.";
}

/// How many chapter entries the chapter list holds: one more than the highest index of
/// its ChapterFileName keys.
int listedChapterEntries(const IniFile& project) {
    int listed = 0;
    for (const std::string& key : project.keys(kChapterSection)) {
        if (!startsWithNoCase(key, "ChapterFileName"))
            continue;
        const int index = toIntDef(std::string_view(key).substr(15), -1);
        if (index >= listed && std::to_string(index) == key.substr(15))
            listed = index + 1;
    }
    return listed;
}

/// Clears a flag when the scope ends, whatever way it ends.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& m_flag;
};

} // namespace

ProjectSession::ProjectSession(SessionHost& host, fs::path dataDir, fs::path configPath)
    : m_host(host), m_dataDir(std::move(dataDir)), m_config(std::move(configPath)) {
    m_recent = m_config.readRecent();
}

std::string ProjectSession::basePath() const {
    if (endsWithNoCase(m_projectPath, ".qwr"))
        return m_projectPath.substr(0, m_projectPath.size() - 4);
    return m_projectPath;
}

std::string ProjectSession::caption() const {
    return "HTMLHelp Quirewright - " + fileNameOf(m_projectPath);
}

void ProjectSession::markEdited() {
    m_inSync = false;
    setModified(true);
}

void ProjectSession::setModified(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    m_host.modifiedChanged(modified);
}

void ProjectSession::setState(CommandState state) {
    m_state = state;
    m_host.commandStateChanged(state);
}

void ProjectSession::updateCommandState() {
    setState(m_table.rowCount() >= 3 ? CommandState::WithChapters
                                     : CommandState::WithoutChapters);
}

void ProjectSession::setProjectPath(const std::string& path) {
    m_projectPath = fs::absolute(path).lexically_normal().string();
    m_table.setProjectDir(directoryOf(m_projectPath));
    m_host.captionChanged(caption());
}

void ProjectSession::loadProjectSettings() {
    m_settings = ProjectSettings::read(IniFile(m_projectPath));
    m_env = EnvironmentSettings::read(IniFile(m_config.path(), IniFile::Unreadable::UseDefaults));
    m_maxIconIndex = qw::maxIconIndex(projectDir(), m_settings.customIconsBmp, m_dataDir);
    m_env.defaultTopicIcon = std::min(m_env.defaultTopicIcon, m_maxIconIndex);
}

void ProjectSession::newProject(const std::string& path) {
    IniFile(path).clear();
    std::error_code ec;
    setProjectPath(path);
    fs::remove(basePath() + ".hhp", ec);
    m_table.resetCounts();
    m_table.clear();
    loadProjectSettings();
    setState(CommandState::WithoutChapters);
    setModified(false);
    m_inSync = true;
    m_recent.add(m_projectPath);
}

bool ProjectSession::openProject(const std::string& path) {
    if (!fileExists(path))
        return false;
    checkProjectFile(path);
    setProjectPath(path);
    m_recent.add(m_projectPath);
    loadProjectSettings();
    m_inSync = true;
    const bool any = loadChapters(400);
    if (any && m_table.rowCount() >= 3)
        setState(CommandState::WithChapters);
    else
        setState(CommandState::WithoutChapters);
    setModified(false);
    m_inSync = true;
    if (!fileExists(basePath() + ".hhp"))
        m_host.helpProjectMissing();
    return true;
}

void ProjectSession::reloadProject(int pauseMs) {
    loadChapters(pauseMs);
    updateCommandState();
    setModified(false);
    m_inSync = true;
}

std::string ProjectSession::storedChapterName(const std::string& fullPath) const {
    const std::string& dir = projectDir();
    const std::string relative =
        startsWith(fullPath, dir) ? fullPath.substr(dir.size()) : fileNameOf(fullPath);
    return toBackslashes(relative);
}

std::string ProjectSession::chapterPathFromStored(const std::string& stored) const {
    const std::string relative = toSlashes(trim(stored));
    if (relative.empty() || relative[0] == '/' || (relative.size() > 1 && relative[1] == ':'))
        return {};
    const fs::path full = fs::path(projectDir()) / relative;
    if (!isInsideDirectory(full, projectDir()))
        return {};
    const fs::path resolved = resolveCase(full.lexically_normal());
    if (!isInsideDirectory(resolved, projectDir()))
        return {};
    return resolved.string();
}

bool ProjectSession::loadChapters(int pauseMs) {
    m_table.beginReset();
    m_table.clear();
    m_table.resetCounts();
    const IniFile project(m_projectPath);
    const int stated = project.readInteger(kChapterSection, "NumOfChapters", 0);
    if (stated <= 0) {
        m_table.endReset();
        return false;
    }
    // A count beyond the entries the file lists would only add "not found" lines (two
    // thousand million of them for a damaged count): the entries bound it.
    const int count = std::min(stated, listedChapterEntries(project));
    ProgressReporter& progress = m_host.progress();
    progress.begin("Loading Files. Please Wait...", std::max(count, 1), false);
    if (count < stated)
        progress.addError("NumOfChapters=" + std::to_string(stated) +
                          ", but the project file lists only " + std::to_string(count) +
                          " chapter files");
    const ParseOptions options = ParseOptions::from(m_env, m_maxIconIndex);
    // Each chapter adds at most its own row and its topics' rows. The room made is
    // bounded, so that a project file listing millions of chapters asks for no more.
    constexpr size_t kMostRowsReserved = 200000;
    m_table.reserveRows(std::min(kMostRowsReserved,
                                 size_t(count) * (kMaxTopicsPerChapter + 1) + m_table.rowCount()));
    try {
        for (int i = 0; i < count; ++i) {
            const std::string index = std::to_string(i);
            const std::string title = project.readString(kChapterSection, "ChapterTitle" + index, "");
            const std::string stored =
                project.readString(kChapterSection, "ChapterFileName" + index, "");
            const std::string path = chapterPathFromStored(stored);
            if (path.empty()) {
                progress.addError(chapterErrorText(OutsideProject, stored));
                progress.step();
                continue;
            }
            const size_t before = m_table.rowCount();
            if (loadChapter(path, m_table, options, progress) > 0)
                m_table.setCell(before - 1, ColTitle, title);
        }
    } catch (...) {
        m_table.endReset();
        progress.finish(0);
        throw;
    }
    m_table.endReset();
    if (!progress.hasErrors())
        markRoles();
    progress.finish(pauseMs);
    return true;
}

void ProjectSession::writeChapterList() {
    IniFile project(m_projectPath);
    project.beginBatch();
    project.writeInteger(kChapterSection, "NumOfChapters", 0);
    int i = 0;
    for (size_t r = 1; r < m_table.endRow(); ++r) {
        if (!m_table.isChapterRow(r))
            continue;
        const std::string index = std::to_string(i++);
        project.writeString(kChapterSection, "ChapterTitle" + index, m_table.cell(r, ColTitle));
        project.writeString(kChapterSection, "ChapterFileName" + index,
                            storedChapterName(m_table.cell(r, ColMainFileName)));
    }
    project.writeInteger(kChapterSection, "NumOfChapters", i);
    project.endBatch();
}

void ProjectSession::saveProject(bool withProgress) {
    const ProjectLock lock(m_projectPath);
    if (!m_inSync && m_prompts != nullptr)
        followSpecialTopics(*this, *m_prompts);
    if (!m_inSync) {
        writeBackChapters(m_table, m_env.topicSeparator, m_env.backupsChapters,
                          withProgress ? &m_host.progress() : nullptr);
        m_inSync = true;
    }
    writeChapterList();
    setModified(false);
}

bool ProjectSession::askToSave(const std::string& question, bool okCancelForm) {
    if (!m_modified)
        return true;
    Answer answer;
    {
        FlagGuard guard(m_checking);
        answer = m_host.showMessage(question, MessageKind::Confirmation,
                                    okCancelForm ? MessageButtons::OkCancel
                                                 : MessageButtons::YesNoCancel);
    }
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes || answer == Answer::Ok)
        saveProject(true);
    return true;
}

void ProjectSession::focusLost() {
    if (m_checking || m_editing || m_projectPath.empty())
        return;
    if (m_modified && m_env.autoSaveProj)
        saveProject(false);
    m_times.record(m_table);
}

void ProjectSession::focusRegained() {
    if (m_checking || m_editing || m_times.empty() || !m_times.changed())
        return;
    bool reload = !m_modified && m_env.autoReloadProj;
    if (!reload) {
        FlagGuard guard(m_checking);
        if (!m_modified) {
            m_host.showMessage(std::string(kChangedText) + "\r\n" + kMustReload,
                               MessageKind::Confirmation, MessageButtons::Ok);
            reload = true;
        } else {
            reload = m_host.showMessage(changedWhileModifiedText(), MessageKind::Confirmation,
                                        MessageButtons::YesNo) == Answer::Yes;
        }
    }
    if (!reload) {
        // The author keeps the program's version: the next save writes it over the
        // chapters changed outside, from the text loaded before they changed.
        m_table.sources().allowOverwriteOfChanged();
        return;
    }
    reloadProject(100);
    m_times.record(m_table);
}

} // namespace qw
