#include "app/grid_delegate.h"

#include "app/grid_icons.h"
#include "app/topic_table_model.h"
#include "core/colour_text.h"
#include "core/project_session.h"
#include "core/text_util.h"

#include <QLineEdit>
#include <QPainter>

namespace qw {

namespace {

constexpr int kCell = GridIcons::kCell;

QColor toQColor(const std::string& text) {
    const auto rgb = parseColourText(text.empty() ? "$FFFFFF" : text);
    if (!rgb)
        return Qt::white;
    return QColor(rgb->red, rgb->green, rgb->blue);
}

bool isSelected(const QStyleOptionViewItem& o) {
    return o.state & QStyle::State_Selected;
}

} // namespace

GridDelegate::GridDelegate(ProjectSession& session, const GridIcons& icons, QObject* keyFilter,
                           QObject* parent)
    : QStyledItemDelegate(parent), m_session(session), m_icons(icons), m_keyFilter(keyFilter) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setObjectName("gridCellEditor");
        line->setFrame(false);
        line->installEventFilter(m_keyFilter);
    }
    return editor;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const auto& env = m_session.environment();
    if (!env.showGraphics) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const TopicTable& table = m_session.table();
    const size_t row = TopicTableModel::tableRow(index.row());
    if (row >= table.rowCount())
        return;
    const int column = index.column();
    const QRect r = option.rect;
    QPainter& p = *painter;
    p.save();
    p.setClipRect(r);
    QColor background =
        isSelected(option) ? option.palette.highlight().color() : option.palette.base().color();
    if (column != ColMarker && table.isChapterRow(row) && !isSelected(option))
        background = chapterColour();
    p.fillRect(r, background);
    const bool topic = table.isTopicRow(row);
    switch (column) {
    case ColMarker:
        paintMarker(p, r, TopicTableModel::decodeCell(table.cell(row, ColMarker)));
        break;
    case ColIcon:
        if (topic)
            paintIcon(p, r, row);
        break;
    case ColBgColour:
        if (topic)
            paintColour(p, r, row);
        break;
    case ColTitle:
        paintTitle(p, r, row, option);
        break;
    default:
        paintText(p, r, index.data().toString(), option, true);
        break;
    }
    // Graphics mode keeps the vertical lines between columns but no horizontal ones.
    p.setPen(QColor(208, 208, 208));
    p.drawLine(r.topRight(), r.bottomRight());
    p.restore();
}

void GridDelegate::paintMarker(QPainter& p, const QRect& r, const QString& marker) const {
    m_icons.drawMarker(p, r.left(), r.top() + 1, GridIcons::markerIndex(marker));
}

void GridDelegate::paintIcon(QPainter& p, const QRect& r, size_t row) const {
    const int icon = toIntDef(m_session.table().cell(row, ColIcon), -1);
    m_icons.drawIcon(p, r.left() + (r.width() - kCell) / 2, r.top(), icon);
}

void GridDelegate::paintColour(QPainter& p, const QRect& r, size_t row) const {
    // An empty cell shows white without being changed: drawing never edits the project.
    p.fillRect(r.adjusted(3, 2, -3, -2), toQColor(m_session.table().cell(row, ColBgColour)));
}

void GridDelegate::paintTitle(QPainter& p, const QRect& r, size_t row,
                              const QStyleOptionViewItem& o) const {
    const TopicTable& table = m_session.table();
    const int x = r.left() + 2;
    const int y = r.top() + (r.height() - kCell) / 2;
    const QString title = TopicTableModel::decodeCell(table.cell(row, ColTitle));
    QStyleOptionViewItem textOption = o;
    if (table.isChapterRow(row)) {
        m_icons.drawIcon(p, x, y, m_session.settings().userFolders ? 5 : 1);
        textOption.font.setBold(true);
        if (!isSelected(o))
            textOption.palette.setColor(QPalette::Text, QColor(0, 0, 255));
        paintText(p, r.adjusted(20, 0, 0, 0), title, textOption, false);
        return;
    }
    const bool last = row + 1 < table.rowCount() && table.isChapterRow(row + 1);
    m_icons.drawMarker(p, x + 3, y, last ? 1 : 0);
    m_icons.drawIcon(p, x + 18, y + 1, toIntDef(table.cell(row, ColIcon), -1));
    paintText(p, r.adjusted(39, 0, 0, 0), title, textOption, false);
}

void GridDelegate::paintText(QPainter& p, const QRect& r, const QString& text,
                             const QStyleOptionViewItem& o, bool mayCentre) const {
    p.setFont(o.font);
    p.setPen(isSelected(o) ? o.palette.highlightedText().color() : o.palette.text().color());
    const bool centred = mayCentre && m_session.environment().centerTextInList;
    const QString shown = centred || !mayCentre ? text : QStringLiteral(" ") + text;
    const QString elided = QFontMetrics(o.font).elidedText(shown, Qt::ElideRight, r.width());
    p.drawText(r,
               Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::TextSingleLine,
               elided);
}

} // namespace qw
