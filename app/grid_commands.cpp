// The topic grid's mouse handling, double-click editors and pop-up menu commands.
#include "app/grid_context_menu.h"
#include "app/grid_host.h"
#include "app/icon_chooser.h"
#include "app/topic_grid.h"
#include "app/topic_table_model.h"
#include "core/cell_input.h"
#include "core/colour_text.h"
#include "core/file_io.h"
#include "core/grid_menu.h"
#include "core/messages.h"
#include "core/project_session.h"
#include "core/row_move.h"
#include "core/text_util.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>

namespace qw {

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

int TopicGrid::tableRowAt(const QPoint& pos) const {
    const int modelRow = rowAt(pos.y());
    return modelRow < 0 ? 0 : int(TopicTableModel::tableRow(modelRow));
}

int TopicGrid::dropRowAt(const QPoint& pos) const {
    // Below the last row counts as the end-of-list row, where a drop is refused.
    const int last = int(m_session.table().endRow());
    int row = tableRowAt(pos);
    if (row == 0)
        row = pos.y() < 0 ? 1 : last;
    return std::clamp(row, 1, last);
}

void TopicGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!m_dragging || m_dropRow == m_dragFrom)
        return;
    // A line where the dragged row will stand.
    const QRect target =
        visualRect(m_model->index(TopicTableModel::modelRow(size_t(m_dropRow)), 0));
    const int y = m_dropRow > m_dragFrom ? target.bottom() : target.top();
    QPainter painter(viewport());
    painter.setPen(QPen(palette().highlight().color(), 2));
    painter.drawLine(0, y, viewport()->width(), y);
}

void TopicGrid::mousePressEvent(QMouseEvent* event) {
    m_dragFrom = 0;
    m_dragging = false;
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && columnAt(pos.x()) == ColMarker) {
        const int row = tableRowAt(pos);
        if (m_session.table().isDataRow(size_t(row))) {
            m_dragFrom = row;
            m_dragStart = pos;
        }
    }
    QTableView::mousePressEvent(event);
}

void TopicGrid::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragFrom == 0) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && (pos - m_dragStart).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        viewport()->setCursor(Qt::SizeVerCursor);
    }
    if (m_dragging) {
        m_dropRow = dropRowAt(pos);
        viewport()->update();
    }
}

void TopicGrid::mouseReleaseEvent(QMouseEvent* event) {
    const int from = m_dragFrom;
    const bool dragging = m_dragging;
    m_dragFrom = 0;
    m_dragging = false;
    if (!dragging) {
        QTableView::mouseReleaseEvent(event);
        return;
    }
    viewport()->unsetCursor();
    viewport()->update();
    dragRowTo(from, dropRowAt(event->position().toPoint()));
}

void TopicGrid::dragRowTo(int from, int to) {
    if (from == to || from < 1 || to < 1)
        return;
    const RowMoveResult result =
        dragRow(m_session.table(), size_t(from), size_t(to), {m_insertFlag, m_rowOperation});
    if (result.refused) {
        m_host.beep();
        if (result.moveChapters)
            emit moveChaptersRequested();
        return;
    }
    if (!result.moved)
        return;
    edited();
    selectCell(to, std::max(currentColumn(), int(ColTitle)));
}

void TopicGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (!index.isValid())
        return;
    const size_t row = TopicTableModel::tableRow(index.row());
    if (m_session.table().isTopicRow(row))
        doubleClickTopic(row, index.column());
}

void TopicGrid::doubleClickTopic(size_t row, int column) {
    switch (column) {
    case ColBgColour:
        pickColour(row);
        break;
    case ColKeyWords:
        emit keywordsEditorRequested(int(row));
        break;
    case ColRelated:
        emit relatedTopicsEditorRequested(int(row));
        break;
    case ColBgImage:
        pickImage(row);
        break;
    default:
        break;
    }
}

std::optional<QColor> TopicGrid::chooseColour(const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, this);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

QString TopicGrid::chooseImage(const QString& folder) {
    return QFileDialog::getOpenFileName(this, "Select Background Image", folder,
                                        "Graphic Files (*.gif *.jpg *.bmp)");
}

void TopicGrid::pickColour(size_t row) {
    TopicTable& table = m_session.table();
    const std::string before = table.cell(row, ColBgColour);
    const Rgb current =
        parseColourText(before.empty() ? "$FFFFFF" : before).value_or(Rgb{255, 255, 255});
    const auto chosen = chooseColour(QColor(current.red, current.green, current.blue));
    if (!chosen)
        return;
    const std::string text =
        colourText({uint8_t(chosen->red()), uint8_t(chosen->green()), uint8_t(chosen->blue())});
    if (text == before)
        return;
    table.setCell(row, ColBgColour, text);
    edited();
}

void TopicGrid::pickImage(size_t row) {
    const QString file = chooseImage(QString::fromStdString(m_session.projectDir()));
    if (file.isEmpty())
        return;
    const ImagePick pick = pickBackgroundImage(m_session.table(), row, file.toStdString());
    if (!pick.accepted) {
        m_host.messenger().showMessage(pick.message, MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    m_session.table().setCell(row, ColBgImage, pick.cell);
    edited();
}

void TopicGrid::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (index.isValid())
        setCurrentIndex(index);
    fitContextMenu();
    m_menu->exec(event->globalPos());
}

void TopicGrid::fitContextMenu() {
    const bool open = !m_session.projectPath().empty();
    m_menu->fit(fitGridMenu(m_session.table(), size_t(currentRow()), currentColumn(),
                            m_copiedColumn, open));
}

void TopicGrid::setSpecialTopicClick(int tag) {
    const size_t row = size_t(currentRow());
    if (!m_session.table().isTopicRow(row))
        return;
    try {
        WaitCursor wait;
        setSpecialTopic(m_session, *this, tag, row, true);
    } catch (const FileError& error) {
        m_host.messenger().showMessage(error.what(), MessageKind::Error, MessageButtons::Ok);
    }
    fitContextMenu();
}

bool TopicGrid::askCustomButtonCaption(std::string& caption) {
    QApplication::restoreOverrideCursor();
    QString text = TopicTableModel::decodeCell(caption);
    const bool ok = m_host.askText("Custom Toolbar Button",
                                   "Please enter a Caption for the Custom Button:", text);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (ok)
        caption = text.toStdString();
    return ok;
}

void TopicGrid::applyProjectOptionsSilently() {
    m_host.applyProjectOptionsSilently();
}

void TopicGrid::copyClick() {
    fitContextMenu();
    if (!m_menu->copy->isEnabled())
        return;
    m_copiedColumn = currentColumn();
    QGuiApplication::clipboard()->setText(currentIndex().data().toString());
    fitContextMenu();
}

void TopicGrid::pasteClick() {
    fitContextMenu();
    if (!m_menu->paste->isEnabled() || !currentIndex().isValid())
        return;
    const QString text = QGuiApplication::clipboard()->text();
    m_model->setData(currentIndex(), text);
    edited();
    if (currentColumn() == ColIcon) {
        bool ok = false;
        const int icon = text.trimmed().toInt(&ok);
        m_chooser->selectCellText(QString::number(ok ? icon : 0));
    }
}

void TopicGrid::setAllClick() {
    const size_t row = size_t(currentRow());
    if (!m_session.table().isTopicRow(row))
        return;
    setAllTopics(m_session.table(), row, currentColumn());
    edited();
}

void TopicGrid::setToChapterEndClick() {
    const size_t row = size_t(currentRow());
    if (!m_session.table().isTopicRow(row))
        return;
    setToChapterEnd(m_session.table(), row, currentColumn());
    edited();
}

} // namespace qw
