#pragma once

#include "core/environment_settings.h"
#include "helpgen/options_pages.h"
#include "helpgen/project_options.h"

#include <QDialog>

#include <map>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;

namespace qw {

class GridIcons;
class MessageRoutine;
class ProjectSession;

/// "Options": Project Options (the help document's properties kept in the project file)
/// or Environment Options (the installation's settings kept in the configuration file).
/// The widgets show a ProjectOptions or EnvironmentSettings object and forward every
/// change to it; the rules between options are the library's. OK writes the mode's
/// section (and in project mode the help project file); Cancel writes nothing.
class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    /// Prepares the dialog: pages of the mode, the page lists filled with the topics'
    /// link paths, the settings loaded (a project that uses small toolbar buttons is
    /// warned about them here). icons draws the topic icon list; may be null.
    TfrmOptions(OptionsMode mode, ProjectSession& session, MessageRoutine& messages,
                const GridIcons* icons, QWidget* parent = nullptr);

    OptionsMode mode() const { return m_mode; }
    const ProjectOptions& projectOptions() const { return m_project; }
    const EnvironmentSettings& environmentOptions() const { return m_env; }
    /// The help page of the page shown now.
    QString currentHelpPage() const;

    /// OK: under the hourglass, writes the mode's settings and closes. A refused write is
    /// shown by the general error display and closes the dialog as cancelled.
    void accept() override;

signals:
    /// "&Help": the page of the shown tab and the browser help's tree page.
    void helpRequested(const QString& page, const QString& treePage);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the pages (options_dialog_project.cpp, options_dialog_environment.cpp).
    QWidget* addPage(const char* name, const char* caption);
    QCheckBox* addBox(QWidget* page, const char* name, const char* caption);
    QLineEdit* addEdit(QWidget* page, const char* name, const char* caption);
    QComboBox* addPageList(QWidget* page, const char* name, const char* caption);
    QPushButton* addButton(QWidget* page, const char* name, const char* caption);
    /// A "..." button at the end of the row of the text box added last.
    QPushButton* addPickButton(QWidget* page, const char* name);
    void buildProjectPages();
    void buildGeneralPage();
    void buildLayoutPage();
    void buildMiscellPage();
    void buildToolbarPage();
    void buildAdditionalPage();
    void addFlagBoxes(QWidget* page, int pageIndex);
    void buildEnvironmentPages(const GridIcons* icons);
    void buildPathBox(QWidget* page, const char* name, const char* caption, const char* hint,
                      std::string EnvironmentSettings::*member);
    void connectProjectControls();
    void connectEnvironmentControls();

    // Showing the model and forwarding the author's changes.
    void loadProject();
    void showProject();
    void showEnvironment();
    void flagBoxChanged(FlagBox box, bool on);
    void pickImage(QLineEdit* box, const QString& title);
    void pickProgram(std::string EnvironmentSettings::*member, const QString& title);
    void pickFont();
    /// The window sizer over the window boxes; on OK they take its values.
    void openAutoSizer();
    void pickColour();
    void addAdditional();
    void deleteAdditional();
    void fillPageLists();
    void sizeBoxLeft(QLineEdit* box);
    void writeSettings();

    OptionsMode m_mode;
    ProjectSession& m_session;
    MessageRoutine& m_messages;
    ProjectOptions m_project;
    EnvironmentSettings m_env;
    AdditionalFileLists m_lists;
    QTabWidget* m_tabs;
    std::map<FlagBox, QCheckBox*> m_flags;
    std::map<QLineEdit*, SizeBox> m_sizeBoxes;
    std::map<QLineEdit*, std::string EnvironmentSettings::*> m_paths;
    std::map<std::string, QCheckBox*> m_boxes;
    std::map<std::string, QLineEdit*> m_edits;
    std::map<std::string, QComboBox*> m_pageLists;
    QHBoxLayout* m_lastRow = nullptr;
    QListWidget* m_additional = nullptr;
    QComboBox* m_topicIcon = nullptr;
    QRadioButton* m_tabsTop = nullptr;
    QRadioButton* m_tabsBottom = nullptr;
    QRadioButton* m_tabsSide = nullptr;
    QPushButton* m_fontButton = nullptr;
    QLabel* m_fontSpec = nullptr;
    bool m_showing = false;
};

} // namespace qw
