#pragma once

#include "core/wizard_file_list.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace qw {

class MessageRoutine;

/// "New HTMLHelp Quirewright Project Wizard": five pages that ask for the project file,
/// the title of the help window and the first chapter files. Finish ends it with
/// success; the window's New Project Wizard command then creates the project.
class TfrmWizard : public QDialog {
    Q_OBJECT
public:
    TfrmWizard(const QString& programDir, MessageRoutine& messages, QWidget* parent = nullptr);

    /// The chosen project file (`edtNewFileName`).
    QString fileName() const;
    /// The title typed on page 3 (`edtProjectTitle`).
    QString projectTitle() const;
    /// The chapter files, relative to the project file's folder (`lstAddedFiles`).
    QStringList files() const;

    /// The page shown, 0 to 4.
    int page() const;
    void nextClick();
    void backClick();
    void browseClick();
    void addFilesClick();
    void removeFileClick();
    void moveUpClick();
    void moveDownClick();

signals:
    void helpRequested();

private:
    QWidget* makePage(const char* text, QWidget* content = nullptr);
    QWidget* fileNamePage();
    QWidget* titlePage();
    QWidget* filesPage();
    void showPage(int page);
    /// The chosen project file's folder with a trailing "/"; empty before one is chosen.
    QString projectFolder() const;
    void showFiles(int selected);

    QString m_programDir;
    MessageRoutine& m_messages;
    QStackedWidget* m_pages;
    QLineEdit* m_fileName = nullptr;
    QLineEdit* m_title = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_back;
    QPushButton* m_next;
    WizardFileList m_files;
};

} // namespace qw
