// The project commands: check, topics, save.
#include "cli/command_registry.h"
#include "cli/console_host.h"
#include "core/file_io.h"
#include "core/file_names.h"
#include "core/project_lock.h"

#include <iostream>

namespace qw::cli {

namespace {

bool needsProject(const std::vector<std::string>& args, const char* command) {
    if (args.size() == 1)
        return true;
    std::cerr << "quirew-cli: usage: quirew-cli " << command << " PROJECT.qwr\n";
    return false;
}

int runCheck(const std::vector<std::string>& args) {
    if (!needsProject(args, "check"))
        return 2;
    ConsoleHost host;
    ProjectSession session(host, dataDirectory(), configurationFile());
    if (!openForCommand(session, host, args[0]))
        return 1;
    const CheckFinding finding =
        checkProject(session.table(), FileNameOptions::from(session.environment()));
    if (!finding.ok) {
        host.showMessage(finding.message + "\r\n(row " + std::to_string(finding.row) + ")",
                         MessageKind::Warning, MessageButtons::Ok);
        return 1;
    }
    if (!host.allErrors().empty())
        return 1;
    std::cout << session.table().statusText() << '\n';
    return 0;
}

std::string cleanCell(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return text;
}

int runTopics(const std::vector<std::string>& args) {
    if (!needsProject(args, "topics"))
        return 2;
    ConsoleHost host;
    ProjectSession session(host, dataDirectory(), configurationFile());
    if (!openForCommand(session, host, args[0]))
        return 1;
    const TopicTable& table = session.table();
    for (size_t r = 0; r < table.endRow(); ++r) {
        for (int c = 0; c < ColumnCount; ++c)
            std::cout << (c ? "\t" : "") << cleanCell(table.cell(r, c));
        std::cout << '\n';
    }
    return host.allErrors().empty() ? 0 : 1;
}

int runSave(const std::vector<std::string>& args) {
    if (!needsProject(args, "save"))
        return 2;
    ConsoleHost host;
    ProjectSession session(host, dataDirectory(), configurationFile());
    if (!fileExists(args[0])) {
        std::cerr << "quirew-cli: project file not found: " << args[0] << '\n';
        return 1;
    }
    // Held from loading to the end of the save: another program's save in between
    // would otherwise be overwritten by this one's older text.
    const ProjectLock lock(args[0]);
    if (!openForCommand(session, host, args[0]))
        return 1;
    if (!host.allErrors().empty()) {
        std::cerr << "quirew-cli: not saved: the project did not load cleanly\n";
        return 1;
    }
    session.setChaptersInSync(false);
    session.saveProject(true);
    std::cout << "saved " << session.table().statusText() << '\n';
    return 0;
}

const CommandRegistration checkCommand{
    {"check", "check PROJECT    load the project and check its topic file names", runCheck}};
const CommandRegistration topicsCommand{
    {"topics", "topics PROJECT   print the topic table as tab-separated lines", runTopics}};
const CommandRegistration saveCommand{
    {"save", "save PROJECT     write every chapter's metadata back and save the project", runSave}};

} // namespace

} // namespace qw::cli
