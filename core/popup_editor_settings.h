#pragma once

namespace qw {

class IniFile;

/// The Popup Text Editor's window and column sizes (section "PopupTextEd").
struct PopupEditorSettings {
    int top = 0;
    int left = 0;
    int width = 640;
    int height = 480;
    int referenceColumnWidth = 120;
    int textColumnWidth = 479;

    bool operator==(const PopupEditorSettings&) const = default;
};

PopupEditorSettings readPopupEditorSettings(const IniFile& config);
/// Writes all six keys in one write of the file.
void writePopupEditorSettings(IniFile& config, const PopupEditorSettings& settings);

} // namespace qw
