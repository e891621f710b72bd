#pragma once

#include <QTableView>

#include <array>

namespace qw {

class GridHost;
class ProjectSession;
class TopicTableModel;

/// The topic grid `sgrdMain`: one row per chapter, topic and the end-of-list row of the
/// session's topic table, drawn from the table itself (no copy, no item per cell).
/// Editing goes through the key filter; every accepted change marks the project edited.
class TopicGrid : public QTableView {
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

private:
    ProjectSession& m_session;
    GridHost& m_host;
    TopicTableModel* m_model = nullptr;
    bool m_insertFlag = false;
    bool m_rowOperation = false;
};

} // namespace qw
