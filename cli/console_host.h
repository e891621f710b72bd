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

    /// With a session attached, opening a project that has no help project file applies
    /// the project options silently (writes the properties and the help project file).
    void attachSession(ProjectSession* session) { m_session = session; }
    void helpProjectMissing() override;
    /// The navigator font text the options held when last applied; empty before.
    const std::string& navigatorFontSpec() const { return m_fontSpec; }

private:
    Answer m_answer;
    ProjectSession* m_session = nullptr;
    std::string m_fontSpec;
    ConsoleProgress m_progress;
    std::vector<std::string> m_allErrors;
};

/// The session's data directory and configuration file for this executable.
std::filesystem::path dataDirectory();
std::filesystem::path configurationFile();

/// Opens a project for a command; prints the reason and returns false when it cannot.
bool openForCommand(ProjectSession& session, ConsoleHost& host, const std::string& path);

} // namespace qw::cli
