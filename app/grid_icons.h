#pragma once

#include <QPixmap>
#include <QString>

class QPainter;

namespace qw {

/// The two image strips of the topic grid, cut into 16-pixel cells: the icon strip
/// (the project's own bitmap, else "deficons.bmp" of the data directory, else a strip
/// of 42 icons drawn here) and the marker strip (tree glyphs, chapter marker and the
/// role-letter markers, always drawn here).
class GridIcons {
public:
    static constexpr int kCell = 16;
    static constexpr int kBuiltInIconCount = 42;
    static constexpr int kMarkerCount = 15;

    GridIcons();

    /// Loads the first existing bitmap of the paths given; falls back to the drawn strip.
    void loadIconStrip(const QStringList& candidates);
    int iconCount() const { return m_icons.width() / kCell; }
    const QPixmap& iconStrip() const { return m_icons; }
    const QPixmap& markerStrip() const { return m_markers; }

    /// Draws icon index at (x, y); nothing for an index outside the strip.
    void drawIcon(QPainter& painter, int x, int y, int index) const;
    void drawMarker(QPainter& painter, int x, int y, int index) const;
    QPixmap icon(int index) const;

    /// The marker image for a whole marker text; -1 for an empty marker.
    static int markerIndex(const QString& marker);

    /// The strip of 42 icons of our own.
    static QPixmap drawnIconStrip();
    static QPixmap drawnMarkerStrip();

private:
    QPixmap m_icons;
    QPixmap m_markers;
};

} // namespace qw
