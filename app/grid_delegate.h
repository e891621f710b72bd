#pragma once

#include <QStyledItemDelegate>

namespace qw {

class GridIcons;
class ProjectSession;

/// Draws the cells of the topic grid: marker strip images in the marker column, icons
/// and colour swatches, the tree glyphs and icons before titles, aqua chapter rows.
/// With ShowGraphics off every cell shows its plain text. Creates the in-place editor
/// and hands it to keyFilter so the grid sees every key typed into it.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    GridDelegate(ProjectSession& session, const GridIcons& icons, QObject* keyFilter,
                 QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

    /// The background of chapter and end-of-list rows.
    static QColor chapterColour() { return QColor(0, 255, 255); }

private:
    void paintMarker(QPainter& p, const QRect& r, const QString& marker) const;
    void paintIcon(QPainter& p, const QRect& r, size_t row) const;
    void paintColour(QPainter& p, const QRect& r, size_t row) const;
    void paintTitle(QPainter& p, const QRect& r, size_t row, const QStyleOptionViewItem& o) const;
    /// One line, vertically centred, cut with an ellipsis; centred across when mayCentre
    /// and CenterTextInList is on, else after one leading blank.
    void paintText(QPainter& p, const QRect& r, const QString& text, const QStyleOptionViewItem& o,
                   bool mayCentre) const;

    ProjectSession& m_session;
    const GridIcons& m_icons;
    QObject* m_keyFilter;
};

} // namespace qw
