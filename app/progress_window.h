#pragma once

#include "core/progress.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace qw {

class MessageRoutine;

/// The "Please Wait..." window: a bar advanced in steps, an error list that appears with
/// the first error, and an OK button the author presses once a run with errors has ended.
/// It cannot be closed before its run has finished. Shown without being modal.
class TfrmProgress : public QDialog, public ProgressReporter {
    Q_OBJECT
public:
    explicit TfrmProgress(MessageRoutine& messages, QWidget* parent = nullptr);

    void begin(const std::string& caption, int steps, bool closeAutomatically) override;
    void addError(const std::string& text) override;
    void step() override;
    void finish(int pauseMs) override;
    bool hasErrors() const override { return m_hasErrors; }

    bool finished() const { return m_finished; }
    QStringList errors() const;
    int barValue() const;
    int barMaximum() const;
    /// Presses OK (enabled only once a run with errors has finished).
    QPushButton* okButton() const { return m_ok; }

    static constexpr int kSmallHeight = 63;
    static constexpr int kLargeHeight = 303;

signals:
    /// The window appeared or went; the main window disables its toolbar meanwhile.
    void runShown();
    void runClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void markFinished();
    void closeRun();

    MessageRoutine& m_messages;
    QProgressBar* m_bar;
    QLabel* m_errorLabel;
    QListWidget* m_errorList;
    QPushButton* m_ok;
    int m_stepSize = 1000;
    bool m_autoClose = false;
    bool m_finished = true;
    bool m_hasErrors = false;
};

} // namespace qw
