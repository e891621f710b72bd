#pragma once

#include "core/chapter_writer.h"
#include "core/configuration.h"
#include "core/environment_settings.h"
#include "core/messages.h"
#include "core/project_settings.h"
#include "core/topic_table.h"

#include <filesystem>
#include <string>

namespace qw {

class ProgressReporter;
class SpecialTopicPrompts;

/// Which project commands are enabled.
enum class CommandState { NoProject, WithoutChapters, WithChapters };

/// What the session needs from the program that hosts it (the main window, the CLI or
/// a test): messages, a progress window, and a few notifications.
class SessionHost : public Messenger {
public:
    /// A progress window for one run; the session calls begin() on it.
    virtual ProgressReporter& progress() = 0;
    /// Waits the given time while the program stays responsive.
    virtual void pause(int /*milliseconds*/) {}
    virtual void commandStateChanged(CommandState /*state*/) {}
    virtual void captionChanged(const std::string& /*caption*/) {}
    virtual void modifiedChanged(bool /*modified*/) {}
    /// A project was opened that has no help project file beside it; the host applies
    /// the project options silently, as confirming the options dialog would.
    virtual void helpProjectMissing() {}
};

/// The one open project: its topic table, its settings and the environment settings,
/// its path, and the modified and chapters-in-sync flags. The main window and the
/// command-line program run every project command through it.
class ProjectSession {
public:
    ProjectSession(SessionHost& host, std::filesystem::path dataDir,
                   std::filesystem::path configPath);

    TopicTable& table() { return m_table; }
    const TopicTable& table() const { return m_table; }
    const EnvironmentSettings& environment() const { return m_env; }
    const ProjectSettings& settings() const { return m_settings; }
    ProjectSettings& settings() { return m_settings; }
    const Configuration& configuration() const { return m_config; }
    const std::filesystem::path& dataDir() const { return m_dataDir; }
    /// The project file's path; empty before the first New or Open.
    const std::string& projectPath() const { return m_projectPath; }
    /// The project file's directory with a trailing "/".
    const std::string& projectDir() const { return m_table.projectDir(); }
    /// Project path without ".qwr": the outputs are named base + ".hhp", ".chm", ...
    std::string basePath() const;
    std::string caption() const;
    int maxIconIndex() const { return m_maxIconIndex; }
    CommandState commandState() const { return m_state; }
    RecentList& recent() { return m_recent; }

    bool modified() const { return m_modified; }
    bool chaptersInSync() const { return m_inSync; }
    /// An edit of a cell or of the topic order: modified, chapters out of sync.
    void markEdited();
    void setModified(bool modified);
    void setChaptersInSync(bool inSync) { m_inSync = inSync; }

    /// Creates an empty project file at path (replacing any) and starts with no chapters.
    void newProject(const std::string& path);
    /// Opens a project; false with nothing changed when the file does not exist.
    bool openProject(const std::string& path);
    /// Loads the chapters again; the settings are not re-read.
    void reloadProject(int pauseMs = 400);
    /// Writes the chapters back when out of sync, then the chapter list. Before the
    /// chapters are written, special pages follow their renamed topics when prompts are set.
    void saveProject(bool withProgress);
    /// What setting a special page asks of the program (the main window's grid); none
    /// in headless runs, where pages do not follow renamed topics on save.
    void setSpecialTopicPrompts(SpecialTopicPrompts* prompts) { m_prompts = prompts; }
    /// Asks the question when the project is modified and saves on Yes/OK; false on Cancel.
    bool askToSave(const std::string& question, bool okCancelForm = false);

    /// Re-reads the project and environment settings into memory.
    void loadProjectSettings();
    /// Fills the table from the chapter list; false when the project lists no chapter.
    bool loadChapters(int pauseMs);
    /// Rewrites the chapter list from the table.
    void writeChapterList();
    /// Recomputes the role letters from the special pages.
    void markRoles() { m_table.markRoles(m_settings.pages); }
    /// Sets the command state from the table: with chapters when it holds any row.
    void updateCommandState();

    /// Focus handling: saves automatically and records the chapter times when the
    /// program loses the focus; reloads or asks when chapters changed outside.
    void focusLost();
    void focusRegained();
    /// Guards: while set, the focus handlers do nothing.
    void setEditing(bool editing) { m_editing = editing; }
    bool editing() const { return m_editing; }
    bool checking() const { return m_checking; }
    ChapterTimes& chapterTimes() { return m_times; }

    /// The relative stored form of a chapter path ("sub\chap.htm").
    std::string storedChapterName(const std::string& fullPath) const;
    /// The full path of a stored chapter name, resolved for case; empty when it points
    /// outside the project directory.
    std::string chapterPathFromStored(const std::string& stored) const;

private:
    void setState(CommandState state);
    void setProjectPath(const std::string& path);

    SessionHost& m_host;
    std::filesystem::path m_dataDir;
    Configuration m_config;
    TopicTable m_table;
    EnvironmentSettings m_env;
    ProjectSettings m_settings;
    RecentList m_recent;
    ChapterTimes m_times;
    std::string m_projectPath;
    int m_maxIconIndex = 41;
    CommandState m_state = CommandState::NoProject;
    bool m_modified = false;
    bool m_inSync = true;
    bool m_editing = false;
    bool m_checking = false;
    SpecialTopicPrompts* m_prompts = nullptr;
};

} // namespace qw
