#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw {

/// The two commands that open the options dialog.
enum class OptionsMode { Project, Environment };

/// The component names of the pages the dialog shows in a mode, in tab order.
const std::vector<std::string>& optionsPageNames(OptionsMode mode);

/// The help page of one dialog page: "prj_" (project) or "env_" (environment) + the
/// page's component name without its "tab" prefix, in lower case, + "_tab.htm";
/// "tabSeparatorPaths" gives "env_separatorpaths_tab.htm".
std::string optionsHelpPage(OptionsMode mode, std::string_view pageName);

/// The page of the browser help's contents tree that goes with the dialog.
std::string optionsTreePage(OptionsMode mode);

} // namespace qw
