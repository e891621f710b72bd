#pragma once

#include "core/chapter_order.h"

#include <QDialog>
#include <QIcon>

#include <vector>

class QListWidget;

namespace qw {

/// "Move/Delete Chapters": the project's chapters as a list, each drawn as the chapter
/// icon and its title, with Up, Down and Delete. The table is changed only by the
/// command that showed it, after OK.
class TfrmMoveChapters : public QDialog {
    Q_OBJECT
public:
    TfrmMoveChapters(std::vector<ChapterEntry> entries, const QIcon& chapterIcon,
                     QWidget* parent = nullptr);

    const std::vector<ChapterEntry>& entries() const { return m_entries; }
    /// Whether Up, Down or Delete changed the list.
    bool changed() const { return m_changed; }
    QListWidget* list() const { return m_list; }

    void upClick();
    void downClick();
    void deleteClick();

private:
    /// Applies a list operation to the selected entry and shows the result.
    void apply(int (*operation)(std::vector<ChapterEntry>&, int));
    void fill(int selected);

    std::vector<ChapterEntry> m_entries;
    QIcon m_icon;
    QListWidget* m_list;
    bool m_changed = false;
};

} // namespace qw
