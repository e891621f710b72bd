#pragma once

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QTableWidget;

namespace qw {

class MessageRoutine;

/// Edits a topic's KeyWords cell or its Related Topics cell as a small table of 25 rows
/// and two columns. In related-topics mode column 1 holds the description and column 2
/// the file name, chosen from a list of the project's topic pages. Entries of a cell
/// longer than the table are kept unchanged and added after the table's on OK.
class TfrmRelatedTopics : public QDialog {
    Q_OBJECT
public:
    enum class Mode { KeyWords, RelatedTopics };

    /// separator is the topic separator: a result the chapter file cannot hold is
    /// refused on OK with the reason.
    TfrmRelatedTopics(Mode mode, std::string separator, MessageRoutine& messages,
                      QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    /// The file names offered for column 2 in related-topics mode.
    void setChoices(const std::vector<std::string>& choices);
    /// Fills the table from a cell.
    void load(const std::string& cell);
    /// The cell built from the table, rows in their shown order.
    std::string result() const;

    QTableWidget* table() const { return m_table; }
    QComboBox* choices() const { return m_choices; }

    void done(int result) override;

signals:
    void helpRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitColumns();
    /// The table's rows in their shown order (rows can be dragged).
    std::vector<int> rowsInOrder() const;
    QString text(int row, int column) const;
    void setText(int row, int column, const std::string& text);
    void cellEntered(int row, int column, int previousRow, int previousColumn);
    void showChoices(int row);
    void hideChoices();

    Mode m_mode;
    std::string m_separator;
    MessageRoutine& m_messages;
    QTableWidget* m_table;
    QComboBox* m_choices;
    QLabel* m_overflowNote;
    int m_choicesRow = -1;
    int m_choicesWidth = 0;
    /// Entries of the cell beyond the table, as the cell held them.
    std::vector<std::string> m_overflow;
};

} // namespace qw
