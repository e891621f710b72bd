#include "treegen/tree_dialog_rules.h"

#include "core/text_util.h"

namespace qw {

bool acceptsNumberKey(char key, size_t textLength, size_t selectedLength) {
    if (key == '\b')
        return true;
    if (key < '0' || key > '9')
        return false;
    return textLength - selectedLength < 3;
}

bool backgroundImageField(std::string_view projectDir, std::string_view chosenPath,
                          std::string& field, std::string& message) {
    // The path must begin with the project directory: a path that merely contains it
    // further on (a folder of the same name elsewhere) lies outside the project.
    if (projectDir.empty() || !startsWith(chosenPath, projectDir)) {
        message = "Error: Files must be in the same directory\r\nor a sub-directory as the "
                  "Project file.";
        return false;
    }
    field = std::string(chosenPath.substr(projectDir.size()));
    return true;
}

} // namespace qw
