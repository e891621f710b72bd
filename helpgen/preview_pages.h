#pragma once

#include <filesystem>
#include <string>

namespace qw {

class IniFile;
class OutputGuard;

/// The help window a preview stands in for, as the project's properties give it.
struct PreviewSettings {
    int navPaneWidth = 220;
    int windowLeft = 0;
    int windowTop = 0;
    int windowWidth = 640;
    int windowHeight = 480;

    /// Reads the project's properties; missing keys give the defaults.
    static PreviewSettings read(const IniFile& project);
    /// The left frame that stands in for the navigator pane: NavPaneWidth - 4 pixels.
    int frameWidth() const { return navPaneWidth - 4; }
};

/// The mark by which the frame page is known as the program's own.
inline constexpr const char* kPreviewFrameStart =
    "<HTML><HEAD><TITLE>Help</TITLE></HEAD><FRAMESET COLS=\"";

/// Writes the preview's frame page "TempFram.htm" into the guard's project folder, the
/// left frame frameWidth pixels wide and the right one showing topicPage (a full path);
/// writes the contents stand-in "TempCont.htm" only when it does not exist, so that an
/// author's own version stays. Returns the frame page's path. Throws FileError.
std::filesystem::path writePreviewPages(OutputGuard& guard, const std::string& topicPage,
                                        int frameWidth);

} // namespace qw
