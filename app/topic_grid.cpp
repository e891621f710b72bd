#include "app/topic_grid.h"

#include "app/grid_host.h"
#include "app/topic_table_model.h"
#include "core/project_session.h"

#include <QHeaderView>

namespace qw {

TopicGrid::TopicGrid(ProjectSession& session, GridHost& host, QWidget* parent)
    : QTableView(parent), m_session(session), m_host(host),
      m_model(new TopicTableModel(session.table(), this)) {
    setObjectName("sgrdMain");
    setModel(m_model);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnWidth(0, 16);
    setColumnWidths(m_session.configuration().readColumnWidths().widths);
    applyEnvironment();
}

TopicGrid::~TopicGrid() = default;

void TopicGrid::applyEnvironment() {
    setShowGrid(!m_session.environment().showGraphics);
    m_model->refreshAll();
}

void TopicGrid::setColumnWidths(const std::array<int, 10>& widths) {
    for (int c = 1; c < 11; ++c) {
        const int width = widths[size_t(c - 1)];
        setColumnHidden(c, width < 0);
        if (width >= 0)
            setColumnWidth(c, width);
    }
}

std::array<int, 10> TopicGrid::columnWidths() const {
    std::array<int, 10> widths{};
    for (int c = 1; c < 11; ++c)
        widths[size_t(c - 1)] = isColumnHidden(c) ? -1 : columnWidth(c);
    return widths;
}

int TopicGrid::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? int(TopicTableModel::tableRow(index.row())) : 0;
}

int TopicGrid::currentColumn() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() : 0;
}

void TopicGrid::selectCell(int row, int column) {
    setCurrentIndex(m_model->index(TopicTableModel::modelRow(size_t(row)), column));
}

void TopicGrid::applicationActivated() {}

} // namespace qw
