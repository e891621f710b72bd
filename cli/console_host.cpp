#include "cli/console_host.h"

#include "core/configuration.h"
#include "core/file_io.h"
#include "helpgen/project_options.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qw::cli {

void ConsoleProgress::begin(const std::string& caption, int steps, bool closeAutomatically) {
    RecordingProgress::begin(caption, steps, closeAutomatically);
    m_tty = ::isatty(STDERR_FILENO) != 0;
    if (m_tty)
        std::cerr << caption << '\n';
}

void ConsoleProgress::addError(const std::string& text) {
    RecordingProgress::addError(text);
    if (m_tty)
        std::cerr << "\r\033[K";
    std::cerr << "error: " << text << '\n';
}

void ConsoleProgress::step() {
    RecordingProgress::step();
    if (m_tty)
        std::cerr << "\r  " << stepsDone() << " / " << steps() << std::flush;
}

void ConsoleProgress::finish(int pauseMs) {
    RecordingProgress::finish(pauseMs);
    if (m_tty)
        std::cerr << "\r\033[K" << std::flush;
}

Answer ConsoleHost::showMessage(const std::string& text, MessageKind kind,
                                MessageButtons buttons) {
    std::string shown;
    for (char c : text)
        if (c != '\r')
            shown += c;
    const char* label = kind == MessageKind::Error     ? "error: "
                        : kind == MessageKind::Warning ? "warning: "
                                                       : "";
    std::cerr << label << shown << '\n';
    switch (buttons) {
    case MessageButtons::Ok:
        return Answer::Ok;
    case MessageButtons::OkCancel:
        return m_answer == Answer::Yes ? Answer::Ok : Answer::Cancel;
    default:
        return m_answer;
    }
}

void ConsoleHost::noteErrors() {
    for (const auto& e : m_progress.errors())
        m_allErrors.push_back(e);
}

void ConsoleHost::helpProjectMissing() {
    if (m_session != nullptr)
        m_fontSpec = applyProjectOptionsSilently(*m_session).fontSpec();
}

fs::path dataDirectory() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return findDataDirectory(ec ? fs::current_path() / "quirew-cli" : self);
}

fs::path configurationFile() { return findConfigurationFile(dataDirectory()); }

bool openForCommand(ProjectSession& session, ConsoleHost& host, const std::string& path) {
    if (!fileExists(path)) {
        std::cerr << "quirew-cli: project file not found: " << path << '\n';
        return false;
    }
    if (!session.openProject(path)) {
        // The file was there a moment ago: it could not be examined now.
        std::cerr << "quirew-cli: project file cannot be opened: " << path << '\n';
        return false;
    }
    host.noteErrors();
    return true;
}

} // namespace qw::cli
