#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

namespace qw {

/// Where the preview's window is to stand: the project's help window.
struct PreviewPlace {
    int left = 0;
    int top = 0;
    int width = 640;
    int height = 480;
};

/// Shows the preview's frame page in the author's browser (HTMLBrowserPath, else the
/// desktop's) at the project's window place. A browser that takes its window's place on
/// its command line gets it there; on an X11 desktop the browser's new top-level window
/// is looked for until timeoutMs have passed (once when 0) and moved and sized. Where
/// neither is possible the page is shown where the browser puts it, without a word.
class PreviewWindow {
public:
    /// Returns whether the browser started; window events are handled while waiting.
    static bool show(const std::string& browserPath, const QString& framePage,
                     const PreviewPlace& place, int timeoutMs);
    /// The arguments that set the window's place for a browser known to take them
    /// (the Chromium family), put before the page; empty for any other.
    static QStringList placeArguments(const QString& browser, const PreviewPlace& place);
    /// True when the window was found and placed by the last show(); for tests.
    static bool lastPlaced();
};

} // namespace qw
