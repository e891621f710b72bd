#pragma once

#include "core/topic_table.h"

#include <QAbstractTableModel>

namespace qw {

/// The topic table as a Qt model. Model row r is table row r + 1 (the table's row 0 is
/// the header, shown by the view's header). The model keeps no copy of the table: it
/// reads cells on demand and follows the table's changes as its observer.
class TopicTableModel : public QAbstractTableModel, private TableObserver {
    Q_OBJECT
public:
    explicit TopicTableModel(TopicTable& table, QObject* parent = nullptr);
    ~TopicTableModel() override;

    TopicTable& table() { return m_table; }
    static size_t tableRow(int modelRow) { return size_t(modelRow) + 1; }
    static int modelRow(size_t tableRow) { return int(tableRow) - 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// Writes the text into the table (encoded as the cell was); does not mark anything.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    /// Writes the text of an open cell editor into the table without telling the view, so
    /// the editor keeps its cursor.
    void writeWhileEditing(const QModelIndex& index, const QString& text);

    /// The role letters of every row may have changed.
    void rolesChanged();
    /// Every visible cell may have to be drawn anew (options changed).
    void refreshAll();

    /// Shows a table cell's bytes: UTF-8 where valid, else Windows-1252.
    static QString decodeCell(const std::string& bytes);
    /// Encodes text for a cell that held previous: Windows-1252 when previous was not
    /// UTF-8 and every character fits, else UTF-8.
    static std::string encodeCell(const QString& text, const std::string& previous);

private:
    void beginReset() override;
    void endReset() override;
    void beginInsertRows(size_t at, size_t count) override;
    void endInsertRows() override;
    void beginRemoveRows(size_t at, size_t count) override;
    void endRemoveRows() override;
    void beginMoveRow(size_t from, size_t to) override;
    void endMoveRow() override;
    void cellChanged(size_t row, int column) override;

    TopicTable& m_table;
    bool m_muted = false;
};

} // namespace qw
