#pragma once

#include <QMenu>

#include <array>

namespace qw {

struct GridMenuState;

/// The grid's pop-up menu `pumRightClickOptions` with its items in their order. The
/// grid fits it to the current cell before it opens and connects the items.
class GridContextMenu : public QMenu {
    Q_OBJECT
public:
    explicit GridContextMenu(QWidget* parent);

    void fit(const GridMenuState& state);

    QAction* setToChapterEnd;
    QAction* setAll;
    QAction* deleteChapter;
    QAction* insertChapter;
    QAction* deleteTopic;
    QAction* insertTopic;
    /// The six special topics by tag - 1 (Default, Welcome, Home, Custom, What's New,
    /// Copyright); each carries its tag as data.
    std::array<QAction*, 6> special{};
    QAction* viewInWysiwyg;
    QAction* copy;
    QAction* paste;

private:
    QAction* item(const char* name, const QString& caption);

    QAction* m_setAllSeparator;
    QAction* m_topicSeparator;
    QAction* m_specialSeparator;
};

} // namespace qw
