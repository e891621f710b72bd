#pragma once

#include <filesystem>

class QWidget;

namespace qw {

/// The About box: the splash window made anew, centred over the main window and shown
/// modally with its close label, so a click closes it.
void showAboutBox(QWidget& mainWindow, const std::filesystem::path& dataDir);

} // namespace qw
