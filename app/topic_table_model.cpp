#include "app/topic_table_model.h"

#include "core/cell_text.h"

namespace qw {

TopicTableModel::TopicTableModel(TopicTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {
    m_table.setObserver(this);
}

TopicTableModel::~TopicTableModel() {
    m_table.setObserver(nullptr);
}

int TopicTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_table.rowCount()) - 1;
}

int TopicTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TopicTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return decodeCell(m_table.cell(tableRow(index.row()), index.column()));
}

QVariant TopicTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= ColumnCount)
        return {};
    return decodeCell(m_table.cell(0, section));
}

Qt::ItemFlags TopicTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const size_t row = tableRow(index.row());
    const int column = index.column();
    const bool topic = m_table.isTopicRow(row);
    const bool chapter = m_table.isDataRow(row) && m_table.isChapterRow(row);
    if ((column == ColTitle && (topic || chapter)) ||
        (topic && (column == ColFileName || column == ColBgImage)))
        result |= Qt::ItemIsEditable;
    return result;
}

bool TopicTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rowCount())
        return false;
    const size_t row = tableRow(index.row());
    const std::string& previous = m_table.cell(row, index.column());
    m_table.setCell(row, index.column(), encodeCell(value.toString(), previous));
    return true;
}

void TopicTableModel::rolesChanged() {
    if (rowCount() > 0)
        emit dataChanged(index(0, ColMarker), index(rowCount() - 1, ColMarker));
}

void TopicTableModel::refreshAll() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

QString TopicTableModel::decodeCell(const std::string& bytes) {
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    return QString::fromStdString(windows1252ToUtf8(bytes));
}

std::string TopicTableModel::encodeCell(const QString& text, const std::string& previous) {
    const std::string utf8 = text.toStdString();
    if (isValidUtf8(previous))
        return utf8;
    std::string encoded;
    if (utf8ToWindows1252(utf8, encoded))
        return encoded;
    return utf8;
}

void TopicTableModel::beginReset() {
    beginResetModel();
}
void TopicTableModel::endReset() {
    endResetModel();
}

void TopicTableModel::beginInsertRows(size_t at, size_t count) {
    QAbstractTableModel::beginInsertRows({}, modelRow(at), modelRow(at + count - 1));
}

void TopicTableModel::endInsertRows() {
    QAbstractTableModel::endInsertRows();
    // Appending chapters may title the end-of-list row.
    const int last = rowCount() - 1;
    emit dataChanged(index(last, 0), index(last, ColumnCount - 1));
}

void TopicTableModel::beginRemoveRows(size_t at, size_t count) {
    QAbstractTableModel::beginRemoveRows({}, modelRow(at), modelRow(at + count - 1));
}

void TopicTableModel::endRemoveRows() {
    QAbstractTableModel::endRemoveRows();
}

void TopicTableModel::beginMoveRow(size_t from, size_t to) {
    beginMoveRows({}, modelRow(from), modelRow(from), {}, modelRow(to));
}

void TopicTableModel::endMoveRow() {
    endMoveRows();
}

void TopicTableModel::writeWhileEditing(const QModelIndex& index, const QString& text) {
    if (!index.isValid())
        return;
    const size_t row = tableRow(index.row());
    const std::string encoded = encodeCell(text, m_table.cell(row, index.column()));
    m_muted = true;
    m_table.setCell(row, index.column(), encoded);
    m_muted = false;
}

void TopicTableModel::cellChanged(size_t row, int column) {
    if (m_muted)
        return;
    if (column == ColIcon && row > 0) {
        // The title cell shows the icon too.
        emit dataChanged(index(modelRow(row), 0), index(modelRow(row), ColumnCount - 1));
        return;
    }
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const QModelIndex changed = index(modelRow(row), column);
    emit dataChanged(changed, changed);
}

} // namespace qw
