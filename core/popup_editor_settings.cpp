#include "core/popup_editor_settings.h"

#include "core/ini_file.h"

namespace qw {

namespace {

constexpr std::string_view kSection = "PopupTextEd";

} // namespace

PopupEditorSettings readPopupEditorSettings(const IniFile& config) {
    PopupEditorSettings s;
    s.top = config.readInteger(kSection, "PuEdTop", s.top);
    s.left = config.readInteger(kSection, "PuEdLeft", s.left);
    s.width = config.readInteger(kSection, "PuEdWidth", s.width);
    s.height = config.readInteger(kSection, "PuEdHeight", s.height);
    s.referenceColumnWidth = config.readInteger(kSection, "PuRefColWidth", s.referenceColumnWidth);
    s.textColumnWidth = config.readInteger(kSection, "PuTxtColWidth", s.textColumnWidth);
    return s;
}

void writePopupEditorSettings(IniFile& config, const PopupEditorSettings& settings) {
    config.beginBatch();
    config.writeInteger(kSection, "PuEdTop", settings.top);
    config.writeInteger(kSection, "PuEdLeft", settings.left);
    config.writeInteger(kSection, "PuEdWidth", settings.width);
    config.writeInteger(kSection, "PuEdHeight", settings.height);
    config.writeInteger(kSection, "PuRefColWidth", settings.referenceColumnWidth);
    config.writeInteger(kSection, "PuTxtColWidth", settings.textColumnWidth);
    config.endBatch();
}

} // namespace qw
