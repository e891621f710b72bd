#pragma once

#include <QIcon>

namespace qw {

/// The toolbars' button pictures, drawn here: "separator", "separatorKeywords", "effects",
/// "launcher", "font", "move", "menu".
QIcon toolbarGlyph(const QString& name, int size = 16);

} // namespace qw
