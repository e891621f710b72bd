#include "app/icon_chooser.h"

#include "app/grid_icons.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace qw {

namespace {

/// Draws an entry as its icon centred in the entry's width.
class IconEntryDelegate : public QStyledItemDelegate {
public:
    IconEntryDelegate(const GridIcons& icons, QObject* parent)
        : QStyledItemDelegate(parent), m_icons(icons) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (option.state & QStyle::State_Selected)
            p->fillRect(option.rect, option.palette.highlight());
        const QRect r = option.rect;
        m_icons.drawIcon(*p, r.left() + (r.width() - GridIcons::kCell) / 2,
                         r.top() + (r.height() - GridIcons::kCell) / 2, index.row());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {GridIcons::kCell + 4, GridIcons::kCell + 2};
    }

private:
    const GridIcons& m_icons;
};

} // namespace

IconChooser::IconChooser(const GridIcons& icons, QWidget* parent)
    : QComboBox(parent), m_icons(icons) {
    setObjectName("CmbIcons");
    setMaxVisibleItems(10);
    setItemDelegate(new IconEntryDelegate(icons, this));
    setFocusPolicy(Qt::NoFocus);
    reload();
    hide();
}

void IconChooser::reload() {
    const QSignalBlocker blocker(this);
    clear();
    for (int i = 0; i < m_icons.iconCount(); ++i)
        addItem(QString::number(i));
}

void IconChooser::selectCellText(const QString& text) {
    const QSignalBlocker blocker(this);
    bool ok = false;
    const int index = text.trimmed().toInt(&ok);
    setCurrentIndex(ok && index >= 0 && index < count() ? index : -1);
}

void IconChooser::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = {};
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0)
        m_icons.drawIcon(painter, field.left() + (field.width() - GridIcons::kCell) / 2,
                         field.top() + (field.height() - GridIcons::kCell) / 2, currentIndex());
}

} // namespace qw
