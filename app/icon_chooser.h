#pragma once

#include <QComboBox>

namespace qw {

class GridIcons;

/// The icon chooser `CmbIcons`: a drop-down list of the icon strip's icons (ten entries
/// visible), each drawn centred in the Icon column's width. The grid moves it over the
/// Icon cell of the current topic row.
class IconChooser : public QComboBox {
    Q_OBJECT
public:
    IconChooser(const GridIcons& icons, QWidget* parent);

    /// Fills the list anew from the icon strip (after a project's strip was loaded).
    void reload();
    /// Selects the entry of a cell text; an invalid index selects no entry.
    void selectCellText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const GridIcons& m_icons;
};

} // namespace qw
