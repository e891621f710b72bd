#pragma once

#include "core/progress.h"
#include "core/project_session.h"

#include <memory>
#include <string>

namespace qw::cli {

/// Progress on a terminal: a counter on stderr while the steps run (when stderr is a
/// terminal), each error line as it comes.
class ConsoleProgress : public RecordingProgress {
public:
    void begin(const std::string& caption, int steps, bool closeAutomatically) override;
    void addError(const std::string& text) override;
    void step() override;
    void finish(int pauseMs) override;

private:
    bool m_tty = false;
};

/// The command-line program's answers: every message is printed on stderr; questions
/// get the answer given at construction (No unless told otherwise).
class ConsoleHost : public SessionHost {
public:
    explicit ConsoleHost(Answer questionAnswer = Answer::No) : m_answer(questionAnswer) {}
    Answer showMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override;
    ProgressReporter& progress() override { return m_progress; }
    ConsoleProgress& consoleProgress() { return m_progress; }
    /// Every error line reported during the whole run, in order.
    const std::vector<std::string>& allErrors() const { return m_allErrors; }
    void noteErrors();

private:
    Answer m_answer;
    ConsoleProgress m_progress;
    std::vector<std::string> m_allErrors;
};

/// The session's data directory and configuration file for this executable.
std::filesystem::path dataDirectory();
std::filesystem::path configurationFile();

/// Opens a project for a command; prints the reason and returns false when it cannot.
bool openForCommand(ProjectSession& session, ConsoleHost& host, const std::string& path);

} // namespace qw::cli
