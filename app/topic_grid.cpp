#include "app/topic_grid.h"

#include "app/grid_context_menu.h"
#include "app/grid_delegate.h"
#include "app/grid_host.h"
#include "app/grid_icons.h"
#include "app/icon_chooser.h"
#include "app/topic_table_model.h"
#include "core/cell_input.h"
#include "core/file_io.h"
#include "core/grid_menu.h"
#include "core/project_session.h"
#include "core/row_move.h"
#include "core/text_util.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

namespace qw {

namespace {

constexpr int kRowHeight = 18;

/// A character typed into a cell (not a command key such as Tab, Enter or Ctrl+C).
bool isTypedKey(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Backspace)
        return true;
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString text = e->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool isArrowKey(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

TopicGrid::TopicGrid(ProjectSession& session, GridHost& host, QWidget* parent)
    : QTableView(parent), m_session(session), m_host(host),
      m_model(new TopicTableModel(session.table(), this)), m_icons(std::make_unique<GridIcons>()) {
    setObjectName("sgrdMain");
    setModel(m_model);
    setItemDelegate(new GridDelegate(session, *m_icons, this, this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(ColMarker, QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setColumnWidth(ColMarker, GridIcons::kCell);
    setColumnWidths(m_session.configuration().readColumnWidths().widths);

    m_chooser = new IconChooser(*m_icons, viewport());
    connect(m_chooser, qOverload<int>(&QComboBox::activated), this, &TopicGrid::iconChosen);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (column == ColIcon && columnWidth(ColIcon) != m_chooserWidth)
            m_chooser->hide();
    });
    m_menu = new GridContextMenu(this);
    m_chooser->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_chooser, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        fitContextMenu();
        m_menu->exec(m_chooser->mapToGlobal(pos));
    });
    connect(m_menu->setAll, &QAction::triggered, this, &TopicGrid::setAllClick);
    connect(m_menu->setToChapterEnd, &QAction::triggered, this, &TopicGrid::setToChapterEndClick);
    connect(m_menu->deleteChapter, &QAction::triggered, this, &TopicGrid::deleteChapterRequested);
    connect(m_menu->insertChapter, &QAction::triggered, this, &TopicGrid::insertChapterRequested);
    connect(m_menu->deleteTopic, &QAction::triggered, this, &TopicGrid::deleteTopicRequested);
    connect(m_menu->insertTopic, &QAction::triggered, this, &TopicGrid::insertTopicRequested);
    connect(m_menu->viewInWysiwyg, &QAction::triggered, this, &TopicGrid::viewInWysiwygRequested);
    connect(m_menu->copy, &QAction::triggered, this, &TopicGrid::copyClick);
    connect(m_menu->paste, &QAction::triggered, this, &TopicGrid::pasteClick);
    for (QAction* action : m_menu->special)
        connect(action, &QAction::triggered, this,
                [this, action] { setSpecialTopicClick(action->data().toInt()); });
    addAction(m_menu->copy);
    addAction(m_menu->paste);

    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_chooser->hide();
        m_editRow = 0;
        reloadIcons();
    });
    m_session.setSpecialTopicPrompts(this);
    reloadIcons();
    applyEnvironment();
}

TopicGrid::~TopicGrid() {
    m_session.setSpecialTopicPrompts(nullptr);
}

void TopicGrid::applyEnvironment() {
    const auto& env = m_session.environment();
    setShowGrid(!env.showGraphics);
    horizontalHeader()->setDefaultAlignment(
        env.centerTextInList ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    m_model->refreshAll();
}

void TopicGrid::reloadIcons() {
    QStringList candidates;
    const std::string& own = m_session.settings().customIconsBmp;
    if (!own.empty() && endsWithNoCase(own, ".bmp") && !m_session.projectDir().empty()) {
        const std::string path = m_session.projectDir() + toSlashes(own);
        if (isInsideDirectory(path, m_session.projectDir()))
            candidates << QString::fromStdString(path);
    }
    candidates << QString::fromStdString((m_session.dataDir() / "deficons.bmp").string());
    m_icons->loadIconStrip(candidates);
    m_chooser->reload();
    viewport()->update();
}

void TopicGrid::setColumnWidths(const std::array<int, 10>& widths) {
    for (int c = 1; c < ColumnCount; ++c) {
        const int width = widths[size_t(c - 1)];
        setColumnHidden(c, width < 0);
        if (width >= 0)
            setColumnWidth(c, width);
    }
}

std::array<int, 10> TopicGrid::columnWidths() const {
    std::array<int, 10> widths{};
    for (int c = 1; c < ColumnCount; ++c)
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

void TopicGrid::applicationActivated() {
    if (m_copiedColumn != ColTitle)
        m_copiedColumn = -1;
    fitContextMenu();
}

void TopicGrid::edited() {
    m_session.markEdited();
    m_host.projectEdited();
}

bool TopicGrid::filterKey(QKeyEvent* event, const QString& cellText) {
    const char32_t key = event->key() == Qt::Key_Backspace
                             ? kBackspaceKey
                             : char32_t(event->text().toUcs4().value(0));
    if (!acceptsTypedKey(m_session.table(), size_t(currentRow()), currentColumn(), key,
                         cellText.toStdString())) {
        event->accept();
        m_host.beep();
        return true;
    }
    edited();
    return false;
}

void TopicGrid::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState) {
        if (isTypedKey(event) && filterKey(event, currentIndex().data().toString()))
            return;
        if (event->key() == Qt::Key_Delete) {
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void TopicGrid::keyReleaseEvent(QKeyEvent* event) {
    afterKeyRelease(event, nullptr);
    QTableView::keyReleaseEvent(event);
}

bool TopicGrid::eventFilter(QObject* watched, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(watched);
    if (editor == nullptr)
        return QTableView::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            if (!honoursDeleteKey(currentColumn()))
                return true;
            edited();
        } else if (isTypedKey(key) && filterKey(key, editor->text())) {
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease) {
        afterKeyRelease(static_cast<QKeyEvent*>(event), editor);
    }
    return QTableView::eventFilter(watched, event);
}

bool TopicGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool editing = QTableView::edit(index, trigger, event);
    if (editing && index.isValid() && m_editRow == 0) {
        m_editRow = TopicTableModel::tableRow(index.row());
        m_editColumn = index.column();
        m_editText = m_session.table().cell(m_editRow, m_editColumn);
        m_editFileName = m_session.table().cell(m_editRow, ColFileName);
    }
    return editing;
}

void TopicGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (hint == QAbstractItemDelegate::RevertModelCache)
        revertEditedCell();
    m_editRow = 0;
    QTableView::closeEditor(editor, hint);
}

void TopicGrid::revertEditedCell() {
    TopicTable& table = m_session.table();
    if (m_editRow == 0 || m_editRow >= table.endRow())
        return;
    table.setCell(m_editRow, m_editColumn, m_editText);
    table.setCell(m_editRow, ColFileName, m_editFileName);
}

void TopicGrid::afterKeyRelease(QKeyEvent* event, QWidget* editor) {
    // Escape has put the cell back; a new file name now would undo that.
    if (isArrowKey(event->key()) || event->key() == Qt::Key_Escape || !currentIndex().isValid())
        return;
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        m_model->writeWhileEditing(currentIndex(), line->text());
    fileNameAfterKey(m_session.table(), size_t(currentRow()), currentColumn(),
                     m_session.environment());
}

void TopicGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_chooser == nullptr || m_menu == nullptr)
        return; // still being built
    const size_t row = size_t(currentRow());
    const int column = currentColumn();
    const TopicTable& table = m_session.table();
    if (current.isValid() && table.isTopicRow(row) && column == ColIcon)
        placeIconChooser();
    else
        m_chooser->hide();
    emit statusTextChanged(QString::fromStdString(cellStatusText(table, row, column)));
    fitContextMenu();
}

void TopicGrid::scrollContentsBy(int dx, int dy) {
    if (m_chooser != nullptr)
        m_chooser->hide();
    QTableView::scrollContentsBy(dx, dy);
}

void TopicGrid::placeIconChooser() {
    const QRect cell = visualRect(currentIndex());
    m_chooserWidth = columnWidth(ColIcon);
    m_chooser->setGeometry(cell.left(), cell.top(), m_chooserWidth + 5,
                           rowHeight(currentIndex().row()));
    m_chooser->selectCellText(currentIndex().data().toString());
    m_chooser->show();
}

void TopicGrid::iconChosen(int index) {
    const size_t row = size_t(currentRow());
    if (index < 0 || !m_session.table().isTopicRow(row))
        return;
    m_session.table().setCell(row, ColIcon, std::to_string(index));
    edited();
}

} // namespace qw
