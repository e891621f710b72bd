#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qw {

class MessageRoutine;

/// "Add New Chapter And Topics": asks for the new chapter's name, its file inside the
/// project directory, how many topics to start with (1 to 90) and whether to save and
/// open it in the WYSIWYG editor afterwards. Add is enabled once a file is chosen.
class TfrmNewChapter : public QDialog {
    Q_OBJECT
public:
    TfrmNewChapter(const QString& projectDir, MessageRoutine& messages, QWidget* parent = nullptr);

    QString chapterName() const;
    /// The chapter file relative to the project directory, as the field shows it.
    QString chapterFileName() const;
    int numberOfTopics() const;
    bool editAfterCreating() const;

    /// What the file button does: asks for the file and takes it when it lies in the
    /// project directory.
    void chooseFile();
    /// The spin buttons: one more up to 90, one less down to 1.
    void stepTopics(int delta);

signals:
    void helpRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void nameLeft();
    void topicsLeft();

    QString m_projectDir;
    MessageRoutine& m_messages;
    QLineEdit* m_name;
    QLineEdit* m_file;
    QLineEdit* m_topics;
    QCheckBox* m_edit;
    QPushButton* m_add;
};

} // namespace qw
