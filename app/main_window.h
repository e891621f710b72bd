#pragma once

#include "app/grid_host.h"
#include "app/message_routine.h"
#include "core/project_session.h"

#include <QDir>
#include <QMainWindow>
#include <QMap>

#include <filesystem>
#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QToolBar;

namespace qw {

class GuiBuildHost;
class GuiSessionHost;
class TfrmProgress;
class TopicGrid;

/// The main window: the one open project shown in the topic grid, with the menus, the
/// toolbar, the two status panels and the tray icon. Every command reads the session's
/// state, asks through the message routine and calls the project model.
class TfrmVIRedivuv : public QMainWindow, public GridHost {
    Q_OBJECT
    friend class GuiBuildHost;
    friend class GuiTreeHost;

public:
    TfrmVIRedivuv(const std::filesystem::path& dataDir, const std::filesystem::path& configPath,
                  QWidget* parent = nullptr);
    ~TfrmVIRedivuv() override;

    ProjectSession& session() { return *m_session; }
    MessageRoutine& messages() { return m_messages; }
    TfrmProgress& progressWindow() { return *m_progress; }
    TopicGrid& grid() { return *m_grid; }
    /// A menu item or toolbar button by its name ("mniSave", "iebtnSavePrj").
    QAction* action(const QString& name) const;
    QToolBar* toolBar() const { return m_toolBar; }
    QString hintPanelText() const;
    QString countPanelText() const;
    /// The recent-project pop-up of the Open button, filled as on a right-click.
    QMenu* recentPopup();

    /// Shows the splash, and 1500 ms later opens the project named by the first argument.
    void startUp(const QStringList& arguments);
    /// What the splash timer does: the argument is opened or reported as invalid.
    void openStartArgument(const QString& argument);
    /// Opens a project file (also for a recent project and the command line).
    void openProjectFile(const QString& path);
    /// A later start of the program handed over its argument.
    void takeHandedOverArgument(const QString& argument);

    // GridHost
    void beep() override;
    Messenger& messenger() override { return m_messages; }
    void projectEdited() override;
    bool askText(const QString& title, const QString& prompt, QString& text) override;
    void applyProjectOptionsSilently() override;

    /// The program's own help on one page, for the Help buttons of dialogs: in the help
    /// document when the HTMLHelp format is chosen, else in a frame page beside the
    /// contents tree in the browser.
    void contextHelp(const QString& page, const QString& treePage);
    /// The folder that holds the program's help: "quirew.chm" and "help/".
    QDir helpFolder() const;

    /// The focus handlers: automatic save when the program loses the focus, the
    /// changed-chapters check when it gets it back.
    void applicationDeactivated();
    void applicationActivated();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // main_window_actions.cpp
    void createActions();
    void createMenus();
    void createToolBar();
    QAction* addAction(const char* name, const char* caption, const char* hint,
                       void (TfrmVIRedivuv::*handler)());
    void createTray();

    // main_window.cpp
    void setCommandState(CommandState state);
    void setSaveEnabled(bool enabled);
    void updateCounts();
    void updateRecentMenu();
    void writeConfiguration();
    void runCommand(const std::function<void()>& command);
    void setHelpFormat(bool useHHhelp);

    // main_window_commands.cpp
    void mniNewClick();
    void mniNewPrjWizardClick();
    void mniOpenClick();
    void mniSaveClick();
    void mniReloadProjectClick();
    void mniMRU1Click(int index);
    void mniClearMRUClick();
    void createProjectFile(const QString& path);
    void mniExitClick();
    void mniAboutQuireWClick();
    void mniQuireWHelpClick();
    void mniQuireWHelpHTMLClick();
    void iebtnHelpClick();
    void workshopHelp(const QString& file);
    void helpNotInstalled();
    /// After another project (or the same one afresh) is loaded: findings of the link
    /// check name rows of the table as it was.
    void forgetFindings();
    void mniProjectOptionsClick();
    void mniEnviromentOptionsClick();
    void mniCreateDOVAZazeClick();
    void mniViewDOVAZazeClick();
    void toolsClick(const QStringList& arguments);

    // main_window_editing.cpp
    void mniAddFilesClick();
    /// Loads chapter files (full paths) into the project, refusing those outside it.
    void addChapterFiles(const QStringList& files);
    void mniViewInHTMLEdClick();
    void mniViewInWYSIWYGEdClick();
    void editInEditor(bool wysiwyg);
    void startToolbarsForEditing();
    void stopToolbars();
    void viewOrPreview(bool rightButton);
    void showInBrowser(const QString& file);
    void mniViewInBrowserClick();
    void mniRecalcTopicFilenamesClick();
    void mniCreateTopicFileListClick();
    void mniPrintClick();
    bool writeTopicList(bool asking);

    // main_window_structure.cpp
    void mniNewChapterClick();
    void mniNewTopicClick();
    void mniDeleteSelectedTopicClick();
    void mniMoveDeleteChaptersClick();
    /// Adds a chapter row (file relative to the project directory) or a topic row made
    /// from the new-topic template just after the current row and selects it; false with
    /// a beep for a topic asked for on the end-of-list row. Throws FileError when the
    /// template cannot be made.
    bool insertRow(const std::string& title, const std::string& file, bool isChapter,
                   const std::string& chapterFile);
    void deleteTopic(int row);
    void deleteChapter(int row);

    // main_window_related.cpp
    /// The keywords editor (keywords on) or the related-topics editor on a topic row; on
    /// OK a changed cell marks the project edited. The editor's size is stored either way.
    void editRelatedCell(int row, bool keywords);

    // main_window_build.cpp
    void mniCompileClick();
    void mniViewCHMClick();
    void mniViewLogClick();
    void mniSaveHTMLHelpFileAsClick();
    void runBuild();

    std::filesystem::path m_dataDir;
    MessageRoutine m_messages;
    TfrmProgress* m_progress;
    std::unique_ptr<GuiSessionHost> m_host;
    std::unique_ptr<ProjectSession> m_session;
    std::unique_ptr<GuiBuildHost> m_buildHost;
    TopicGrid* m_grid = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_recentPopup = nullptr;
    QLabel* m_hintPanel = nullptr;
    QLabel* m_countPanel = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer* m_splashTimer = nullptr;
    QWidget* m_splash = nullptr;
    QString m_startArgument;
    QMap<QString, QAction*> m_actions;
    /// Set when the options may have changed, cleared by a build: View asks to rebuild.
    bool m_optionsChanged = false;
    bool m_closing = false;
};

} // namespace qw
