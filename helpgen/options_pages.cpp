#include "helpgen/options_pages.h"

#include <cctype>

namespace qw {

const std::vector<std::string>& optionsPageNames(OptionsMode mode) {
    static const std::vector<std::string> project = {"tabGeneral", "tabLayout", "tabMiscell",
                                                     "tabToolbar", "tabAdditional"};
    static const std::vector<std::string> environment = {"tabPreferences", "tabEditor",
                                                         "tabSeparatorPaths"};
    return mode == OptionsMode::Project ? project : environment;
}

std::string optionsHelpPage(OptionsMode mode, std::string_view pageName) {
    std::string page = mode == OptionsMode::Project ? "prj_" : "env_";
    for (const char c : pageName.substr(std::min<size_t>(3, pageName.size())))
        page += char(std::tolower(static_cast<unsigned char>(c)));
    return page + "_tab.htm";
}

std::string optionsTreePage(OptionsMode mode) {
    return mode == OptionsMode::Project ? "fol_prjproject_options.htm"
                                        : "fol_envenvironment_options.htm";
}

} // namespace qw
