#pragma once

#include "core/special_topics.h"

#include <QTableView>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace qw {

class GridContextMenu;
class GridHost;
class GridIcons;
class IconChooser;
class ProjectSession;
class TopicTableModel;

/// The topic grid `sgrdMain`: one row per chapter, topic and the end-of-list row of the
/// session's topic table, drawn from the table itself (no copy, no item per cell).
/// Editing goes through the key filter; every accepted change marks the project edited.
class TopicGrid : public QTableView, private SpecialTopicPrompts {
    Q_OBJECT
public:
    TopicGrid(ProjectSession& session, GridHost& host, QWidget* parent = nullptr);
    ~TopicGrid() override;

    TopicTableModel& tableModel() { return *m_model; }

    /// Re-reads ShowGraphics and CenterTextInList (after the options dialog or a load):
    /// graphics on means no horizontal lines.
    void applyEnvironment();
    /// Column widths of columns 1 to 10 as stored in the configuration; -1 hides.
    void setColumnWidths(const std::array<int, 10>& widths);
    std::array<int, 10> columnWidths() const;

    /// The current table row (0 when none).
    int currentRow() const;
    int currentColumn() const;
    void selectCell(int row, int column);

    /// Set while the program inserts rows itself: row moves are not checked.
    void setInsertFlag(bool on) { m_insertFlag = on; }
    /// Set while the program deletes rows: row moves are never refused.
    void setRowOperation(bool on) { m_rowOperation = on; }

    /// The program got the focus back from another application: only a copied Title
    /// survives, since the clipboard may now hold foreign text.
    void applicationActivated();

    /// Loads the icon strip of the open project (its own bitmap, "deficons.bmp" of the
    /// data directory, or the strip drawn by the program). Done after every load.
    void reloadIcons();
    const GridIcons& icons() const { return *m_icons; }
    IconChooser& iconChooser() { return *m_chooser; }
    GridContextMenu& contextMenu() { return *m_menu; }
    /// The column last copied, -1 when none.
    int copiedColumn() const { return m_copiedColumn; }

    /// Moves a row as a drag with the mouse does, with the move check: a refused move
    /// is undone with a beep. Rows are table rows; to is the row's index after the move.
    void dragRowTo(int from, int to);
    /// Makes the current topic row the special page of tag (1 to 6) or clears it.
    void setSpecialTopicClick(int tag);
    void copyClick();
    void pasteClick();
    void setAllClick();
    void setToChapterEndClick();
    /// Fits the pop-up menu to the current cell (done before it opens).
    void fitContextMenu();

signals:
    /// Text for the first status panel, after every cell selection.
    void statusTextChanged(const QString& text);
    void insertTopicRequested();
    void deleteTopicRequested();
    void insertChapterRequested();
    void deleteChapterRequested();
    void viewInWysiwygRequested();
    void keywordsEditorRequested(int row);
    void relatedTopicsEditorRequested(int row);
    /// A chapter row was dragged into the middle of the grid: the move was undone and the
    /// Move / Delete Chapters command should run.
    void moveChaptersRequested();

protected:
    /// The colour dialog; nothing on Cancel. Tests replace the dialogs.
    virtual std::optional<QColor> chooseColour(const QColor& initial);
    /// The open-file dialog for a background image; empty on Cancel.
    virtual QString chooseImage(const QString& folder);

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool askCustomButtonCaption(std::string& caption) override;
    void applyProjectOptionsSilently() override;

    /// The key filter; true when the key was refused (discarded with a beep).
    bool filterKey(QKeyEvent* event, const QString& cellText);
    void afterKeyRelease(QKeyEvent* event, QWidget* editor);
    /// Escape in the editor: the cell and its file name go back to their text before.
    void revertEditedCell();
    void edited();
    void placeIconChooser();
    void iconChosen(int index);
    void doubleClickTopic(size_t row, int column);
    void pickColour(size_t row);
    void pickImage(size_t row);
    int tableRowAt(const QPoint& pos) const;
    /// The row a dragged row would land on when released at pos.
    int dropRowAt(const QPoint& pos) const;

    ProjectSession& m_session;
    GridHost& m_host;
    TopicTableModel* m_model = nullptr;
    bool m_insertFlag = false;
    bool m_rowOperation = false;
    std::unique_ptr<GridIcons> m_icons;
    IconChooser* m_chooser = nullptr;
    GridContextMenu* m_menu = nullptr;
    int m_copiedColumn = -1;
    int m_chooserWidth = 0;
    int m_dragFrom = 0;
    int m_dropRow = 0;
    QPoint m_dragStart;
    /// The cell under the editor and its title and file name when the editor opened, so
    /// Escape can put both back (the editor writes into the table as the author types).
    size_t m_editRow = 0;
    int m_editColumn = 0;
    std::string m_editText;
    std::string m_editFileName;
    bool m_dragging = false;
};

} // namespace qw
