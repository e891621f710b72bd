#pragma once

#include <string>
#include <vector>

namespace qw::cli {

/// One sub-command of quirew-cli: its name, a one-line usage text and its handler,
/// which returns the exit status.
struct Command {
    std::string name;
    std::string usage;
    int (*run)(const std::vector<std::string>& args);
};

/// Every command registered so far, in registration order.
std::vector<Command>& commands();

/// Registers a command at start-up: `static const CommandRegistration r{{...}};`
struct CommandRegistration {
    explicit CommandRegistration(Command command) { commands().push_back(std::move(command)); }
};

} // namespace qw::cli
