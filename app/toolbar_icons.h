#pragma once

#include <QIcon>
#include <QString>

namespace qw {

/// The toolbar's pictures, drawn at run time: one per toolbar button, by the button's
/// object name ("iebtnNew", ...). An unknown name gives a plain framed square.
QIcon toolbarIcon(const QString& buttonName);

/// The program's own icon, a "Q" on a navy disc; also the tray icon.
QIcon applicationIcon();

} // namespace qw
