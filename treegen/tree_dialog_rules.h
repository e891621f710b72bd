#pragma once

#include "treegen/tree_options.h"

#include <string>
#include <string_view>

namespace qw {

/// The rules of the tree options dialog, so that a window only shows them.

/// The applet group (height, width) replaces the tree style group exactly for the applet
/// format.
inline bool showsAppletGroup(TreeFormat format) {
    return format == TreeFormat::Applet;
}
/// The two link-style choices are enabled for every format but the applet.
inline bool enablesLinkStyles(TreeFormat format) {
    return format != TreeFormat::Applet;
}

/// The frame width, applet height and applet width boxes take at most three characters:
/// digits, and backspace to delete. True when the key may change text (of the given
/// length, with the given number of characters selected).
bool acceptsNumberKey(char key, size_t textLength, size_t selectedLength);

/// The background image chosen in the file dialog, as the image box stores it: the part
/// of the full path behind the project directory. A file outside the project directory
/// gives false and the message for the author in message.
bool backgroundImageField(std::string_view projectDir, std::string_view chosenPath,
                          std::string& field, std::string& message);

/// The options dialog's help pages.
inline constexpr const char* kTreeOptionsHelpPage = "tre_options.htm";
inline constexpr const char* kTreeOptionsHelpTreePage = "fol_trecreate_dovazaze.htm";

} // namespace qw
