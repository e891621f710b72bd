#include "helpgen/preview_pages.h"

#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/safe_output.h"

namespace qw {

namespace fs = std::filesystem;

PreviewSettings PreviewSettings::read(const IniFile& project) {
    constexpr const char* section = "PROJECT_PROPERTIES";
    PreviewSettings s;
    s.navPaneWidth = project.readInteger(section, "NavPaneWidth", s.navPaneWidth);
    s.windowLeft = project.readInteger(section, "WindowLeft", s.windowLeft);
    s.windowTop = project.readInteger(section, "WindowTop", s.windowTop);
    s.windowWidth = project.readInteger(section, "WindowWidth", s.windowWidth);
    s.windowHeight = project.readInteger(section, "WindowHeight", s.windowHeight);
    return s;
}

fs::path writePreviewPages(OutputGuard& guard, const std::string& topicPage, int frameWidth) {
    guard.addMark(kPreviewFrameStart);
    const fs::path frames = guard.projectDir() / "TempFram.htm";
    guard.writeLines(
        frames,
        {kPreviewFrameStart + std::to_string(frameWidth) + ",*\">",
         "<FRAME src=\"TempCont.htm\"><FRAME src=\"" + topicPage + "\"></FRAMESET></HTML>"},
        Replace::Own);
    const fs::path contents = guard.projectDir() / "TempCont.htm";
    std::error_code ec;
    if (fs::exists(fs::symlink_status(contents, ec)))
        return frames;
    guard.writeLines(
        contents,
        {"<HTML><HEAD></HEAD><BODY rightmargin=\"0\"><b>Contents & Index will appear here in "
         "the compiled version.</b><p><small>",
         "This window and the 'Navigator Pane' are both set to the size & position specified in "
         "the 'Project Options'.",
         "This will give you the best representation of how your page will look in the final "
         "'HTML Help' File.</small>",
         "<P><Small><B>NOTE: Links to other Topics, and Related Topics will be invalid, since "
         "these are not extracted until the eDocument is created.</B></Small></BODY></HTML>"},
        Replace::Own);
    return frames;
}

} // namespace qw
