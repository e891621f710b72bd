#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace qw {

/// A read-only window showing a text file (the compiler's log), with Print and Close.
/// Shown modally: the build waits until the author closes it.
class TfrmLogWindow : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogWindow(QWidget* parent = nullptr);
    /// Loads the file; false (with the window left empty) when it cannot be read.
    bool loadFile(const QString& path);
    QString text() const;

private:
    void print();
    QPlainTextEdit* m_text;
};

} // namespace qw
